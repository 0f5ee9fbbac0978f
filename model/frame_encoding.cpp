#include "model/frame_encoding.h"

#include <cmath>
#include <cstring>

namespace {

// One axis of a frame: its translate and step, and the reciprocal of the
// step for the quick path of the quotient.
struct AxisQuantiser {
  double translate;
  double step;
  double reciprocal;

  // The byte of one coordinate: the truncated quotient (p - translate) /
  // step, low 8 bits. Finite inputs keep the quotient near 0..250; the range
  // test only guards the conversion.
  std::uint8_t Byte(float p) const {
    if (step == 0.0) return 0;
    const double difference = double(p) - translate;
    // The product with the reciprocal lies within a few units in the last
    // place of the quotient, so it truncates the same way unless it is that
    // close to a whole number; then the quotient itself decides.
    const double product = difference * reciprocal;
    if (product > -2147483647.0 && product < 2147483647.0) {
      const std::int32_t whole = static_cast<std::int32_t>(product);
      const double rest = std::fabs(product - whole);
      const double margin = 1e-12 * (1.0 + std::fabs(product));
      if (rest > margin && rest < 1.0 - margin) return static_cast<std::uint8_t>(whole);
    }
    const double q = difference / step;
    if (!(q > -2147483648.0 && q < 2147483648.0)) return 0;
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(q)));
  }
};

// A position as the frame stores it: axes turned, (x, y, z) -> (-y, x, z),
// then scaled, in single precision.
void Turned(const Point3& p, float scale, float c[3]) {
  c[0] = -p.y * scale;
  c[1] = p.x * scale;
  c[2] = p.z * scale;
}

}  // namespace

int EncodeFramePositions(const SampledVertex* vertices, std::int32_t count, float scale,
                         const char* name, Md2FrameHeader* header, Md2Vertex* out) {
  if (count < 1) return 0;
  float lo[3], hi[3];
  Turned(vertices[0].position, scale, lo);
  Turned(vertices[0].position, scale, hi);
  for (std::int32_t i = 0; i < count; ++i) {
    float c[3];
    Turned(vertices[i].position, scale, c);
    for (int k = 0; k < 3; ++k) {
      if (!std::isfinite(c[k])) return 0;
      if (c[k] < lo[k]) lo[k] = c[k];
      if (c[k] > hi[k]) hi[k] = c[k];
    }
  }

  AxisQuantiser axes[3];
  for (int k = 0; k < 3; ++k) {
    header->scale[k] =
        static_cast<float>((double(hi[k]) - double(lo[k])) * double(kMd2QuantisationStep));
    header->translate[k] = lo[k];
    const double step = header->scale[k];
    axes[k] = AxisQuantiser{double(header->translate[k]), step, step != 0.0 ? 1.0 / step : 0.0};
  }
  std::memset(header->name, 0, sizeof header->name);
  if (name) std::strncpy(header->name, name, sizeof header->name - 1);

  // The coordinates are computed again for the bytes rather than kept.
  for (std::int32_t i = 0; i < count; ++i) {
    float c[3];
    Turned(vertices[i].position, scale, c);
    for (int k = 0; k < 3; ++k) out[i].v[k] = axes[k].Byte(c[k]);
    out[i].normalIndex = 0;
  }
  return 1;
}
