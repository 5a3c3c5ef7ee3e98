#include "platform/rm/x_file_loader.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <assimp/Importer.hpp>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>

#include "platform/rm/parser_sandbox.h"

namespace {

std::atomic<void (*)()> child_hook{nullptr};
std::atomic<bool (*)()> cancel_test{nullptr};
std::atomic<int> timeout_ms{10000};

// How often a waiting load asks whether it is still wanted.
constexpr int kCancelPollMs = 20;
// Beyond this a coordinate is no model but damage or an attack on the renderer.
constexpr float kLargestCoordinate = 1e30f;

constexpr uint32_t kMagic = 0x51584d31;  // "QXM1"
// Far beyond any model the saver can show, small enough to refuse garbage.
constexpr uint32_t kMaxCount = 1u << 24;

// ---- Parsing (child side) ----

// The .x importer turns the file into right-handed space with
// counter-clockwise faces and v counted from the bottom. These steps turn it
// back, so positions, winding and texture coordinates come out as written.
constexpr unsigned kImportFlags = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                  aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder |
                                  aiProcess_FlipUVs;

MeshGroup GroupFrom(const aiMaterial* material) {
  MeshGroup group;
  // A file without materials gets the importer's grey stand-in, which has no
  // name; faces of such files are white here, as faces without a colour are.
  aiString name;
  if (!material || material->Get(AI_MATKEY_NAME, name) != AI_SUCCESS) return group;
  aiColor4D diffuse(1, 1, 1, 1);
  if (material->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse) == AI_SUCCESS)
    group.color[0] = diffuse.r, group.color[1] = diffuse.g, group.color[2] = diffuse.b,
    group.color[3] = diffuse.a;
  float opacity = 1;
  if (material->Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS) group.color[3] = opacity;
  material->Get(AI_MATKEY_SHININESS, group.power);
  aiColor3D c;
  if (material->Get(AI_MATKEY_COLOR_SPECULAR, c) == AI_SUCCESS)
    group.specular[0] = c.r, group.specular[1] = c.g, group.specular[2] = c.b;
  if (material->Get(AI_MATKEY_COLOR_EMISSIVE, c) == AI_SUCCESS)
    group.emissive[0] = c.r, group.emissive[1] = c.g, group.emissive[2] = c.b;
  aiString file;
  if (material->GetTexture(aiTextureType_DIFFUSE, 0, &file) == AI_SUCCESS)
    group.texture_file = file.C_Str();
  return group;
}

void AppendMesh(const aiMesh* mesh, const aiMatrix4x4& transform, uint32_t group, MeshGeometry* out,
                bool* missing_normals) {
  const uint32_t base = static_cast<uint32_t>(out->positions.size());
  const aiMatrix3x3 normal_matrix = aiMatrix3x3(transform).Inverse().Transpose();
  if (!mesh->HasNormals()) *missing_normals = true;
  for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
    const aiVector3D p = transform * mesh->mVertices[i];
    out->positions.push_back({p.x, p.y, p.z});
    aiVector3D n = mesh->HasNormals() ? normal_matrix * mesh->mNormals[i] : aiVector3D();
    if (n.Length() > 0) n.Normalize();
    out->normals.push_back({n.x, n.y, n.z});
    const bool has_uv = mesh->HasTextureCoords(0);
    out->uvs.push_back(has_uv ? mesh->mTextureCoords[0][i].x : 0.0f);
    out->uvs.push_back(has_uv ? mesh->mTextureCoords[0][i].y : 0.0f);
  }
  // A frame that mirrors its mesh turns its faces inside out; undo that.
  const bool mirrored = transform.Determinant() < 0;
  for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
    const aiFace& face = mesh->mFaces[f];
    if (face.mNumIndices != 3) continue;  // points and lines are not drawn
    out->indices.push_back(base + face.mIndices[0]);
    out->indices.push_back(base + face.mIndices[mirrored ? 2 : 1]);
    out->indices.push_back(base + face.mIndices[mirrored ? 1 : 2]);
    out->face_group.push_back(group);
  }
}

void AppendNode(const aiScene* scene, const aiNode* node, const aiMatrix4x4& parent,
                std::vector<int>& group_of_material, MeshGeometry* out, bool* missing_normals) {
  const aiMatrix4x4 transform = parent * node->mTransformation;
  for (unsigned i = 0; i < node->mNumMeshes; ++i) {
    if (node->mMeshes[i] >= scene->mNumMeshes) continue;
    const aiMesh* mesh = scene->mMeshes[node->mMeshes[i]];
    const unsigned m = mesh->mMaterialIndex < scene->mNumMaterials ? mesh->mMaterialIndex : 0;
    if (group_of_material[m] < 0) {
      group_of_material[m] = static_cast<int>(out->groups.size());
      out->groups.push_back(GroupFrom(scene->mNumMaterials ? scene->mMaterials[m] : nullptr));
    }
    AppendMesh(mesh, transform, group_of_material[m], out, missing_normals);
  }
  for (unsigned i = 0; i < node->mNumChildren; ++i)
    AppendNode(scene, node->mChildren[i], transform, group_of_material, out, missing_normals);
}

bool Parse(const std::vector<uint8_t>& file, MeshGeometry* out) {
  try {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(file.data(), file.size(), kImportFlags, "x");
    if (!scene || !scene->mRootNode || scene->mNumMeshes == 0) return false;
    std::vector<int> group_of_material(std::max(1u, scene->mNumMaterials), -1);
    bool missing_normals = false;
    AppendNode(scene, scene->mRootNode, aiMatrix4x4(), group_of_material, out, &missing_normals);
    if (out->indices.empty()) return false;
    if (missing_normals) out->ComputeNormals();
    return out->IsConsistent();
  } catch (...) {
    return false;
  }
}

// ---- Wire format ----

class Writer {
 public:
  template <class T>
  void Put(const T& value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    bytes_.insert(bytes_.end(), p, p + sizeof(T));
  }
  template <class T>
  void PutArray(const std::vector<T>& values) {
    Put(static_cast<uint32_t>(values.size()));
    const auto* p = reinterpret_cast<const uint8_t*>(values.data());
    bytes_.insert(bytes_.end(), p, p + values.size() * sizeof(T));
  }
  void PutString(const std::string& s) {
    Put(static_cast<uint32_t>(s.size()));
    bytes_.insert(bytes_.end(), s.begin(), s.end());
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  template <class T>
  bool Get(T* value) {
    if (bytes_.size() - at_ < sizeof(T)) return false;
    std::memcpy(value, &bytes_[at_], sizeof(T));
    at_ += sizeof(T);
    return true;
  }
  template <class T>
  bool GetArray(std::vector<T>* values) {
    uint32_t count = 0;
    if (!Get(&count) || count > kMaxCount) return false;
    if ((bytes_.size() - at_) / sizeof(T) < count) return false;
    values->resize(count);
    std::memcpy(values->data(), &bytes_[at_], count * sizeof(T));
    at_ += count * sizeof(T);
    return true;
  }
  bool GetString(std::string* s) {
    uint32_t size = 0;
    if (!Get(&size) || bytes_.size() - at_ < size) return false;
    s->assign(reinterpret_cast<const char*>(&bytes_[at_]), size);
    at_ += size;
    return true;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t at_ = 0;
};

std::vector<uint8_t> Serialize(const MeshGeometry& g) {
  Writer w;
  w.Put(kMagic);
  w.PutArray(g.positions);
  w.PutArray(g.normals);
  w.PutArray(g.uvs);
  w.PutArray(g.indices);
  w.PutArray(g.face_group);
  w.Put(static_cast<uint32_t>(g.groups.size()));
  for (const auto& group : g.groups) {
    for (float v : group.color) w.Put(v);
    w.Put(group.power);
    for (float v : group.specular) w.Put(v);
    for (float v : group.emissive) w.Put(v);
    w.PutString(group.texture_file);
  }
  return w.Bytes();
}

bool Deserialize(const std::vector<uint8_t>& bytes, MeshGeometry* g) {
  Reader r(bytes);
  uint32_t magic = 0, groups = 0;
  if (!r.Get(&magic) || magic != kMagic) return false;
  if (!r.GetArray(&g->positions) || !r.GetArray(&g->normals) || !r.GetArray(&g->uvs) ||
      !r.GetArray(&g->indices) || !r.GetArray(&g->face_group) || !r.Get(&groups) ||
      groups > kMaxCount) {
    return false;
  }
  for (uint32_t i = 0; i < groups; ++i) {
    MeshGroup group;
    for (float& v : group.color)
      if (!r.Get(&v)) return false;
    if (!r.Get(&group.power)) return false;
    for (float& v : group.specular)
      if (!r.Get(&v)) return false;
    for (float& v : group.emissive)
      if (!r.Get(&v)) return false;
    if (!r.GetString(&group.texture_file)) return false;
    g->groups.push_back(std::move(group));
  }
  return r.AtEnd() && g->IsConsistent();
}

// ---- Process handling (parent side) ----

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReadWholeFile(int fd, size_t size, std::vector<uint8_t>* bytes) {
  bytes->resize(size);
  size_t at = 0;
  while (at < size) {
    const ssize_t n = read(fd, bytes->data() + at, size - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += static_cast<size_t>(n);
  }
  return true;
}

// The child reads the file while it still may, then parses it with nothing
// left to reach but its result pipe.
[[noreturn]] void RunChild(pid_t parent, int file, int result, size_t size) {
  std::vector<uint8_t> bytes;
  if (!CutOffParserChild(parent, file, result, size)) _exit(2);
  if (!ReadWholeFile(STDIN_FILENO, size, &bytes)) _exit(2);
  close(STDIN_FILENO);
  if (!LockDownParserChild()) _exit(2);
  if (auto hook = child_hook.load()) hook();
  MeshGeometry geometry;
  int status = 1;
  if (Parse(bytes, &geometry)) {
    const auto serialized = Serialize(geometry);
    if (WriteAll(STDOUT_FILENO, serialized.data(), serialized.size())) status = 0;
  }
  _exit(status);
}

// Reads until the child closes its end, or fails at the deadline.
bool ReadAll(int fd, std::vector<uint8_t>* bytes, std::chrono::steady_clock::time_point deadline) {
  uint8_t buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    const auto cancelled = cancel_test.load();
    if (cancelled && cancelled()) return false;
    pollfd p{fd, POLLIN, 0};
    const int slice = cancelled ? std::min<int>(kCancelPollMs, static_cast<int>(left.count()))
                                : static_cast<int>(left.count());
    int ready = poll(&p, 1, slice);
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) continue;
    if (ready < 0) return false;
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (bytes->size() + n > size_t{kMaxCount} * 64) return false;
    bytes->insert(bytes->end(), buffer, buffer + n);
  }
}

bool ChildSucceeded(pid_t pid, bool finished) {
  if (!finished) kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return false;
  return finished && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Opened without blocking (a FIFO or a device would hold the saver) and
// only when it is a regular file.
int OpenRegularFile(const std::string& path, size_t* size) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -1;
  }
  *size = static_cast<size_t>(st.st_size);
  return fd;
}

bool IsSaneNumber(float value) {
  return std::isfinite(value) && std::fabs(value) <= kLargestCoordinate;
}

bool HasSaneCoordinates(const MeshGeometry& g) {
  for (const auto& p : g.positions)
    if (!IsSaneNumber(p.x) || !IsSaneNumber(p.y) || !IsSaneNumber(p.z)) return false;
  for (const auto& n : g.normals)
    if (!IsSaneNumber(n.x) || !IsSaneNumber(n.y) || !IsSaneNumber(n.z)) return false;
  for (float uv : g.uvs)
    if (!IsSaneNumber(uv)) return false;
  return true;
}

}  // namespace

void SetXFileChildHookForTesting(void (*hook)()) {
  child_hook = hook;
}
void SetXFileCancelTest(bool (*test)()) {
  cancel_test = test;
}
void SetXFileTimeoutForTesting(int milliseconds) {
  timeout_ms = milliseconds;
}

bool LoadXFile(const std::string& path, MeshGeometry* geometry) {
  size_t size = 0;
  if (!geometry) return false;
  const int file = OpenRegularFile(path, &size);
  if (file < 0) return false;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    close(file);
    return false;
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) RunChild(parent, file, fds[1], size);
  close(file);
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return false;
  }
  std::vector<uint8_t> bytes;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  const bool finished = ReadAll(fds[0], &bytes, deadline);
  close(fds[0]);
  if (!ChildSucceeded(pid, finished)) return false;
  MeshGeometry loaded;
  if (!Deserialize(bytes, &loaded) || !HasSaneCoordinates(loaded)) return false;
  *geometry = std::move(loaded);
  return true;
}
