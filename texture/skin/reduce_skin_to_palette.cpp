#include "texture/skin/reduce_skin_to_palette.h"

#include <cstddef>
#include <new>

#include "texture/skin/palette_search.h"

int ReduceToPalette(const std::uint8_t* skinRgb, std::int32_t width, std::int32_t height,
                    std::uint8_t** indices) {
  delete[] *indices;
  *indices = nullptr;
  if (width < 0 || height < 0) return 0;
  const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  // At least one byte, so an empty skin still has a buffer to write from.
  *indices = new (std::nothrow) std::uint8_t[pixelCount ? pixelCount : 1];
  if (!*indices) return 0;
  if (pixelCount) {
    if (!skinRgb) return 0;
    ReducePixelsToPalette(skinRgb, pixelCount, *indices);
  }
  return 1;
}
