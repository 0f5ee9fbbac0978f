#include "texture/skin/copy_texture_to_skin.h"

#include <cstdint>

#include "texture/skin/skin_texture.h"

namespace {

// value mod size, in 0 .. size - 1 for any sign of value.
std::int32_t Wrap(std::int64_t value, std::int32_t size) {
  const std::int64_t m = value % size;
  return static_cast<std::int32_t>(m < 0 ? m + size : m);
}

}  // namespace

void CopyTextureToSkin(const BitmapImage& image, std::uint8_t* skin, int rowLength, int x, int y,
                       int pixelFormat, int left, int top, int width, int height) {
  if (pixelFormat != kSkinPixelFormatBgr || !skin) return;
  const std::int32_t imageWidth = image.Width();
  const std::int32_t imageHeight = image.Height();
  if (imageWidth <= 0 || imageHeight <= 0 || width <= 0 || height <= 0) return;
  std::int32_t sourceRow = Wrap(top, imageHeight);
  const std::int32_t sourceColumn = Wrap(left, imageWidth);
  for (std::int64_t r = 0; r < height; ++r) {
    std::uint8_t* out = skin + (y + r) * rowLength + 3 * static_cast<std::int64_t>(x);
    image.RowColours(sourceColumn, sourceRow, width, out);
    if (++sourceRow == imageHeight) sourceRow = 0;
  }
}
