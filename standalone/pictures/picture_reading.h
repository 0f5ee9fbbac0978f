// Reading pictures that vexo does not trust: the format is told by the
// bytes, the size is read from the header and checked against the limits
// (picture_limits.h) before anything is decoded, and large pictures are
// scaled down while they are decoded.
//
//   std::vector<std::uint8_t> bytes = vexo::ReadPictureFile("wood.jpg");
//   vexo::PictureHeader header = vexo::ReadPictureHeader(bytes.data(), bytes.size());
//   vexo::RgbImage small = vexo::DecodePicture(bytes.data(), bytes.size(), 120, 90);
//
// Everything throws PictureError with what is wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "standalone/pictures/picture.h"
#include "standalone/pictures/picture_format.h"

namespace vexo {

struct PictureHeader {
  PictureFormat format = PictureFormat::kUnknown;
  int width = 0;
  int height = 0;
};

// The bytes of a picture file: a regular file of at most
// kMaxPictureFileBytes.
std::vector<std::uint8_t> ReadPictureFile(const std::filesystem::path& file);

// Format and size, checked against the limits.
PictureHeader ReadPictureHeader(const std::uint8_t* bytes, std::size_t size);

// The picture scaled to exactly width x height, which may not exceed its
// own size; alpha is dropped, HDR pictures are tone-mapped.
RgbImage DecodePicture(const std::uint8_t* bytes, std::size_t size, int width, int height);

// The most pixels a converted picture may have: what the plug-in then
// loads whole.
std::int64_t MaxConvertedPixels();

}  // namespace vexo
