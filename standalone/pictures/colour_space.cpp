#include "standalone/pictures/colour_space.h"

#include <algorithm>
#include <cmath>

namespace vexo {
namespace {

constexpr float kMiddleGrey = 0.18f;

float Luminance(const float* rgb) { return 0.2126f * rgb[0] + 0.7152f * rgb[1] + 0.0722f * rgb[2]; }

}  // namespace

float SrgbToLinear(float encoded) {
  return encoded <= 0.04045f ? encoded / 12.92f : std::pow((encoded + 0.055f) / 1.055f, 2.4f);
}

float LinearToSrgb(float linear) {
  return linear <= 0.0031308f ? linear * 12.92f : 1.055f * std::pow(linear, 1 / 2.4f) - 0.055f;
}

std::uint8_t LinearToSrgbByte(float linear) {
  const float clamped = std::isfinite(linear) ? std::clamp(linear, 0.0f, 1.0f) : 0.0f;
  return static_cast<std::uint8_t>(std::lround(LinearToSrgb(clamped) * 255.0f));
}

void TintPicture(RgbImage& image, const LinearRgb& factor) {
  // Every byte value maps to one result per channel.
  std::array<std::array<std::uint8_t, 256>, 3> table;
  for (int c = 0; c < 3; ++c) {
    for (int v = 0; v < 256; ++v) {
      table[c][v] = LinearToSrgbByte(SrgbToLinear(v / 255.0f) * factor[c]);
    }
  }
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    image.pixels[i] = table[i % 3][image.pixels[i]];
  }
}

RgbImage ToneMap(const std::vector<float>& rgb, int width, int height) {
  const std::size_t count = static_cast<std::size_t>(width) * height;
  double logSum = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const float y = Luminance(&rgb[3 * i]);
    logSum += std::log(1e-4 + (std::isfinite(y) ? std::max(y, 0.0f) : 0.0f));
  }
  const double average = count ? std::exp(logSum / count) : 1.0;
  const float key = static_cast<float>(kMiddleGrey / std::max(average, 1e-4));
  RgbImage out;
  out.width = width;
  out.height = height;
  out.pixels.resize(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    const float y = Luminance(&rgb[3 * i]) * key;
    // Colours keep their ratios; the luminance is compressed into 0 ... 1.
    const float scale = std::isfinite(y) && y > 0 ? key / (1.0f + y) : 0.0f;
    for (int c = 0; c < 3; ++c) out.pixels[3 * i + c] = LinearToSrgbByte(rgb[3 * i + c] * scale);
  }
  return out;
}

}  // namespace vexo
