// Double-precision transform arithmetic for import and animation sampling.
//
// Matrices follow the importer's layout: m[row][column], points are column
// vectors, the translation sits in column 3. The host's Matrix3 is the
// transpose of the upper 4 x 3 part (rows 0-2 are the images of the axes,
// row 3 the translation); ToHostMatrix converts.
#pragma once

#include "plugin/host/geometry.h"

namespace vexo {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// Unit quaternion w + xi + yj + zk.
struct Quat {
  double w = 1, x = 0, y = 0, z = 0;
};

struct Mat4 {
  double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

Mat4 operator*(const Mat4& a, const Mat4& b);
Vec3 TransformPoint(const Mat4& m, const Vec3& p);
// Inverse of an affine matrix (bottom row 0 0 0 1). A singular matrix gives
// the identity: a collapsed node has no meaningful inverse.
Mat4 AffineInverse(const Mat4& m);

// Translation * rotation * scale.
Mat4 ComposeTrs(const Vec3& translation, const Quat& rotation, const Vec3& scale);
// Splits an affine matrix without shear into translation, rotation, scale.
void DecomposeTrs(const Mat4& m, Vec3& translation, Quat& rotation, Vec3& scale);

Vec3 Lerp(const Vec3& a, const Vec3& b, double f);
// Spherical interpolation along the shorter arc; the result is normalised.
Quat Slerp(const Quat& a, const Quat& b, double f);
Quat Normalised(const Quat& q);

Matrix3 ToHostMatrix(const Mat4& m);

// Y-up to Z-up: (x, y, z) becomes (x, -z, y).
Mat4 YUpToZUp();

}  // namespace vexo
