#include "plugin/host/geometry.h"

#include <cstdlib>
#include <cstring>

const Class_ID triObjectClassID{0x0009, 0};

Point3 VectorTransform(const Matrix3& m, const Point3& v) {
  const Point3& a = m.rows[0];
  const Point3& b = m.rows[1];
  const Point3& c = m.rows[2];
  return Point3{v.x * a.x + v.y * b.x + v.z * c.x, v.x * a.y + v.y * b.y + v.z * c.y,
                v.x * a.z + v.y * b.z + v.z * c.z};
}

namespace {
char* CopyText(const char* text) {
  const std::size_t n = text ? std::strlen(text) : 0;
  char* copy = static_cast<char*>(std::malloc(n + 1));
  if (!copy) std::abort();
  if (n) std::memcpy(copy, text, n);
  copy[n] = '\0';
  return copy;
}
}  // namespace

CStr::CStr() : text_(CopyText("")) {}
CStr::CStr(const char* text) : text_(CopyText(text)) {}
CStr::CStr(const CStr& other) : text_(CopyText(other.text_)) {}
CStr& CStr::operator=(const CStr& other) {
  if (this != &other) {
    char* copy = CopyText(other.text_);
    std::free(text_);
    text_ = copy;
  }
  return *this;
}
CStr::~CStr() { std::free(text_); }
const char* CStr::data() const { return text_; }
