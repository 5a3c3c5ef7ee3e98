#include "platform/rm/renderer.h"

#include <epoxy/gl.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

const char* kVertexShader = R"(
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 2) in vec3 a_face_normal;
layout(location = 3) in vec2 a_uv;
layout(location = 4) in vec4 i_row0;
layout(location = 5) in vec4 i_row1;
layout(location = 6) in vec4 i_row2;
layout(location = 7) in vec4 i_row3;
layout(location = 8) in vec4 i_color;
uniform mat4 u_view_projection;
uniform int u_lit;
uniform int u_from_frame;
uniform vec4 u_group_color;
uniform vec3 u_ambient;
uniform int u_light_count;
uniform vec3 u_light_dir[8];
uniform vec3 u_light_color[8];
out vec4 v_color;
flat out vec4 v_face_color;
out vec2 v_uv;
void main() {
  // The rows of a row-vector matrix are the columns of its column-vector twin.
  mat4 world = mat4(i_row0, i_row1, i_row2, i_row3);
  gl_Position = u_view_projection * (world * vec4(a_position, 1.0));
  vec4 base = u_from_frame != 0 ? i_color : u_group_color;
  vec3 c = base.rgb;
  if (u_lit != 0) {
#ifdef FLAT
    vec3 n = mat3(world) * a_face_normal;
#else
    vec3 n = mat3(world) * a_normal;
#endif
    float len = length(n);
    n = len > 0.0 ? n / len : vec3(0.0);
    vec3 light = u_ambient;
    for (int i = 0; i < u_light_count; ++i)
      light += max(0.0, dot(n, -u_light_dir[i])) * u_light_color[i];
    c *= light;
  }
  v_color = vec4(clamp(c, 0.0, 1.0), base.a);
  v_face_color = v_color;
  v_uv = a_uv;
}
)";

const char* kFragmentShader = R"(
in vec4 v_color;
flat in vec4 v_face_color;
in vec2 v_uv;
uniform sampler2D u_texture;
out vec4 frag_color;
void main() {
#ifdef FLAT
  vec4 c = v_face_color;
#else
  vec4 c = v_color;
#endif
#ifdef TEXTURED
  c *= texture(u_texture, v_uv);
#endif
  // Channels become bytes by truncation; GL would round.
  frag_color = vec4(floor(c.rgb * 255.0 + 0.001) / 255.0, 1.0);
}
)";

constexpr int kInstanceFloats = 20;
constexpr int kVertexFloats = 11;

struct QualityParts {
  uint32_t shade, light, fill;
};

QualityParts Ceiling(D3DRMRENDERQUALITY device, D3DRMRENDERQUALITY visual) {
  return {std::min(device & 0x7u, visual & 0x7u), std::min(device & 0x38u, visual & 0x38u),
          std::min(device & 0x1c0u, visual & 0x1c0u)};
}

void PushRows(const Mat4& m, std::vector<float>& out) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out.push_back(static_cast<float>(m.m[r][c]));
}

D3DVECTOR FaceNormal(const D3DVECTOR& a, const D3DVECTOR& b, const D3DVECTOR& c) {
  const D3DVECTOR e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
  D3DVECTOR n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  return length > 0 ? D3DVECTOR{n.x / length, n.y / length, n.z / length} : D3DVECTOR{};
}

struct Expanded {
  std::vector<float> vertices;
  std::vector<uint32_t> indices;
  std::vector<int> group_first, group_count;  // in indices
};

// Shared vertices keep the vertex work small; flat shading takes each face's
// colour from its first vertex, so every face gets a first vertex of its own
// that carries the face normal (copied only when all three are taken).
Expanded Expand(const MeshGeometry& g) {
  Expanded e;
  e.vertices.reserve(g.VertexCount() * kVertexFloats);
  for (size_t i = 0; i < g.VertexCount(); ++i) {
    const D3DVECTOR &p = g.positions[i], &n = g.normals[i];
    e.vertices.insert(e.vertices.end(),
                      {p.x, p.y, p.z, n.x, n.y, n.z, 0, 0, 0, g.uvs[2 * i], g.uvs[2 * i + 1]});
  }
  std::vector<bool> claimed(g.VertexCount(), false);
  e.group_first.assign(g.groups.size(), 0);
  e.group_count.assign(g.groups.size(), 0);
  for (size_t group = 0; group < g.groups.size(); ++group) {
    e.group_first[group] = static_cast<int>(e.indices.size());
    for (size_t f = 0; f < g.FaceCount(); ++f) {
      if (g.face_group[f] != group) continue;
      uint32_t idx[3] = {g.indices[3 * f], g.indices[3 * f + 1], g.indices[3 * f + 2]};
      const D3DVECTOR fn =
          FaceNormal(g.positions[idx[0]], g.positions[idx[1]], g.positions[idx[2]]);
      int k = 0;
      while (k < 3 && claimed[idx[k]]) ++k;
      if (k == 3) {  // every corner leads another face already: copy one
        const size_t copy = e.vertices.size() / kVertexFloats;
        e.vertices.insert(e.vertices.end(), e.vertices.begin() + idx[0] * kVertexFloats,
                          e.vertices.begin() + (idx[0] + 1) * kVertexFloats);
        claimed.push_back(false);
        idx[0] = static_cast<uint32_t>(copy);
        k = 0;
      }
      std::rotate(idx, idx + k, idx + 3);  // a rotation keeps the winding
      claimed[idx[0]] = true;
      float* v = &e.vertices[idx[0] * kVertexFloats];
      v[6] = fn.x, v[7] = fn.y, v[8] = fn.z;
      e.indices.insert(e.indices.end(), idx, idx + 3);
      e.group_count[group] += 3;
    }
  }
  return e;
}

// Errors left by other users of the context are not this frame's. A lost
// context keeps reporting, hence the bound.
void DiscardEarlierErrors() {
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
}

// The software rasteriser allocates and frees several megabytes per frame;
// with glibc's default trim threshold each frame hands that memory back to the
// kernel and faults it in again, which costs more than the drawing itself.
void KeepFrameMemory() {
  static std::once_flag once;
  std::call_once(once, [] { mallopt(M_TRIM_THRESHOLD, 64 << 20); });
}

}  // namespace

// The software rasteriser runs both sides of a branch on a uniform, texture
// fetch included; each combination gets its own program instead.
Renderer::Program::Program(bool flat, bool textured) {
  std::string header = "#version 330 core\n";
  if (flat) header += "#define FLAT\n";
  if (textured) header += "#define TEXTURED\n";
  gl = std::make_unique<GlProgram>((header + kVertexShader).c_str(),
                                   (header + kFragmentShader).c_str());
  if (!gl->IsValid()) return;
  u = {gl->Uniform("u_view_projection"), gl->Uniform("u_lit"),         gl->Uniform("u_from_frame"),
       gl->Uniform("u_group_color"),     gl->Uniform("u_ambient"),     gl->Uniform("u_light_count"),
       gl->Uniform("u_light_dir"),       gl->Uniform("u_light_color"), gl->Uniform("u_texture")};
}

Renderer::Renderer() {
  KeepFrameMemory();
  for (int i = 0; i < 4; ++i) programs_[i] = std::make_unique<Program>(i & 1, i & 2);
}

Renderer::~Renderer() = default;

bool Renderer::IsValid() const {
  return std::all_of(std::begin(programs_), std::end(programs_),
                     [](const auto& p) { return p->gl->IsValid(); });
}

void Renderer::Clear(const RenderTarget& target, int x, int y, int width, int height) {
  glBindFramebuffer(GL_FRAMEBUFFER, target.Framebuffer());
  glEnable(GL_SCISSOR_TEST);
  glScissor(x, target.Height() - y - height, width, height);
  glClearColor(0, 0, 0, 1);
  glClearDepth(1.0);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | (target.HasDepth() ? GL_DEPTH_BUFFER_BIT : 0));
  glDisable(GL_SCISSOR_TEST);
}

void Renderer::Collect(const RMFrame& scene) {
  for (auto& batch : batches_) batch.instances.clear();
  lights_ = {};
  static const float kWhite[4] = {1, 1, 1, 1};
  auto& stack = walk_;  // kept between frames so that a frame allocates nothing
  stack.clear();
  // The scene frame itself may hang below others; its world counts.
  stack.push_back(
      {&scene, scene.GetParent() ? scene.GetParent()->World() : Mat4::Identity(), false, kWhite});
  while (!stack.empty()) {
    WalkItem item = stack.back();
    stack.pop_back();
    const RMFrame& frame = *item.frame;
    const Mat4 world = frame.Local() * item.parent_world;
    bool from_frame = item.from_frame;
    const float* color = item.color;
    if (frame.GetMaterialMode() == D3DRMMATERIAL_FROMFRAME) {
      from_frame = true;
      color = frame.Color();
    } else if (frame.GetMaterialMode() == D3DRMMATERIAL_FROMMESH) {
      from_frame = false;
    }
    for (const auto& light : frame.Lights()) {
      const float rgb[3] = {light->Red(), light->Green(), light->Blue()};
      if (light->GetType() == D3DRMLIGHT_AMBIENT) {
        for (int i = 0; i < 3; ++i) lights_.ambient[i] += rgb[i];
      } else if (light->GetType() == D3DRMLIGHT_DIRECTIONAL && lights_.count < 8) {
        Vec3 d = world.Row(2);
        d = d.Length() > 0 ? d * (1 / d.Length()) : Vec3{0, 0, 1};
        float* dir = lights_.direction[lights_.count];
        dir[0] = static_cast<float>(d.x), dir[1] = static_cast<float>(d.y),
        dir[2] = static_cast<float>(d.z);
        std::copy_n(rgb, 3, lights_.color[lights_.count]);
        ++lights_.count;
      }
    }
    if (!frame.Visuals().empty()) AddInstances(frame, world, from_frame, color);
    for (const auto& child : frame.Children())
      stack.push_back({child.Get(), world, from_frame, color});
  }
}

void Renderer::AddInstances(const RMFrame& frame, const Mat4& world, bool from_frame,
                            const float* color) {
  for (const auto& visual : frame.Visuals()) {
    const uint64_t key = visual->Id() * 2 + (from_frame ? 1 : 0);
    auto [it, added] = batch_of_key_.try_emplace(key, batches_.size());
    if (added) batches_.push_back({key, visual.Get(), from_frame, {}});
    Batch& batch = batches_[it->second];
    batch.visual = visual.Get();  // the key's old visual may be gone; this one is alive
    PushRows(world, batch.instances);
    batch.instances.insert(batch.instances.end(), color, color + 4);
  }
}

Renderer::GpuMesh& Renderer::MeshFor(const RMVisual& visual) {
  GpuMesh& mesh = meshes_[visual.Id()];
  mesh.last_used = frame_number_;
  if (mesh.version == visual.Version()) return mesh;
  const MeshGeometry& g = visual.Geometry();
  const Expanded e = Expand(g);
  glBindVertexArray(mesh.vao.Name());
  glBindBuffer(GL_ARRAY_BUFFER, mesh.vertices.Name());
  glBufferData(GL_ARRAY_BUFFER, e.vertices.size() * sizeof(float), e.vertices.data(),
               GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices.Name());
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, e.indices.size() * sizeof(uint32_t), e.indices.data(),
               GL_STATIC_DRAW);
  const GLsizei stride = kVertexFloats * sizeof(float);
  const int sizes[4] = {3, 3, 3, 2}, offsets[4] = {0, 3, 6, 9};
  for (int a = 0; a < 4; ++a) {
    glEnableVertexAttribArray(a);
    glVertexAttribPointer(a, sizes[a], GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsets[a] * sizeof(float)));
  }
  glBindBuffer(GL_ARRAY_BUFFER, instance_buffer_.Name());
  for (int a = 4; a <= 8; ++a) {
    glEnableVertexAttribArray(a);
    glVertexAttribDivisor(a, 1);
  }
  glBindVertexArray(0);
  mesh.ranges.clear();
  for (size_t i = 0; i < g.groups.size(); ++i) {
    if (e.group_count[i] == 0) continue;
    Range range{e.group_first[i], e.group_count[i], {}, g.groups[i].texture};
    std::copy_n(g.groups[i].color, 4, range.color);
    mesh.ranges.push_back(std::move(range));
  }
  mesh.version = visual.Version();
  return mesh;
}

unsigned Renderer::TextureFor(const RMTexture& texture, D3DRMTEXTUREQUALITY filter) {
  auto [it, added] = textures_.try_emplace(texture.Id());
  GpuTexture& entry = it->second;
  entry.last_used = frame_number_;
  glBindTexture(GL_TEXTURE_2D, entry.texture.Name());
  if (added) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Row 0 of the image goes to t = 0, so v = 0 is the top of the picture.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture.GetWidth(), texture.GetHeight(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, texture.Pixels().data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  }
  const GLint mode = filter == D3DRMTEXTURE_NEAREST ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mode);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mode);
  return entry.texture.Name();
}

const Renderer::Program& Renderer::UseProgram(bool flat, bool textured) {
  Program& p = *programs_[(flat ? 1 : 0) | (textured ? 2 : 0)];
  glUseProgram(p.gl->Name());
  if (p.frame_set == frame_number_) return p;
  p.frame_set = frame_number_;
  glUniformMatrix4fv(p.u.view_projection, 1, GL_FALSE, view_projection_);
  glUniform3fv(p.u.ambient, 1, lights_.ambient);
  glUniform1i(p.u.light_count, lights_.count);
  if (lights_.count > 0) {
    glUniform3fv(p.u.light_dir, lights_.count, &lights_.direction[0][0]);
    glUniform3fv(p.u.light_color, lights_.count, &lights_.color[0][0]);
  }
  glUniform1i(p.u.texture, 0);
  return p;
}

void Renderer::DrawBatch(Batch& batch, size_t first_instance, D3DRMRENDERQUALITY ceiling,
                         D3DRMTEXTUREQUALITY filter) {
  GpuMesh& mesh = MeshFor(*batch.visual);
  glBindVertexArray(mesh.vao.Name());
  glBindBuffer(GL_ARRAY_BUFFER, instance_buffer_.Name());
  const GLsizei stride = kInstanceFloats * sizeof(float);
  for (int a = 0; a < 5; ++a)
    glVertexAttribPointer(
        4 + a, 4, GL_FLOAT, GL_FALSE, stride,
        reinterpret_cast<void*>((first_instance * kInstanceFloats + 4 * a) * sizeof(float)));
  const QualityParts q = Ceiling(ceiling, batch.visual->GetQuality());
  glPolygonMode(GL_FRONT_AND_BACK, q.fill == 0x80 ? GL_FILL : q.fill == 0x40 ? GL_LINE : GL_POINT);
  const GLsizei instances = static_cast<GLsizei>(batch.instances.size() / kInstanceFloats);
  for (const Range& range : mesh.ranges) {
    const bool textured = range.texture && !batch.from_frame;
    const Program& p = UseProgram(q.shade == 0, textured);
    glUniform1i(p.u.lit, q.light != 0 ? 1 : 0);
    glUniform1i(p.u.from_frame, batch.from_frame ? 1 : 0);
    glUniform4fv(p.u.group_color, 1, range.color);
    if (textured) TextureFor(*range.texture, filter);
    glDrawElementsInstanced(GL_TRIANGLES, range.count, GL_UNSIGNED_INT,
                            reinterpret_cast<void*>(range.first * sizeof(uint32_t)), instances);
  }
}

bool Renderer::Draw(const RenderTarget& target, const View& view, const RMFrame& scene,
                    D3DRMRENDERQUALITY ceiling, D3DRMTEXTUREQUALITY filter) {
  if (!IsValid()) return false;
  DiscardEarlierErrors();
  ++frame_number_;
  Collect(scene);

  all_instances_.clear();
  for (const auto& batch : batches_)
    all_instances_.insert(all_instances_.end(), batch.instances.begin(), batch.instances.end());

  glBindFramebuffer(GL_FRAMEBUFFER, target.Framebuffer());
  glViewport(view.x, target.Height() - view.y - view.height, view.width, view.height);
  if (target.HasDepth()) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
  } else {
    glDisable(GL_DEPTH_TEST);
  }
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CW);  // front faces run clockwise on screen
  glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);

  // View-projection in column-vector form: P · (camera world)⁻¹ᵀ.
  const Mat4 view_matrix = view.camera_world.Inverse();
  float* vp = view_projection_;
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      // Column-vector view matrix V = view_matrixᵀ, so V[k][col] = view_matrix.m[col][k].
      for (int k = 0; k < 4; ++k) sum += view.projection[k * 4 + row] * view_matrix.m[col][k];
      vp[col * 4 + row] = static_cast<float>(sum);
    }
  glActiveTexture(GL_TEXTURE0);

  glBindBuffer(GL_ARRAY_BUFFER, instance_buffer_.Name());
  glBufferData(GL_ARRAY_BUFFER, all_instances_.size() * sizeof(float), all_instances_.data(),
               GL_STREAM_DRAW);
  size_t first_instance = 0;
  for (auto& batch : batches_) {
    if (batch.instances.empty()) continue;
    DrawBatch(batch, first_instance, ceiling, filter);
    first_instance += batch.instances.size() / kInstanceFloats;
  }
  glBindVertexArray(0);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  Evict();
  return glGetError() == GL_NO_ERROR;
}

void Renderer::Evict() {
  if (frame_number_ % 64 != 0) return;
  const uint64_t horizon = frame_number_ > 256 ? frame_number_ - 256 : 0;
  std::erase_if(meshes_, [&](const auto& e) { return e.second.last_used < horizon; });
  std::erase_if(textures_, [&](const auto& e) { return e.second.last_used < horizon; });
  // Batches of visuals no longer shown would keep dangling pointers: drop them.
  std::erase_if(batches_, [](const Batch& b) { return b.instances.empty(); });
  batch_of_key_.clear();
  for (size_t i = 0; i < batches_.size(); ++i) batch_of_key_[batches_[i].key] = i;
}
