#pragma once
#include "platform/rm/visual.h"

// Geometry made by a mesh builder; one mesh can be the visual of many frames.
class RMMesh : public RMVisual {
 public:
  RMMesh(MeshGeometry geometry, D3DRMRENDERQUALITY quality)
      : geometry_(std::move(geometry)), quality_(quality) {}

  const MeshGeometry& Geometry() const override { return geometry_; }
  D3DRMRENDERQUALITY GetQuality() const override { return quality_; }
  bool SetQuality(D3DRMRENDERQUALITY quality);
  bool Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz);
  bool GetBox(D3DRMBOX* box) const;
  size_t GetVertexCount() const { return geometry_.VertexCount(); }
  size_t GetFaceCount() const { return geometry_.FaceCount(); }
  // Texture coordinates of vertex i (a wrap writes them).
  bool GetVertexUV(size_t i, float* u, float* v) const;
  bool SetVertexUV(size_t i, float u, float v);

 private:
  MeshGeometry geometry_;
  D3DRMRENDERQUALITY quality_;
};
