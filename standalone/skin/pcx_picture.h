// PCX pictures on the host side: the game's skin format, read to check and
// finish the skins the plug-in (or anyone) wrote, and written back.
// Only 8-bit, one-plane, run-length pictures are decoded; of other kinds
// the header is read, so that a check can say what they are.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "standalone/error.h"

namespace vexo::skin {

class PcxError : public Error {
 public:
  using Error::Error;
};

inline constexpr int kPcxHeaderSize = 128;
inline constexpr int kPcxPaletteSize = 768;

struct PcxPicture {
  std::array<std::uint8_t, kPcxHeaderSize> header{};  // as read; kept when written back
  int manufacturer = 0, version = 0, encoding = 0, bitsPerPixel = 0, planes = 0;
  int xMin = 0, yMin = 0, xMax = 0, yMax = 0, bytesPerLine = 0;

  // The decoded picture, when it is one this reader decodes.
  bool decoded = false;
  std::string notDecoded;  // why not, when decoded is false
  bool runCrossesRow = false;
  bool paletteMarked = false;  // the byte 12 stands before the palette
  std::vector<std::uint8_t> rows;  // height rows of bytesPerLine bytes, top row first
  std::array<std::uint8_t, kPcxPaletteSize> palette{};  // red, green, blue per index

  int width() const { return xMax - xMin + 1; }
  int height() const { return yMax - yMin + 1; }
  std::uint8_t& At(int x, int y) { return rows[std::size_t(y) * bytesPerLine + x]; }
  std::uint8_t At(int x, int y) const { return rows[std::size_t(y) * bytesPerLine + x]; }
  // width() x height() indices, top row first, without row padding.
  std::vector<std::uint8_t> Indices() const;
};

// A new decoded picture of width x height pixels at index `fill`, with the
// header the plug-in writes (version 5, 8 bits, run-length, one plane).
PcxPicture MakePcx(int width, int height, const std::array<std::uint8_t, kPcxPaletteSize>& palette,
                   std::uint8_t fill);

// Throws PcxError when the bytes are too few for a header.
PcxPicture ReadPcx(const std::vector<std::uint8_t>& bytes, const std::string& path);
PcxPicture ReadPcx(const std::string& path);

// Writes a decoded picture back: its header as read, every row run-length
// coded on its own, the byte 12 and the palette; whole or not at all.
// Throws PcxError.
void WritePcx(const std::string& path, const PcxPicture& picture);

// The palette entry nearest in red, green and blue to a colour, other than
// entry `skip` (the lowest of equals).
int NearestEntry(const std::array<std::uint8_t, kPcxPaletteSize>& palette,
                 const std::array<std::uint8_t, 3>& colour, int skip);
// The entry nearest to entry `index`, other than `index` itself.
int NearestOtherEntry(const std::array<std::uint8_t, kPcxPaletteSize>& palette, int index);

}  // namespace vexo::skin
