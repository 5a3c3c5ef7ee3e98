#pragma once
#include <memory>
#include <string>

#include "platform/rm/mesh.h"
#include "platform/rm/texture.h"
#include "platform/rm/visual.h"

class SearchPath;

// Collects geometry from a model file; makes independent meshes from it.
class RMMeshBuilder : public RMVisual {
 public:
  explicit RMMeshBuilder(std::shared_ptr<const SearchPath> search_path);
  ~RMMeshBuilder() override;

  // Replaces the builder's content with every mesh of an .x file (text,
  // binary or compressed). False, with the builder unchanged, when the file is
  // missing, broken or holds no mesh.
  bool Load(const std::string& file);
  bool SetTexture(const Ref<RMTexture>& texture);
  bool SetQuality(D3DRMRENDERQUALITY quality);
  D3DRMRENDERQUALITY GetQuality() const override { return quality_; }
  bool SetColorRGB(D3DVALUE r, D3DVALUE g, D3DVALUE b);
  bool Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz);
  bool GetBox(D3DRMBOX* box) const;
  bool CreateMesh(Ref<RMMesh>* mesh) const;
  size_t GetVertexCount() const { return geometry_.VertexCount(); }
  size_t GetFaceCount() const { return geometry_.FaceCount(); }
  size_t GetGroupCount() const { return geometry_.groups.size(); }

  const MeshGeometry& Geometry() const override { return geometry_; }
  // For tools and tests that build geometry by hand.
  void SetGeometry(MeshGeometry geometry);

 private:
  std::shared_ptr<const SearchPath> search_path_;
  MeshGeometry geometry_;
  D3DRMRENDERQUALITY quality_ = D3DRMRENDER_GOURAUD;
};
