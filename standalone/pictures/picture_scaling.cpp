#include "standalone/pictures/picture_scaling.h"

#include <algorithm>
#include <cmath>

// The resizer only does arithmetic on pixels it is given; it is compiled
// into this file with internal linkage.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>
#pragma GCC diagnostic pop

namespace vexo {

void FittedSize(int width, int height, int maxSide, int& fittedWidth, int& fittedHeight) {
  fittedWidth = width;
  fittedHeight = height;
  const int longer = std::max(width, height);
  if (maxSide <= 0 || longer <= maxSide) return;
  const double factor = static_cast<double>(maxSide) / longer;
  fittedWidth = std::clamp(static_cast<int>(std::lround(width * factor)), 1, maxSide);
  fittedHeight = std::clamp(static_cast<int>(std::lround(height * factor)), 1, maxSide);
}

RowReducer::RowReducer(int width, int height, int targetWidth, int targetHeight)
    : width_(width), targetWidth_(targetWidth), targetHeight_(targetHeight) {
  // The largest whole factor that keeps both sides at least the target.
  factor_ = std::max(1, std::min(width / std::max(1, targetWidth), height / std::max(1, targetHeight)));
  reduced_.width = (width + factor_ - 1) / factor_;
  reduced_.height = (height + factor_ - 1) / factor_;
  reduced_.pixels.reserve(static_cast<std::size_t>(reduced_.width) * reduced_.height * 3);
  if (factor_ > 1) sums_.assign(static_cast<std::size_t>(reduced_.width) * 3, 0);
}

void RowReducer::AddRow(const std::uint8_t* rgb) {
  if (factor_ == 1) {
    reduced_.pixels.insert(reduced_.pixels.end(), rgb, rgb + static_cast<std::size_t>(width_) * 3);
    return;
  }
  for (int x = 0; x < width_; ++x) {
    std::uint32_t* sum = &sums_[static_cast<std::size_t>(x / factor_) * 3];
    sum[0] += rgb[3 * x];
    sum[1] += rgb[3 * x + 1];
    sum[2] += rgb[3 * x + 2];
  }
  if (++rowsInBlock_ == factor_) FlushBlock();
}

void RowReducer::FlushBlock() {
  if (rowsInBlock_ == 0) return;
  for (int bx = 0; bx < reduced_.width; ++bx) {
    // The last block of a row may be narrower.
    const int columns = std::min(factor_, width_ - bx * factor_);
    const std::uint32_t count = static_cast<std::uint32_t>(columns * rowsInBlock_);
    for (int c = 0; c < 3; ++c) {
      std::uint32_t& sum = sums_[static_cast<std::size_t>(bx) * 3 + c];
      reduced_.pixels.push_back(static_cast<std::uint8_t>((sum + count / 2) / count));
      sum = 0;
    }
  }
  rowsInBlock_ = 0;
}

RgbImage RowReducer::Finish() {
  if (factor_ > 1) FlushBlock();
  if (reduced_.pixels.size() != static_cast<std::size_t>(reduced_.width) * reduced_.height * 3) {
    throw PictureError("the picture's rows end early");
  }
  return Resize(reduced_, targetWidth_, targetHeight_);
}

RgbImage Resize(const RgbImage& image, int width, int height) {
  if (image.width == width && image.height == height) return image;
  RgbImage out;
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<std::size_t>(width) * height * 3);
  stbir_resize_uint8(image.pixels.data(), image.width, image.height, 0, out.pixels.data(), width,
                     height, 0, 3);
  return out;
}

}  // namespace vexo
