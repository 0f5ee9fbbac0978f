#include "standalone/pictures/picture_reading.h"

#include <cmath>
#include <string>
#include <system_error>

#include "base/whole_file_reader.h"
#include "standalone/pictures/picture_limits.h"
#include "standalone/pictures/picture_readers.h"

namespace fs = std::filesystem;

namespace vexo {
namespace {

std::string Size(long long width, long long height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// zlib packs at most about 1032 bytes into one, and a PNG row holds at
// least a filter byte and one bit a pixel.
constexpr std::uint64_t kMostInflation = 1032;

readers::Size SizeOf(PictureFormat format, const std::uint8_t* bytes, std::size_t size) {
  switch (format) {
    case PictureFormat::kUnknown:
      throw PictureError("not a picture format vexo reads (PNG, JPEG, BMP, TGA, GIF, PSD, HDR, "
                         "TIFF, WebP, DDS, TIM or PCX)");
    case PictureFormat::kPng: return readers::PngSize(bytes, size);
    case PictureFormat::kJpeg: return readers::JpegSize(bytes, size);
    case PictureFormat::kTim: return readers::TimSize(bytes, size);
    default: return readers::MagickSize(format, bytes, size);
  }
}

void CheckSize(PictureFormat format, const readers::Size& picture, std::size_t fileBytes) {
  const long long w = picture.width, h = picture.height;
  if (w <= 0 || h <= 0) throw PictureError("the picture's header gives it no pixels");
  if (w * h > picture.mostPixels) {
    const long long side = std::llround(std::sqrt(static_cast<double>(picture.mostPixels)));
    throw PictureError("the picture is " + Size(w, h) + " pixels; vexo reads " +
                       PictureFormatName(format) + " pictures of up to " +
                       std::to_string(picture.mostPixels) + " pixels (" + Size(side, side) + ")");
  }
  if (format == PictureFormat::kPng &&
      static_cast<std::uint64_t>(fileBytes) * kMostInflation <
          static_cast<std::uint64_t>(h * (1 + (w + 7) / 8))) {
    throw PictureError("the PNG file of " + std::to_string(fileBytes) +
                       " bytes is too short for the " + Size(w, h) + " pixels its header gives");
  }
}

}  // namespace

std::vector<std::uint8_t> ReadPictureFile(const fs::path& file) {
  // Only a regular file: a FIFO or a device would never end.
  std::error_code error;
  if (!fs::is_regular_file(file, error)) throw PictureError("not a file");
  std::vector<std::uint8_t> bytes;
  std::string reason;
  if (!ReadWholeFile(file.string(), bytes, reason, kMaxPictureFileBytes)) throw PictureError(reason);
  return bytes;
}

PictureHeader ReadPictureHeader(const std::uint8_t* bytes, std::size_t size) {
  const PictureFormat format = SniffPictureFormat(bytes, size);
  const readers::Size picture = SizeOf(format, bytes, size);
  CheckSize(format, picture, size);
  return PictureHeader{format, picture.width, picture.height};
}

RgbImage DecodePicture(const std::uint8_t* bytes, std::size_t size, int width, int height) {
  const PictureFormat format = SniffPictureFormat(bytes, size);
  const readers::Size picture = SizeOf(format, bytes, size);
  CheckSize(format, picture, size);
  if (width < 1 || height < 1 || width > picture.width || height > picture.height ||
      static_cast<std::int64_t>(width) * height > kMaxWholePixels) {
    throw PictureError("cannot make a " + Size(width, height) + " picture of a " +
                       Size(picture.width, picture.height) + " one");
  }
  switch (format) {
    case PictureFormat::kPng: return readers::DecodePng(bytes, size, width, height);
    case PictureFormat::kJpeg: return readers::DecodeJpeg(bytes, size, width, height);
    case PictureFormat::kTim: return readers::DecodeTim(bytes, size, width, height);
    default: return readers::DecodeMagick(format, bytes, size, width, height);
  }
}

std::int64_t MaxConvertedPixels() { return kMaxWholePixels; }

}  // namespace vexo
