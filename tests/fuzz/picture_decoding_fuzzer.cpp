// vexo's picture decoding (libpng, libjpeg, ImageMagick's library and our
// TIM reader behind one call) on untrusted bytes: the header read and
// checked, then the picture decoded at its own size when it is small and
// scaled down to a few pixels.
#include <algorithm>
#include <cstdlib>

#include "standalone/pictures/picture_reading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexo::PictureHeader header;
  try {
    header = vexo::ReadPictureHeader(data, size);
  } catch (const vexo::PictureError&) {
    return 0;
  }
  if (header.width <= 0 || header.height <= 0) std::abort();  // a header must give a size
  std::vector<std::pair<int, int>> sizes = {
      {std::min(header.width, 3), std::min(header.height, 5)}};
  if (std::int64_t(header.width) * header.height <= 64 * 64)
    sizes.emplace_back(header.width, header.height);
  for (const auto& [width, height] : sizes) {
    try {
      const vexo::RgbImage image = vexo::DecodePicture(data, size, width, height);
      if (image.width != width || image.height != height ||
          image.pixels.size() != std::size_t(width) * height * 3)
        std::abort();
    } catch (const vexo::PictureError&) {
    }
  }
  return 0;
}
