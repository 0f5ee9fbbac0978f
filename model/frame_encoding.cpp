#include "model/frame_encoding.h"

#include <cmath>
#include <cstring>

namespace {

// The byte of one coordinate: the truncated quotient, low 8 bits. Finite
// inputs keep the quotient near 0..250; the range test only guards the
// conversion.
std::uint8_t QuantisedByte(float p, float translate, float step) {
  if (step == 0.0f) return 0;
  const double q = (double(p) - double(translate)) / double(step);
  if (!(q > -2147483648.0 && q < 2147483648.0)) return 0;
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(q)));
}

}  // namespace

int EncodeFramePositions(const SampledVertex* vertices, std::int32_t count, float scale,
                         const char* name, Md2FrameHeader* header, Md2Vertex* out) {
  if (count < 1) return 0;
  // A coordinate as the frame stores it: axes turned, then scaled, in
  // single precision. Computed again for the bytes rather than kept.
  auto turned = [&](std::int32_t i, int axis) -> float {
    const Point3& p = vertices[i].position;
    const float c = axis == 0 ? -p.y : axis == 1 ? p.x : p.z;
    return c * scale;
  };

  float lo[3], hi[3];
  for (int k = 0; k < 3; ++k) lo[k] = hi[k] = turned(0, k);
  for (std::int32_t i = 0; i < count; ++i) {
    for (int k = 0; k < 3; ++k) {
      const float c = turned(i, k);
      if (!std::isfinite(c)) return 0;
      if (c < lo[k]) lo[k] = c;
      if (c > hi[k]) hi[k] = c;
    }
  }

  for (int k = 0; k < 3; ++k) {
    header->scale[k] =
        static_cast<float>((double(hi[k]) - double(lo[k])) * double(kMd2QuantisationStep));
    header->translate[k] = lo[k];
  }
  std::memset(header->name, 0, sizeof header->name);
  if (name) std::strncpy(header->name, name, sizeof header->name - 1);

  for (std::int32_t i = 0; i < count; ++i) {
    for (int k = 0; k < 3; ++k)
      out[i].v[k] = QuantisedByte(turned(i, k), header->translate[k], header->scale[k]);
    out[i].normalIndex = 0;
  }
  return 1;
}
