#include "platform/rm/wrap.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/matrix.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kPi = 3.141592653589793;
}  // namespace

void RMWrap::Map(const D3DVECTOR& p, float* u, float* v) const {
  const Vec3 q{p.x - p_.origin.x, p.y - p_.origin.y, p.z - p_.origin.z};
  Vec3 z{p_.direction.x, p_.direction.y, p_.direction.z};
  z = z.Length() > 0 ? z * (1 / z.Length()) : Vec3{0, 0, 1};
  const Vec3 up{p_.up.x, p_.up.y, p_.up.z};
  Vec3 y = up - z * up.Dot(z);
  y = y.Length() > 0 ? y * (1 / y.Length()) : Vec3{0, 1, 0};
  const Vec3 x = y.Cross(z);
  double theta = std::atan2(q.Dot(y), q.Dot(x));
  if (theta < 0) theta += kTwoPi;
  const double length = q.Length();
  const double phi = length > 0 ? std::acos(std::clamp(q.Dot(z) / length, -1.0, 1.0)) : 0;
  *u = static_cast<float>(p_.su * theta / kTwoPi - p_.ou);
  *v = static_cast<float>(p_.sv * phi / kPi - p_.ov);
}

bool RMWrap::Apply(const Ref<RMMesh>& mesh) const {
  if (!mesh || p_.type != D3DRMWRAP_SPHERE) return false;
  const auto& positions = mesh->Geometry().positions;
  for (size_t i = 0; i < positions.size(); ++i) {
    float u = 0, v = 0;
    Map(positions[i], &u, &v);
    mesh->SetVertexUV(i, u, v);
  }
  return true;
}
