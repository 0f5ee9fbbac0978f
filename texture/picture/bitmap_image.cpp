// The image record: its lifetime, the choice of loader by file name and the
// two pixel readers.
//
// Not supported: choosing a loader by the file's contents (only the name
// counts), mixed-case extensions such as ".Tga", and images of width or
// height 0 (the readers return index 255 and black for them).
#include "texture/picture/bitmap_image.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "texture/picture/picture_checks.h"

BitmapImage::BitmapImage() {
  std::memset(name, 0, sizeof name);
  std::memset(path, 0, sizeof path);
  loadFailure[0] = '\0';
}

BitmapImage::~BitmapImage() { FreePixels(); }

BitmapImage::BitmapImage(BitmapImage&& other) noexcept : BitmapImage() { *this = std::move(other); }

BitmapImage& BitmapImage::operator=(BitmapImage&& other) noexcept {
  if (this == &other) return *this;
  FreePixels();
  std::memcpy(name, other.name, sizeof name);
  std::memcpy(path, other.path, sizeof path);
  pixels = other.pixels;
  other.pixels = nullptr;
  if (std::uint8_t** plane = picture_checks::AlphaPlane(*this)) {
    std::uint8_t** from = picture_checks::AlphaPlane(other);
    *plane = *from;
    *from = nullptr;
  }
  info = other.info;
  std::memcpy(palette, other.palette, sizeof palette);
  std::memcpy(loadFailure, other.loadFailure, sizeof loadFailure);
  other.Reset();
  return *this;
}

void BitmapImage::FreePixels() {
  delete[] pixels;
  pixels = nullptr;
  if (std::uint8_t** plane = picture_checks::AlphaPlane(*this)) {
    delete[] *plane;
    *plane = nullptr;
  }
}

void BitmapImage::Reset() {
  FreePixels();
  std::memset(name, 0, sizeof name);
  std::memset(path, 0, sizeof path);
  info = BitmapInfoHeader();
  for (PaletteEntry& entry : palette) entry = PaletteEntry();
  loadFailure[0] = '\0';
}

int BitmapImage::FailLoad(const char* reason, ...) {
  Reset();
  va_list args;
  va_start(args, reason);
  if (std::vsnprintf(loadFailure, sizeof loadFailure, reason, args) < 0) loadFailure[0] = '\0';
  va_end(args);
  return 0;
}

int BitmapImage::BeginLoad(const char* filePath, bool keepName) {
  Reset();
  if (!filePath) return FailLoad("no file name");
  // A longer path would be cut into the name of some other file.
  const std::size_t length = std::strlen(filePath);
  if (length >= sizeof path) return FailLoad("the path is longer than 255 characters");
  if (keepName) {
    std::memcpy(path, filePath, length + 1);
    // The host hands Windows paths; on Linux the separator is "/".
    const char* fileName = filePath;
    for (const char* c = filePath; *c; ++c) {
      if (*c == '\\' || *c == '/') fileName = c + 1;
    }
    std::memcpy(name, fileName, std::strlen(fileName) + 1);
  }
  return 1;
}

namespace {

// Coordinates wrap, so the picture repeats in both directions. Most lie
// inside the picture already, and skip the division.
std::int64_t Wrap(std::int32_t value, std::int32_t size) {
  if (value >= 0 && value < size) return value;
  const std::int64_t r = std::int64_t{value} % size;
  return r < 0 ? r + size : r;
}

}  // namespace

int BitmapImage::AllocatePixels(std::int64_t width, std::int64_t height,
                                std::uint16_t bitsPerPixel) {
  if (!picture_checks::ValidSides(width, height)) return 0;
  const std::uint64_t bytes = picture_checks::PixelBytes(width, height, bitsPerPixel);
  if (bytes == 0 || bytes > SIZE_MAX) return 0;
  FreePixels();
  // Zeroed, so padding bytes are defined whatever the loader reads.
  pixels = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(bytes)]();
  if (!pixels) return 0;
  info.width = static_cast<std::int32_t>(width);
  info.height = static_cast<std::int32_t>(height);
  info.bitsPerPixel = bitsPerPixel;
  return 1;
}

void BitmapImage::KeepSizeOnly(std::int64_t width, std::int64_t height,
                               std::uint16_t bitsPerPixel) {
  FreePixels();
  info.width = static_cast<std::int32_t>(width);
  info.height = static_cast<std::int32_t>(height);
  info.bitsPerPixel = bitsPerPixel;
}

std::int64_t BitmapImage::Stride() const { return picture_checks::RowStride(info.width, info.bitsPerPixel); }

int BitmapImage::LoadImageFile(const char* filePath, const SidesToDecode& decode) {
  if constexpr (!release::kChoosesLoaderByName) {
    return LoadBmp(filePath, decode);
  } else {
    if (!filePath) return FailLoad("no file name");
    // The extension texts are searched in the whole path, in this order.
    if (std::strstr(filePath, ".bmp") || std::strstr(filePath, ".BMP"))
      return LoadBmp(filePath, decode);
    if (std::strstr(filePath, ".tga") || std::strstr(filePath, ".TGA"))
      return LoadTga(filePath, decode);
    if constexpr (release::kLoadsTim) {
      if (std::strstr(filePath, ".tim") || std::strstr(filePath, ".TIM"))
        return LoadTim(filePath, decode);
      return FailLoad("its name holds none of .bmp, .tga and .tim (in small or capital letters)");
    }
    return FailLoad("its name holds neither .bmp nor .tga (in small or capital letters)");
  }
}

std::int32_t BitmapImage::Width() const { return info.width; }

std::int32_t BitmapImage::Height() const { return info.height; }

std::uint8_t BitmapImage::PixelIndex(std::int32_t x, std::int32_t y) const {
  if (!pixels || info.width <= 0 || info.height <= 0) return 255;
  const std::int64_t column = Wrap(x, info.width);
  const std::uint8_t* row = pixels + Wrap(y, info.height) * Stride();
  switch (info.bitsPerPixel) {
    case 8:
      return row[column];
    case 4: {
      const std::uint8_t pair = row[column / 2];
      return (column & 1) ? (pair & 0x0F) : (pair >> 4);
    }
    default:
      return 255;
  }
}

PaletteEntry BitmapImage::PixelColour(std::int32_t x, std::int32_t y) const {
  PaletteEntry colour;
  if (!pixels || info.width <= 0 || info.height <= 0) return colour;
  switch (info.bitsPerPixel) {
    case 4:
    case 8:
      return palette[PixelIndex(x, y)];
    case 24:
    case 32: {
      const std::uint8_t* p = pixels + Wrap(y, info.height) * Stride() + 3 * Wrap(x, info.width);
      colour.blue = p[0];
      colour.green = p[1];
      colour.red = p[2];
      return colour;
    }
    default:
      return colour;
  }
}

void BitmapImage::RowColours(std::int32_t x, std::int32_t y, std::int64_t count,
                             std::uint8_t* bgr) const {
  std::int64_t column = info.width > 0 ? Wrap(x, info.width) : 0;
  if (pixels && info.width > 0 && info.height > 0 &&
      (info.bitsPerPixel == 24 || info.bitsPerPixel == 32)) {
    // Blue, green and red as stored: the row is copied in runs up to its end.
    const std::uint8_t* row = pixels + Wrap(y, info.height) * Stride();
    while (count > 0) {
      const std::int64_t run = std::min<std::int64_t>(count, info.width - column);
      std::memcpy(bgr, row + 3 * column, static_cast<std::size_t>(3 * run));
      bgr += 3 * run;
      count -= run;
      column = 0;
    }
    return;
  }
  for (; count > 0; --count, bgr += 3) {
    const PaletteEntry colour = PixelColour(static_cast<std::int32_t>(column), y);
    bgr[0] = colour.blue;
    bgr[1] = colour.green;
    bgr[2] = colour.red;
    if (++column == info.width) column = 0;
  }
}
