#pragma once
#include <cmath>

// Row-vector maths: p' = p · M; rows 0-2 are the axes, row 3 the origin.

struct Vec3 {
  double x = 0, y = 0, z = 0;
  Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
  double Dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
  Vec3 Cross(const Vec3& o) const {
    return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
  }
  double Length() const { return std::sqrt(Dot(*this)); }
};

struct Mat4 {
  double m[4][4];

  static Mat4 Identity();
  // Rotation about a unit axis by theta, rows as the platform defines them.
  static Mat4 Rotation(const Vec3& unit_axis, double theta);
  static Mat4 FromRows(const Vec3& x, const Vec3& y, const Vec3& z, const Vec3& origin);

  Mat4 operator*(const Mat4& o) const;
  Vec3 Row(int r) const { return {m[r][0], m[r][1], m[r][2]}; }
  void SetRow(int r, const Vec3& v) { m[r][0] = v.x, m[r][1] = v.y, m[r][2] = v.z; }
  // A point (w = 1) and a direction (w = 0) through this matrix.
  Vec3 Point(const Vec3& p) const;
  Vec3 Direction(const Vec3& d) const;
  // General inverse; identity when singular.
  Mat4 Inverse() const;
};
