#include "platform/rm/mesh_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

D3DRMBOX MeshGeometry::Box() const {
  if (positions.empty()) return {};
  const float inf = std::numeric_limits<float>::infinity();
  D3DRMBOX box{{inf, inf, inf}, {-inf, -inf, -inf}};
  for (const auto& p : positions) {
    box.min = {std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z)};
    box.max = {std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z)};
  }
  return box;
}

void MeshGeometry::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
  for (auto& p : positions) p = {p.x * sx, p.y * sy, p.z * sz};
  // Normals follow the inverse scale, or a squashed shape would be lit as the old one.
  if (sx != 0 && sy != 0 && sz != 0 && !(sx == sy && sy == sz)) {
    for (auto& n : normals) {
      D3DVECTOR m{n.x / sx, n.y / sy, n.z / sz};
      const float length = std::sqrt(m.x * m.x + m.y * m.y + m.z * m.z);
      if (length > 0) n = {m.x / length, m.y / length, m.z / length};
    }
  }
  if (sx * sy * sz < 0)  // a mirror turns every face inside out
    for (size_t i = 0; i + 2 < indices.size(); i += 3) std::swap(indices[i + 1], indices[i + 2]);
}

void MeshGeometry::ComputeNormals() {
  normals.assign(positions.size(), D3DVECTOR{});
  for (size_t i = 0; i + 2 < indices.size(); i += 3) {
    const D3DVECTOR &a = positions[indices[i]], &b = positions[indices[i + 1]],
                    &c = positions[indices[i + 2]];
    const D3DVECTOR e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
    D3DVECTOR n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length == 0) continue;
    n = {n.x / length, n.y / length, n.z / length};
    for (int k = 0; k < 3; ++k) {
      D3DVECTOR& s = normals[indices[i + k]];
      s = {s.x + n.x, s.y + n.y, s.z + n.z};
    }
  }
  for (auto& n : normals) {
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0) n = {n.x / length, n.y / length, n.z / length};
  }
}

bool MeshGeometry::IsConsistent() const {
  if (normals.size() != positions.size() || uvs.size() != 2 * positions.size()) return false;
  if (indices.size() % 3 != 0 || face_group.size() != indices.size() / 3) return false;
  for (uint32_t i : indices)
    if (i >= positions.size()) return false;
  for (uint32_t g : face_group)
    if (g >= groups.size()) return false;
  return true;
}
