#include "standalone/import/image_decoding.h"

#include <algorithm>
#include <cmath>
#include <limits>

// The decoder and resizer are compiled into this file only, with internal
// linkage, so they cannot clash with another copy in the same program.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_FAILURE_USERMSG
#include <stb/stb_image.h>
#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>
#pragma GCC diagnostic pop

namespace vexo {
namespace {

// Largest picture decoded: 16384 x 16384 pixels.
constexpr long long kMaxPixels = 16384LL * 16384LL;

int ByteCount(std::size_t size) {
  return size > static_cast<std::size_t>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(size);
}

}  // namespace

bool ReadImageSize(const std::uint8_t* bytes, std::size_t size, int& width, int& height) {
  int channels = 0;
  return bytes && size > 0 &&
         stbi_info_from_memory(bytes, ByteCount(size), &width, &height, &channels) == 1;
}

bool DecodeImage(const std::uint8_t* bytes, std::size_t size, RgbImage& image, std::string& error) {
  int width = 0, height = 0;
  if (!ReadImageSize(bytes, size, width, height)) {
    const char* reason = stbi_failure_reason();
    error = reason ? reason : "not a picture format that can be read";
    return false;
  }
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPixels) {
    error = "picture of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels is too large";
    return false;
  }
  int channels = 0;
  stbi_uc* data = stbi_load_from_memory(bytes, ByteCount(size), &width, &height, &channels, 3);
  if (!data) {
    const char* reason = stbi_failure_reason();
    error = reason ? reason : "corrupt picture";
    return false;
  }
  image.width = width;
  image.height = height;
  image.pixels.assign(data, data + static_cast<std::size_t>(width) * height * 3);
  stbi_image_free(data);
  return true;
}

void FittedSize(int width, int height, int maxSide, int& fittedWidth, int& fittedHeight) {
  fittedWidth = width;
  fittedHeight = height;
  const int longer = std::max(width, height);
  if (maxSide <= 0 || longer <= maxSide) return;
  const double factor = static_cast<double>(maxSide) / longer;
  fittedWidth = std::clamp(static_cast<int>(std::lround(width * factor)), 1, maxSide);
  fittedHeight = std::clamp(static_cast<int>(std::lround(height * factor)), 1, maxSide);
}

RgbImage Downsample(const RgbImage& image, int maxSide) {
  RgbImage out;
  FittedSize(image.width, image.height, maxSide, out.width, out.height);
  if (out.width == image.width && out.height == image.height) return image;
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 3);
  stbir_resize_uint8(image.pixels.data(), image.width, image.height, 0, out.pixels.data(),
                     out.width, out.height, 0, 3);
  return out;
}

}  // namespace vexo
