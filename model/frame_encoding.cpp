#include "model/frame_encoding.h"

#include <cstring>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Four floats or two doubles in one register: a vertex's three axes are
// bounded together, its x and y axes divided together.
typedef float Float4 __attribute__((vector_size(16)));
typedef int Int4 __attribute__((vector_size(16)));
typedef double Double2 __attribute__((vector_size(16)));

// A position as the frame stores it: axes turned, (x, y, z) -> (-y, x, z),
// then scaled, in single precision.
void Turned(const Point3& p, float scale, float c[3]) {
  c[0] = -p.y * scale;
  c[1] = p.x * scale;
  c[2] = p.z * scale;
}

// The same as one vector, its fourth lane 0.
Float4 TurnedVector(const Point3& p, float scale) { return Float4{-p.y, p.x, p.z, 0.0f} * scale; }

// The byte of a quotient: truncated, low 8 bits; 0 for a quotient outside
// the 32-bit range, infinite or not a number (an axis without extent has
// step 0, so its quotients are all of those or 0 / 0).
std::uint8_t QuotientByte(double q) {
  const bool inRange = q > -2147483648.0 && q < 2147483648.0;
  return static_cast<std::uint8_t>(
      static_cast<std::uint32_t>(static_cast<std::int32_t>(inRange ? q : 0.0)));
}

// QuotientByte of both lanes. SSE2's truncation answers 0x80000000, whose
// low byte is 0, for a quotient outside the 32-bit range or not a number.
void QuotientBytes(Double2 q, std::uint8_t* first, std::uint8_t* second) {
#ifdef __SSE2__
  const __m128i whole = _mm_cvttpd_epi32(reinterpret_cast<__m128d>(q));
  *first = static_cast<std::uint8_t>(_mm_cvtsi128_si32(whole));
  *second = static_cast<std::uint8_t>(_mm_cvtsi128_si32(_mm_srli_si128(whole, 4)));
#else
  *first = QuotientByte(q[0]);
  *second = QuotientByte(q[1]);
#endif
}

}  // namespace

int EncodeFramePositions(const SampledVertex* vertices, std::int32_t count, float scale,
                         const char* name, Md2FrameHeader* header, Md2Vertex* out) {
  if (count < 1) return 0;
  Float4 lo = TurnedVector(vertices[0].position, scale);
  Float4 hi = lo;
  // Finiteness is gathered and tested once: the bounds do not matter when
  // the frame is refused.
  const float most = std::numeric_limits<float>::max();
  const Float4 largest = {most, most, most, most};
  Int4 finite = {-1, -1, -1, -1};
  for (std::int32_t i = 0; i < count; ++i) {
    const Float4 c = TurnedVector(vertices[i].position, scale);
    finite &= (c < 0 ? -c : c) <= largest;
    lo = c < lo ? c : lo;
    hi = c > hi ? c : hi;
  }
  if (!(finite[0] && finite[1] && finite[2])) return 0;

  double translate[3], step[3];
  for (int k = 0; k < 3; ++k) {
    header->scale[k] =
        static_cast<float>((double(hi[k]) - double(lo[k])) * double(kMd2QuantisationStep));
    header->translate[k] = lo[k];
    translate[k] = header->translate[k];
    step[k] = header->scale[k];
  }
  std::memset(header->name, 0, sizeof header->name);
  if (name) std::strncpy(header->name, name, sizeof header->name - 1);

  // Each byte is the truncated quotient (p - translate) / step in double
  // precision, divided exactly as written: a product with the reciprocal
  // may land on the other side of a whole number. The coordinates are
  // computed again for the bytes rather than kept.
  // Two vertices at a time: the x and y axes of each, and both z axes,
  // are divided as pairs.
  const Double2 translateXY = {translate[0], translate[1]};
  const Double2 stepXY = {step[0], step[1]};
  const Double2 translateZ = {translate[2], translate[2]};
  const Double2 stepZ = {step[2], step[2]};
  std::int32_t i = 0;
  for (; i + 1 < count; i += 2) {
    float a[3], b[3];
    Turned(vertices[i].position, scale, a);
    Turned(vertices[i + 1].position, scale, b);
    QuotientBytes((Double2{a[0], a[1]} - translateXY) / stepXY, &out[i].v[0], &out[i].v[1]);
    QuotientBytes((Double2{b[0], b[1]} - translateXY) / stepXY, &out[i + 1].v[0], &out[i + 1].v[1]);
    QuotientBytes((Double2{a[2], b[2]} - translateZ) / stepZ, &out[i].v[2], &out[i + 1].v[2]);
    out[i].normalIndex = 0;
    out[i + 1].normalIndex = 0;
  }
  if (i < count) {
    float c[3];
    Turned(vertices[i].position, scale, c);
    QuotientBytes((Double2{c[0], c[1]} - translateXY) / stepXY, &out[i].v[0], &out[i].v[1]);
    out[i].v[2] = QuotientByte((double(c[2]) - translate[2]) / step[2]);
    out[i].normalIndex = 0;
  }
  return 1;
}
