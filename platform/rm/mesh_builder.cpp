#include "platform/rm/mesh_builder.h"

#include "platform/rm/search_path.h"
#include "platform/rm/x_file_loader.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

RMMeshBuilder::RMMeshBuilder(std::shared_ptr<const SearchPath> search_path)
    : search_path_(std::move(search_path)) {}

RMMeshBuilder::~RMMeshBuilder() = default;

bool RMMeshBuilder::Load(const std::string& file) {
  const std::string path = NormalizeSlashes(file);
  MeshGeometry loaded;
  if (!LoadXFile(path, &loaded)) return false;
  // A texture the file names but nobody can find leaves its faces plain.
  for (auto& group : loaded.groups) {
    if (group.texture_file.empty()) continue;
    const std::string found =
        search_path_ ? search_path_->Find(group.texture_file, FolderOf(path)) : std::string();
    if (!found.empty()) group.texture = RMTexture::FromFile(found);
  }
  SetGeometry(std::move(loaded));
  return true;
}

void RMMeshBuilder::SetGeometry(MeshGeometry geometry) {
  geometry_ = std::move(geometry);
  Changed();
}

bool RMMeshBuilder::SetTexture(const Ref<RMTexture>& texture) {
  for (auto& group : geometry_.groups) group.texture = texture;
  Changed();
  return true;
}

bool RMMeshBuilder::SetQuality(D3DRMRENDERQUALITY quality) {
  quality_ = quality;
  return true;
}

bool RMMeshBuilder::SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b) {
  for (auto& group : geometry_.groups) {
    group.color[0] = r;
    group.color[1] = g;
    group.color[2] = b;
  }
  Changed();
  return true;
}

bool RMMeshBuilder::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  geometry_.Scale(sx, sy, sz);
  Changed();
  return true;
}

bool RMMeshBuilder::GetBox(D3DRMBOX* box) const {
  if (!box) return false;
  *box = geometry_.Box();
  return true;
}

bool RMMeshBuilder::CreateMesh(Ref<RMMesh>* mesh) const {
  if (!mesh) return false;
  *mesh = MakeRef<RMMesh>(geometry_, quality_);
  return true;
}
