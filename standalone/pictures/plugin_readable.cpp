#include "standalone/pictures/plugin_readable.h"

#include <string>

namespace vexo {
namespace {

std::uint32_t U16(const std::uint8_t* at) { return static_cast<std::uint32_t>(at[0] | at[1] << 8); }
std::uint32_t U32(const std::uint8_t* at) { return U16(at) | U16(at + 2) << 16; }

using Answer = std::optional<PluginPicture>;

bool Sides(std::int64_t width, std::int64_t height, std::int64_t maxPixels) {
  return width > 0 && height > 0 && width * height <= maxPixels;
}

Answer Readable(bool readable, std::int64_t width, std::int64_t height) {
  if (!readable) return std::nullopt;
  return PluginPicture{static_cast<int>(width), static_cast<int>(height)};
}

Answer BmpAsIs(const std::uint8_t* b, std::size_t size, std::int64_t maxPixels) {
  if (size < 54 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
  const std::uint32_t pixelOffset = U32(b + 10), header = U32(b + 14);
  if (header != 40 && header != 52 && header != 56 && header != 108 && header != 124) return std::nullopt;
  const std::int64_t width = static_cast<std::int32_t>(U32(b + 18));
  const std::int64_t height = static_cast<std::int32_t>(U32(b + 22));  // negative: top row first
  const std::uint32_t depth = U16(b + 28), compression = U32(b + 30);
  if (compression != 0 || (depth != 4 && depth != 8 && depth != 24)) return std::nullopt;
  if (!Sides(width, height, maxPixels) || pixelOffset < 14 + header) return std::nullopt;
  const std::int64_t stride = ((width * depth + 31) / 32) * 4;
  return Readable(pixelOffset <= size && static_cast<std::uint64_t>(stride * height) <= size - pixelOffset,
                  width, height);
}

// Walks the run-length packets: the data must hold every pixel.
bool TgaRunsComplete(const std::uint8_t* b, std::size_t size, std::size_t at, std::int64_t pixels,
                     int bytesPerPixel) {
  while (pixels > 0) {
    if (at >= size) return false;
    const std::uint8_t head = b[at++];
    const int count = (head & 0x7F) + 1;
    const std::size_t data = (head & 0x80) ? bytesPerPixel : std::size_t(count) * bytesPerPixel;
    if (data > size - at) return false;
    at += data;
    pixels -= count;
  }
  return true;
}

Answer TgaAsIs(const std::uint8_t* b, std::size_t size, std::int64_t maxPixels) {
  if (size < 18) return std::nullopt;
  const std::uint32_t idLength = b[0], mapType = b[1], type = b[2];
  const std::uint32_t mapLength = U16(b + 5), mapBits = b[7];
  const std::int64_t width = U16(b + 12), height = U16(b + 14);
  const std::uint32_t depth = b[16], descriptor = b[17];
  const bool mapped = type == 1 || type == 9, grey = type == 3 || type == 11;
  const bool colour = type == 2 || type == 10;
  if (!(mapped && depth == 8 && mapType == 1 && mapLength > 0 && mapBits == 24) &&
      !(colour && (depth == 24 || depth == 32) && mapType == 0) &&
      !(grey && depth == 8 && mapType == 0)) {
    return std::nullopt;
  }
  // Interleaved pictures would come out wrong.
  if ((descriptor & 0xC0) != 0 || !Sides(width, height, maxPixels)) return std::nullopt;
  const std::size_t data = 18 + idLength + (mapType == 1 ? mapLength * 3 : 0);
  if (data > size) return std::nullopt;
  const int bytesPerPixel = static_cast<int>(depth / 8);
  if (type >= 9) return Readable(TgaRunsComplete(b, size, data, width * height, bytesPerPixel), width, height);
  return Readable(static_cast<std::uint64_t>(width * height * bytesPerPixel) <= size - data, width, height);
}

Answer TimAsIs(const std::uint8_t* b, std::size_t size, std::int64_t maxPixels) {
  if (size < 8 || U32(b) != 0x10) return std::nullopt;
  const std::uint32_t flags = U32(b + 4), mode = flags & 7;
  if (mode != 0 && mode != 1) return std::nullopt;
  std::size_t at = 8;
  if (flags & 8) {
    if (size - at < 12) return std::nullopt;
    const std::uint32_t length = U32(b + at);
    if (length < 12 || length > size - at) return std::nullopt;
    at += length;
  }
  if (size - at < 12) return std::nullopt;
  const std::int64_t width = static_cast<std::int16_t>(U16(b + at + 8)) * (mode == 0 ? 4 : 2);
  const std::int64_t height = U16(b + at + 10);
  if (!Sides(width, height, maxPixels)) return std::nullopt;
  const std::int64_t rowBytes = mode == 0 ? (width + 1) / 2 : width;
  return Readable(static_cast<std::uint64_t>(rowBytes * height) <= size - at - 12, width, height);
}

}  // namespace

const char* PluginLoaderFor(const std::filesystem::path& file) {
  const std::string path = file.string();
  // The plug-in looks for each kind in turn, wherever the text stands.
  for (const char* extension : {".bmp", ".tga", ".tim"}) {
    std::string upper = extension;
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (path.find(extension) != std::string::npos || path.find(upper) != std::string::npos) {
      return extension;
    }
  }
  return "";
}

std::optional<PluginPicture> PluginReadsAsIs(const std::filesystem::path& file,
                                             const std::uint8_t* bytes, std::size_t size,
                                             std::int64_t maxPixels) {
  const std::string loader = PluginLoaderFor(file);
  if (loader == ".bmp") return BmpAsIs(bytes, size, maxPixels);
  if (loader == ".tga") return TgaAsIs(bytes, size, maxPixels);
  if (loader == ".tim") return TimAsIs(bytes, size, maxPixels);
  return std::nullopt;
}

}  // namespace vexo
