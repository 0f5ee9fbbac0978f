// One loaded picture: header, palette and rows (bottom row first, each row
// padded to 4 bytes). The pixel readers wrap their coordinates. The loaders
// are members, one file per format (bmp.cpp, tga.cpp, tim.cpp); a failed
// load leaves the record empty and says why in loadFailure.
#pragma once

#include <cstdint>

#include "plugin/host/host_release.h"

// The Windows BITMAPINFOHEADER layout.
struct BitmapInfoHeader {
  std::uint32_t size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t coloursImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");

// Blue, green, red, reserved (the Windows RGBQUAD order).
struct PaletteEntry {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::uint8_t reserved = 0;
};

// The largest width or height a loader accepts.
inline constexpr std::int32_t kMaxImageSide = 16384;

// The picture sizes whose pixels a load decodes: both sides within their
// range. A picture of any other size is checked as a decode would check it
// (its header and palette, and that the file holds every pixel: the size
// of raw rows, each run-length packet walked) and keeps its header and
// palette, but no pixels. So the caller, knowing which sizes it could ever
// use, pays memory only for those.
struct SidesToDecode {
  std::int32_t widthFrom = 1;
  std::int32_t widthTo = kMaxImageSide;
  std::int32_t heightFrom = 1;
  std::int32_t heightTo = kMaxImageSide;

  bool Holds(std::int64_t width, std::int64_t height) const {
    return width >= widthFrom && width <= widthTo && height >= heightFrom && height <= heightTo;
  }
};

// Release 2's record has no alpha plane.
template <bool kWithAlpha>
struct ImageAlphaPlane;
template <>
struct ImageAlphaPlane<true> {
  std::uint8_t* alpha = nullptr;  // 32-bit TGA only; rows of `width` bytes
};
template <>
struct ImageAlphaPlane<false> {};

struct BitmapImage : ImageAlphaPlane<release::kImageHasAlpha> {
  BitmapImage();
  ~BitmapImage();
  BitmapImage(const BitmapImage&) = delete;
  BitmapImage& operator=(const BitmapImage&) = delete;
  // Moves the buffers; the source is left empty. Skin textures are moved
  // as whole records while they are de-duplicated and sorted.
  BitmapImage(BitmapImage&& other) noexcept;
  BitmapImage& operator=(BitmapImage&& other) noexcept;

  // Each load decodes the pixels of a picture only when `decode` holds its
  // size (every size, by default).
  int LoadImageFile(const char* path, const SidesToDecode& decode = SidesToDecode());
  int LoadBmp(const char* path, const SidesToDecode& decode = SidesToDecode());
  int LoadTga(const char* path, const SidesToDecode& decode = SidesToDecode());
  int LoadTim(const char* path, const SidesToDecode& decode = SidesToDecode());

  std::int32_t Width() const;
  std::int32_t Height() const;
  std::uint8_t PixelIndex(std::int32_t x, std::int32_t y) const;
  PaletteEntry PixelColour(std::int32_t x, std::int32_t y) const;
  // PixelColour of `count` pixels of row y from column x on, wrapping past
  // the right edge, as blue, green, red bytes.
  void RowColours(std::int32_t x, std::int32_t y, std::int64_t count, std::uint8_t* bgr) const;
  void FreePixels();
  // Bytes per row of `pixels` for the loaded depth (0 before a load).
  std::int64_t Stride() const;

  char name[256];
  char path[256];
  std::uint8_t* pixels = nullptr;
  BitmapInfoHeader info;
  PaletteEntry palette[256];
  // Why the last load failed, e.g. "compressed BMP is not read"; empty
  // after a successful one.
  char loadFailure[128];

 private:
  // Empties the record: no buffers, zero header, palette, name and path.
  void Reset();
  // Starts a load: empties the record and refuses a missing path or one
  // longer than the 255 characters that `name` and `path` hold; with
  // `keepName` stores the path and its file name.
  int BeginLoad(const char* filePath, bool keepName);
  // Checks the size against kMaxImageSide, allocates zeroed rows and sets
  // width, height and depth.
  int AllocatePixels(std::int64_t width, std::int64_t height, std::uint16_t bitsPerPixel);
  // Sets width, height and depth of a picture whose pixels are not decoded.
  void KeepSizeOnly(std::int64_t width, std::int64_t height, std::uint16_t bitsPerPixel);
  // Frees everything and returns 0, so a failed load leaves an empty record;
  // the printf-style reason goes to loadFailure.
  int FailLoad(const char* reason, ...) __attribute__((format(printf, 2, 3)));
};
