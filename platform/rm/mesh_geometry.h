#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ref.h"
#include "platform/rm/rm_types.h"
#include "platform/rm/texture.h"

// A material group: the faces that share one colour and texture.
struct MeshGroup {
  float color[4] = {1, 1, 1, 1};
  float power = 0;
  float specular[3] = {0, 0, 0};
  float emissive[3] = {0, 0, 0};
  std::string texture_file;  // as the model file names it, resolved on load
  Ref<RMTexture> texture;
};

// Triangles with per-vertex position, normal and texture coordinates.
// Triangle i uses indices 3i..3i+2 and belongs to group face_group[i].
struct MeshGeometry {
  std::vector<D3DVECTOR> positions;
  std::vector<D3DVECTOR> normals;
  std::vector<float> uvs;  // two a vertex
  std::vector<uint32_t> indices;
  std::vector<uint32_t> face_group;
  std::vector<MeshGroup> groups;

  size_t VertexCount() const { return positions.size(); }
  size_t FaceCount() const { return indices.size() / 3; }
  D3DRMBOX Box() const;
  void Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz);
  // Gives every vertex the normalised sum of the normals of its faces.
  void ComputeNormals();
  // Checks every index and group number, so that nothing later reads astray.
  bool IsConsistent() const;
};
