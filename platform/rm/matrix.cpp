#include "platform/rm/matrix.h"

Mat4 Mat4::Identity() {
  Mat4 r{};
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1;
  return r;
}

Mat4 Mat4::Rotation(const Vec3& a, double theta) {
  const double c = std::cos(theta), s = std::sin(theta), t = 1 - c;
  Mat4 r = Identity();
  r.SetRow(0, {t * a.x * a.x + c, t * a.x * a.y + s * a.z, t * a.x * a.z - s * a.y});
  r.SetRow(1, {t * a.x * a.y - s * a.z, t * a.y * a.y + c, t * a.y * a.z + s * a.x});
  r.SetRow(2, {t * a.x * a.z + s * a.y, t * a.y * a.z - s * a.x, t * a.z * a.z + c});
  return r;
}

Mat4 Mat4::FromRows(const Vec3& x, const Vec3& y, const Vec3& z, const Vec3& origin) {
  Mat4 r = Identity();
  r.SetRow(0, x);
  r.SetRow(1, y);
  r.SetRow(2, z);
  r.SetRow(3, origin);
  return r;
}

Mat4 Mat4::operator*(const Mat4& o) const {
  Mat4 r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += m[i][k] * o.m[k][j];
      r.m[i][j] = sum;
    }
  return r;
}

Vec3 Mat4::Point(const Vec3& p) const {
  return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
          p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
          p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
}

Vec3 Mat4::Direction(const Vec3& d) const {
  return {d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0],
          d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1],
          d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]};
}

Mat4 Mat4::Inverse() const {
  // Gauss-Jordan with partial pivoting: frames may carry scale, so the
  // transpose shortcut for rotations is not enough.
  double a[4][8];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      a[i][j] = m[i][j];
      a[i][j + 4] = i == j ? 1 : 0;
    }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (std::fabs(a[pivot][col]) < 1e-300) return Identity();
    if (pivot != col)
      for (int j = 0; j < 8; ++j) std::swap(a[pivot][j], a[col][j]);
    const double inv = 1 / a[col][col];
    for (int j = 0; j < 8; ++j) a[col][j] *= inv;
    for (int r = 0; r < 4; ++r) {
      if (r == col || a[r][col] == 0) continue;
      const double f = a[r][col];
      for (int j = 0; j < 8; ++j) a[r][j] -= f * a[col][j];
    }
  }
  Mat4 r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = a[i][j + 4];
  return r;
}
