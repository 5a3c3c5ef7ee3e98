#include "platform/rm/mesh.h"

bool RMMesh::SetQuality(D3DRMRENDERQUALITY quality) {
  quality_ = quality;
  return true;
}

bool RMMesh::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  geometry_.Scale(sx, sy, sz);
  Changed();
  return true;
}

bool RMMesh::GetBox(D3DRMBOX* box) const {
  if (!box) return false;
  *box = geometry_.Box();
  return true;
}

bool RMMesh::GetVertexUV(size_t i, float* u, float* v) const {
  if (i >= geometry_.VertexCount() || !u || !v) return false;
  *u = geometry_.uvs[2 * i];
  *v = geometry_.uvs[2 * i + 1];
  return true;
}

bool RMMesh::SetVertexUV(size_t i, float u, float v) {
  if (i >= geometry_.VertexCount()) return false;
  geometry_.uvs[2 * i] = u;
  geometry_.uvs[2 * i + 1] = v;
  Changed();
  return true;
}
