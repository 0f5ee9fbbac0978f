// A decoded picture and the error of a picture that cannot be read.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "standalone/error.h"

namespace vexo {

// RGB, 3 bytes a pixel, top row first, rows packed.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// Why a picture cannot be read: not a format vexo reads, a damaged file, or
// a size over the limits. The text says what is wrong, not which file.
class PictureError : public Error {
 public:
  using Error::Error;
};

}  // namespace vexo
