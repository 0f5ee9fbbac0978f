// The decoders behind picture_reading.h, one per library: libpng for PNG,
// libjpeg-turbo for JPEG, MagickCore for every other format but TIM, whose
// header alone is read. Each reads the picture from memory and throws
// PictureError.
#pragma once

#include <cstddef>
#include <cstdint>

#include "standalone/pictures/picture.h"
#include "standalone/pictures/picture_format.h"

namespace vexo::readers {

struct Size {
  int width = 0;
  int height = 0;
  // The most pixels this reader decodes such a picture with (see
  // picture_limits.h).
  std::int64_t mostPixels = 0;
};

Size PngSize(const std::uint8_t* bytes, std::size_t size);
RgbImage DecodePng(const std::uint8_t* bytes, std::size_t size, int width, int height);

Size JpegSize(const std::uint8_t* bytes, std::size_t size);
RgbImage DecodeJpeg(const std::uint8_t* bytes, std::size_t size, int width, int height);

Size TimSize(const std::uint8_t* bytes, std::size_t size);
RgbImage DecodeTim(const std::uint8_t* bytes, std::size_t size, int width, int height);

Size MagickSize(PictureFormat format, const std::uint8_t* bytes, std::size_t size);
RgbImage DecodeMagick(PictureFormat format, const std::uint8_t* bytes, std::size_t size, int width,
                      int height);

}  // namespace vexo::readers
