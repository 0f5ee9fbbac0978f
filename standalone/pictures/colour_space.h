// Light and its encodings: pictures hold sRGB bytes, while material colour
// factors and HDR pictures are linear light.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "standalone/pictures/picture.h"

namespace vexo {

using LinearRgb = std::array<float, 3>;

float SrgbToLinear(float encoded);  // both 0 ... 1
float LinearToSrgb(float linear);
// A linear value as an sRGB byte, clamped to 0 ... 1 first.
std::uint8_t LinearToSrgbByte(float linear);

// Multiplies every pixel by factor in linear light.
void TintPicture(RgbImage& image, const LinearRgb& factor);

// An HDR picture (linear RGB floats, any brightness) made displayable:
// Reinhard's global operator, keyed so that the picture's log-average
// luminance comes out as middle grey.
RgbImage ToneMap(const std::vector<float>& rgb, int width, int height);

}  // namespace vexo
