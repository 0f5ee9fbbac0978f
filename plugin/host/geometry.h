// Host SDK value types: points, matrices, class identifiers, time, strings.
#pragma once

#include <cstdint>

#include "plugin/host/sdk_api.h"

// Host time in ticks; host frame f lies at f * GetTicksPerFrame().
using TimeValue = std::int32_t;

struct Point3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Texture vertex: u, v and an unused w.
using UVVert = Point3;

// Rows 0-2 are the axes, row 3 the translation: a point p maps to
// p.x*row0 + p.y*row1 + p.z*row2 + row3.
struct Matrix3 {
  Point3 rows[4] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
  const Point3& GetRow(int i) const { return rows[i]; }
};

struct Class_ID {
  std::uint32_t a = 0;
  std::uint32_t b = 0;
  friend bool operator==(const Class_ID& l, const Class_ID& r) { return l.a == r.a && l.b == r.b; }
  friend bool operator!=(const Class_ID& l, const Class_ID& r) { return !(l == r); }
};

using SClass_ID = std::uint32_t;

// The host's string class; only constructed, copied and destroyed here.
class VEXO_SDK_API CStr {
 public:
  CStr();
  CStr(const char* text);  // NOLINT: implicit like the host's
  CStr(const CStr& other);
  CStr& operator=(const CStr& other);
  ~CStr();
  const char* data() const;

 private:
  char* text_;
};

// SDK functions (the host's core, geom and maxutil libraries).
VEXO_SDK_API int GetTicksPerFrame();
// Applies the axes (rows 0-2) of m to v, without the translation.
VEXO_SDK_API Point3 VectorTransform(const Matrix3& m, const Point3& v);
VEXO_SDK_API extern const Class_ID triObjectClassID;

// The host's class identifier of a bitmap texture map.
inline constexpr Class_ID kBitmapTextureClassID{0x240, 0};
