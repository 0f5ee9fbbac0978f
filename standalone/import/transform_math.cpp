#include "standalone/import/transform_math.h"

#include <cmath>

namespace vexo {

Mat4 operator*(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
      r.m[i][j] = sum;
    }
  }
  return r;
}

Vec3 TransformPoint(const Mat4& m, const Vec3& p) {
  return Vec3{m.m[0][0] * p.x + m.m[0][1] * p.y + m.m[0][2] * p.z + m.m[0][3],
              m.m[1][0] * p.x + m.m[1][1] * p.y + m.m[1][2] * p.z + m.m[1][3],
              m.m[2][0] * p.x + m.m[2][1] * p.y + m.m[2][2] * p.z + m.m[2][3]};
}

Mat4 AffineInverse(const Mat4& a) {
  const auto& m = a.m;
  const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
  const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
  if (det == 0 || !std::isfinite(det)) return Mat4{};
  const double s = 1.0 / det;
  Mat4 r;
  r.m[0][0] = c00 * s;
  r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * s;
  r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * s;
  r.m[1][0] = c01 * s;
  r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * s;
  r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * s;
  r.m[2][0] = c02 * s;
  r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * s;
  r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * s;
  for (int i = 0; i < 3; ++i) {
    r.m[i][3] = -(r.m[i][0] * m[0][3] + r.m[i][1] * m[1][3] + r.m[i][2] * m[2][3]);
  }
  return r;
}

Mat4 ComposeTrs(const Vec3& t, const Quat& q, const Vec3& s) {
  const double xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
  const double xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  const double wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
  const double r[3][3] = {{1 - 2 * (yy + zz), 2 * (xy - wz), 2 * (xz + wy)},
                          {2 * (xy + wz), 1 - 2 * (xx + zz), 2 * (yz - wx)},
                          {2 * (xz - wy), 2 * (yz + wx), 1 - 2 * (xx + yy)}};
  const double scale[3] = {s.x, s.y, s.z};
  Mat4 m;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) m.m[i][j] = r[i][j] * scale[j];
  }
  m.m[0][3] = t.x;
  m.m[1][3] = t.y;
  m.m[2][3] = t.z;
  return m;
}

void DecomposeTrs(const Mat4& a, Vec3& t, Quat& q, Vec3& s) {
  const auto& m = a.m;
  t = Vec3{m[0][3], m[1][3], m[2][3]};
  double col[3][3];
  double len[3];
  for (int j = 0; j < 3; ++j) {
    len[j] = std::sqrt(m[0][j] * m[0][j] + m[1][j] * m[1][j] + m[2][j] * m[2][j]);
    for (int i = 0; i < 3; ++i) col[j][i] = len[j] > 0 ? m[i][j] / len[j] : (i == j ? 1 : 0);
  }
  // A mirrored matrix keeps a proper rotation and a negative scale.
  const double det = col[0][0] * (col[1][1] * col[2][2] - col[2][1] * col[1][2]) -
                     col[1][0] * (col[0][1] * col[2][2] - col[2][1] * col[0][2]) +
                     col[2][0] * (col[0][1] * col[1][2] - col[1][1] * col[0][2]);
  if (det < 0) {
    len[0] = -len[0];
    for (double& c : col[0]) c = -c;
  }
  s = Vec3{len[0], len[1], len[2]};
  // r[i][j] = col[j][i]
  const double trace = col[0][0] + col[1][1] + col[2][2];
  if (trace > 0) {
    const double k = 0.5 / std::sqrt(trace + 1.0);
    q = Quat{0.25 / k, (col[1][2] - col[2][1]) * k, (col[2][0] - col[0][2]) * k,
             (col[0][1] - col[1][0]) * k};
  } else if (col[0][0] > col[1][1] && col[0][0] > col[2][2]) {
    const double k = 2.0 * std::sqrt(1.0 + col[0][0] - col[1][1] - col[2][2]);
    q = Quat{(col[1][2] - col[2][1]) / k, 0.25 * k, (col[1][0] + col[0][1]) / k,
             (col[2][0] + col[0][2]) / k};
  } else if (col[1][1] > col[2][2]) {
    const double k = 2.0 * std::sqrt(1.0 + col[1][1] - col[0][0] - col[2][2]);
    q = Quat{(col[2][0] - col[0][2]) / k, (col[1][0] + col[0][1]) / k, 0.25 * k,
             (col[2][1] + col[1][2]) / k};
  } else {
    const double k = 2.0 * std::sqrt(1.0 + col[2][2] - col[0][0] - col[1][1]);
    q = Quat{(col[0][1] - col[1][0]) / k, (col[2][0] + col[0][2]) / k,
             (col[2][1] + col[1][2]) / k, 0.25 * k};
  }
  q = Normalised(q);
}

Vec3 Lerp(const Vec3& a, const Vec3& b, double f) {
  return Vec3{a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f};
}

Quat Normalised(const Quat& q) {
  const double n = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
  if (n == 0 || !std::isfinite(n)) return Quat{};
  return Quat{q.w / n, q.x / n, q.y / n, q.z / n};
}

Quat Slerp(const Quat& a, const Quat& b0, double f) {
  Quat b = b0;
  double cosine = a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z;
  if (cosine < 0) {
    cosine = -cosine;
    b = Quat{-b.w, -b.x, -b.y, -b.z};
  }
  double ka = 1 - f;
  double kb = f;
  // Nearly equal rotations: the linear blend is exact enough and avoids
  // dividing by a vanishing sine.
  if (cosine < 0.9999) {
    const double angle = std::acos(cosine);
    const double sine = std::sin(angle);
    ka = std::sin((1 - f) * angle) / sine;
    kb = std::sin(f * angle) / sine;
  }
  return Normalised(Quat{ka * a.w + kb * b.w, ka * a.x + kb * b.x, ka * a.y + kb * b.y,
                         ka * a.z + kb * b.z});
}

Matrix3 ToHostMatrix(const Mat4& a) {
  Matrix3 h;
  for (int j = 0; j < 4; ++j) {
    h.rows[j] = Point3{static_cast<float>(a.m[0][j]), static_cast<float>(a.m[1][j]),
                       static_cast<float>(a.m[2][j])};
  }
  return h;
}

Mat4 YUpToZUp() {
  Mat4 m;
  m.m[1][1] = 0;
  m.m[1][2] = -1;
  m.m[2][1] = 1;
  m.m[2][2] = 0;
  return m;
}

}  // namespace vexo
