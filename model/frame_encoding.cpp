#include "model/frame_encoding.h"

#include <cstddef>
#include <cstring>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#include <xmmintrin.h>
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

// The bounds of the turned, scaled positions of count (at least 1) vertices,
// each the first of equal values met; false when a coordinate is not
// finite (the bounds do not matter then, so finiteness is tested once).
bool SequentialBounds(const SampledVertex* vertices, std::int32_t count, float scale, Float4* lo,
                      Float4* hi) {
  const float most = std::numeric_limits<float>::max();
  const Float4 largest = {most, most, most, most};
  Int4 finite = {-1, -1, -1, -1};
  *lo = *hi = TurnedVector(vertices[0].position, scale);
  for (std::int32_t i = 0; i < count; ++i) {
    const Float4 c = TurnedVector(vertices[i].position, scale);
    finite &= (c < 0 ? -c : c) <= largest;
    *lo = c < *lo ? c : *lo;
    *hi = c > *hi ? c : *hi;
  }
  return finite[0] && finite[1] && finite[2];
}

#ifdef __SSE2__
// TurnedVector from one load of x, y, z and the u after them: the fourth
// lane holds u times the scale, which nothing reads.
static_assert(offsetof(SampledVertex, u) == offsetof(SampledVertex, position) + 3 * sizeof(float),
              "a vertex's position is loaded together with the float after it");
__m128 TurnedRegister(const SampledVertex& vertex, __m128 scale) {
  const __m128 xyzu = _mm_loadu_ps(&vertex.position.x);
  const __m128 yxzu = _mm_shuffle_ps(xyzu, xyzu, _MM_SHUFFLE(3, 2, 0, 1));
  return _mm_mul_ps(_mm_xor_ps(yxzu, _mm_set_ps(0.0f, 0.0f, 0.0f, -0.0f)), scale);
}

// Whether a lane of the three axes holds equal values of different bits:
// zeros of opposite signs.
bool OppositeZeros(__m128 a, __m128 b) {
  const __m128 sameBits =
      _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_castps_si128(a), _mm_castps_si128(b)));
  return (_mm_movemask_ps(_mm_andnot_ps(sameBits, _mm_cmpeq_ps(a, b))) & 7) != 0;
}

// SequentialBounds with two running bounds, even and odd vertices, which
// halves the chain of dependent instructions. MINPS and MAXPS answer
// exactly `c < lo ? c : lo` and `c > hi ? c : hi` (the second operand on
// equal zeros). Each running bound keeps the first of equal values it met:
// when the two differ in value the lesser (greater) one is the sequential
// answer; when they differ only in the sign of a zero, which came first is
// unknown, and the sequential loop answers.
bool Bounds(const SampledVertex* vertices, std::int32_t count, float scale, Float4* lo,
            Float4* hi) {
  const __m128 scale4 = _mm_set1_ps(scale);
  const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
  const __m128 largest = _mm_set1_ps(std::numeric_limits<float>::max());
  __m128 low = TurnedRegister(vertices[0], scale4), high = low, otherLow = low, otherHigh = low;
  __m128 finite = _mm_castsi128_ps(_mm_set1_epi32(-1));
  std::int32_t i = 1;
  for (; i + 1 < count; i += 2) {
    const __m128 a = TurnedRegister(vertices[i], scale4);
    const __m128 b = TurnedRegister(vertices[i + 1], scale4);
    finite = _mm_and_ps(finite, _mm_and_ps(_mm_cmple_ps(_mm_and_ps(a, magnitude), largest),
                                           _mm_cmple_ps(_mm_and_ps(b, magnitude), largest)));
    low = _mm_min_ps(a, low);
    high = _mm_max_ps(a, high);
    otherLow = _mm_min_ps(b, otherLow);
    otherHigh = _mm_max_ps(b, otherHigh);
  }
  if (i < count) {
    const __m128 a = TurnedRegister(vertices[i], scale4);
    finite = _mm_and_ps(finite, _mm_cmple_ps(_mm_and_ps(a, magnitude), largest));
    low = _mm_min_ps(a, low);
    high = _mm_max_ps(a, high);
  }
  if ((_mm_movemask_ps(finite) & 7) != 7) return false;
  if (OppositeZeros(low, otherLow) || OppositeZeros(high, otherHigh)) {
    return SequentialBounds(vertices, count, scale, lo, hi);
  }
  *lo = reinterpret_cast<Float4>(_mm_min_ps(low, otherLow));
  *hi = reinterpret_cast<Float4>(_mm_max_ps(high, otherHigh));
  return true;
}

// The truncated quotients (c - translate) / step of four coordinates, each
// widened to double precision, as QuotientBytes divides them.
__m128i FourQuotients(__m128 c, double translate, double step) {
  const __m128d t = _mm_set1_pd(translate), s = _mm_set1_pd(step);
  const __m128i low = _mm_cvttpd_epi32(_mm_div_pd(_mm_sub_pd(_mm_cvtps_pd(c), t), s));
  const __m128i high =
      _mm_cvttpd_epi32(_mm_div_pd(_mm_sub_pd(_mm_cvtps_pd(_mm_movehl_ps(c, c)), t), s));
  return _mm_unpacklo_epi64(low, high);
}
#else
bool Bounds(const SampledVertex* vertices, std::int32_t count, float scale, Float4* lo,
            Float4* hi) {
  return SequentialBounds(vertices, count, scale, lo, hi);
}
#endif

}  // namespace

int EncodeFramePositions(const SampledVertex* vertices, std::int32_t count, float scale,
                         const char* name, Md2FrameHeader* header, Md2Vertex* out) {
  if (count < 1) return 0;
  Float4 lo, hi;
  if (!Bounds(vertices, count, scale, &lo, &hi)) return 0;

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
  // Without SSE2 (and for the last few vertices), two vertices at a time:
  // the x and y axes of each, and both z axes, are divided as pairs.
  const Double2 translateXY = {translate[0], translate[1]};
  const Double2 stepXY = {step[0], step[1]};
  const Double2 translateZ = {translate[2], translate[2]};
  const Double2 stepZ = {step[2], step[2]};
  std::int32_t i = 0;
#ifdef __SSE2__
  // Four vertices at a time, one axis of the four per register: the same
  // products, differences and quotients, and each vertex's three bytes and
  // its normal byte 0 stored as one word.
  const __m128 scale4 = _mm_set1_ps(scale);
  const __m128 negate = _mm_set1_ps(-0.0f);
  const __m128i lowByte = _mm_set1_epi32(0xFF);
  for (; i + 3 < count; i += 4) {
    // Each load takes x, y, z and the u after them, which is not used.
    __m128 x = _mm_loadu_ps(&vertices[i].position.x);
    __m128 y = _mm_loadu_ps(&vertices[i + 1].position.x);
    __m128 z = _mm_loadu_ps(&vertices[i + 2].position.x);
    __m128 unused = _mm_loadu_ps(&vertices[i + 3].position.x);
    _MM_TRANSPOSE4_PS(x, y, z, unused);
    const __m128i first = FourQuotients(_mm_mul_ps(_mm_xor_ps(y, negate), scale4),
                                        translate[0], step[0]);
    const __m128i second = FourQuotients(_mm_mul_ps(x, scale4), translate[1], step[1]);
    const __m128i third = FourQuotients(_mm_mul_ps(z, scale4), translate[2], step[2]);
    const __m128i words =
        _mm_or_si128(_mm_and_si128(first, lowByte),
                     _mm_or_si128(_mm_slli_epi32(_mm_and_si128(second, lowByte), 8),
                                  _mm_slli_epi32(_mm_and_si128(third, lowByte), 16)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), words);
  }
#endif
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
