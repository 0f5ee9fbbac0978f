// What the three picture loaders share: the checks made before anything
// is allocated, and the row layout of the image record.
#pragma once

#include <cstdint>
#include <cstdio>

#include "base/closing_file.h"
#include "base/little_endian_file.h"
#include "texture/picture/bitmap_image.h"

namespace picture_checks {

// Skips `count` bytes that the file must hold.
inline bool Skip(LittleEndianReader& reader, std::uint64_t count) {
  if (!reader.ok() || count > BytesLeft(reader.file())) return false;
  return reader.Skip(static_cast<long>(count));
}

// The record's alpha plane, or null for the release whose record has none.
inline std::uint8_t** AlphaPlane(ImageAlphaPlane<true>& record) { return &record.alpha; }
inline std::uint8_t** AlphaPlane(ImageAlphaPlane<false>&) { return nullptr; }

// Width and height a loader accepts.
inline bool ValidSides(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

// Bytes per row of `pixels`: rows are padded to a multiple of 4 bytes, and
// a 32-bit picture keeps three bytes per pixel (the fourth goes to alpha).
inline std::int64_t RowStride(std::int64_t width, int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 4:
      return ((width + 7) >> 1) & ~std::int64_t{3};
    case 8:
      return (width + 3) & ~std::int64_t{3};
    case 24:
    case 32:
      return (3 * width + 3) & ~std::int64_t{3};
    default:
      return 0;
  }
}

// Bytes of `pixels` for a picture of valid sides.
inline std::uint64_t PixelBytes(std::int64_t width, std::int64_t height, int bitsPerPixel) {
  return static_cast<std::uint64_t>(RowStride(width, bitsPerPixel)) *
         static_cast<std::uint64_t>(height);
}

}  // namespace picture_checks
