#include "standalone/skin/pcx_picture.h"

#include <cstring>

#include "base/little_endian.h"
#include "base/whole_file_reader.h"
#include "base/whole_file_writer.h"
#include "texture/picture/pcx.h"

namespace vexo::skin {
namespace {

void Decode(const std::vector<std::uint8_t>& bytes, PcxPicture& p) {
  if (p.manufacturer != 10 || p.encoding != 1 || p.bitsPerPixel != 8 || p.planes != 1) {
    p.notDecoded = "not an 8-bit, one-plane, run-length PCX picture";
    return;
  }
  if (p.width() <= 0 || p.height() <= 0 || p.bytesPerLine < p.width()) {
    p.notDecoded = "its size " + std::to_string(p.width()) + " x " + std::to_string(p.height()) +
                   " with " + std::to_string(p.bytesPerLine) + " bytes a row is no picture";
    return;
  }
  if (bytes.size() < std::size_t(kPcxHeaderSize + kPcxPaletteSize)) {
    p.notDecoded = "it is too short to hold a 256-colour palette";
    return;
  }
  // The palette is the file's last 768 bytes, as the game's loader takes it.
  const std::size_t paletteAt = bytes.size() - kPcxPaletteSize;
  std::copy(bytes.begin() + paletteAt, bytes.end(), p.palette.begin());
  p.paletteMarked = bytes[paletteAt - 1] == 12;

  // A run of two bytes holds at most 63 pixels: a picture larger than its
  // data can hold is refused before anything is allocated for it.
  const std::size_t needed = std::size_t(p.bytesPerLine) * p.height();
  const std::size_t dataBytes = paletteAt - kPcxHeaderSize;
  if (needed / 63 > dataBytes / 2 + 1) {
    p.notDecoded = "its " + std::to_string(dataBytes) + " bytes of picture data cannot hold " +
                   std::to_string(p.width()) + " x " + std::to_string(p.height()) + " pixels";
    return;
  }
  // Every code writes the longest run of its value, whatever its own
  // length, into slack behind the picture, so that decoding does not branch
  // on the length; what a shorter run writes too far, the next codes
  // overwrite.
  constexpr std::size_t kLongestRun = 63;
  p.rows.resize(needed + kLongestRun);
  std::uint8_t* const out = p.rows.data();
  const std::size_t bytesPerLine = std::size_t(p.bytesPerLine);
  std::size_t filled = 0;
  std::size_t rowLeft = bytesPerLine;  // bytes until the end of the current row
  std::size_t at = kPcxHeaderSize;
  while (filled < needed) {
    if (at >= paletteAt) {
      p.notDecoded = "its picture data ends after " + std::to_string(filled) + " of " +
                     std::to_string(needed) + " bytes";
      p.rows.clear();
      return;
    }
    const std::uint8_t code = bytes[at++];
    const bool counted = (code & 0xC0) == 0xC0;
    if (counted && at >= paletteAt) continue;  // reported above on the next turn
    std::size_t run = counted ? code & 0x3F : 1;
    const std::uint8_t value = counted ? bytes[at] : code;  // bytes[at] is at most the palette
    at += counted;
    if (run > rowLeft) p.runCrossesRow = true;
    if (run > needed - filled) run = needed - filled;
    std::memset(out + filled, value, kLongestRun);
    filled += run;
    rowLeft = run < rowLeft ? rowLeft - run : bytesPerLine - (run - rowLeft) % bytesPerLine;
  }
  p.rows.resize(needed);
  p.decoded = true;
}

}  // namespace

std::vector<std::uint8_t> PcxPicture::Indices() const {
  std::vector<std::uint8_t> indices;
  indices.reserve(std::size_t(width()) * height());
  for (int y = 0; y < height(); ++y)
    indices.insert(indices.end(), rows.begin() + std::ptrdiff_t(y) * bytesPerLine,
                   rows.begin() + std::ptrdiff_t(y) * bytesPerLine + width());
  return indices;
}

PcxPicture MakePcx(int width, int height, const std::array<std::uint8_t, kPcxPaletteSize>& palette,
                   std::uint8_t fill) {
  PcxPicture p;
  p.manufacturer = 10;
  p.version = 5;
  p.encoding = 1;
  p.bitsPerPixel = 8;
  p.planes = 1;
  p.xMax = width - 1;
  p.yMax = height - 1;
  p.bytesPerLine = width;
  auto put16 = [&p](int at, int value) {
    p.header[at] = std::uint8_t(value);
    p.header[at + 1] = std::uint8_t(value >> 8);
  };
  p.header[0] = 10;
  p.header[1] = 5;
  p.header[2] = 1;
  p.header[3] = 8;
  put16(8, p.xMax);
  put16(10, p.yMax);
  put16(12, 300);  // resolution
  put16(14, 300);
  p.header[65] = 1;
  put16(66, p.bytesPerLine);
  put16(68, 1);  // palette type
  p.decoded = true;
  p.paletteMarked = true;
  p.rows.assign(std::size_t(width) * height, fill);
  p.palette = palette;
  return p;
}

PcxPicture ReadPcx(const std::vector<std::uint8_t>& bytes, const std::string& path) {
  if (bytes.size() < std::size_t(kPcxHeaderSize))
    throw PcxError(path + " is " + std::to_string(bytes.size()) +
                   " bytes long, too short for the 128-byte header of a PCX picture");
  PcxPicture p;
  std::copy(bytes.begin(), bytes.begin() + kPcxHeaderSize, p.header.begin());
  p.manufacturer = bytes[0];
  p.version = bytes[1];
  p.encoding = bytes[2];
  p.bitsPerPixel = bytes[3];
  p.xMin = ReadU16LE(&bytes[4]);
  p.yMin = ReadU16LE(&bytes[6]);
  p.xMax = ReadU16LE(&bytes[8]);
  p.yMax = ReadU16LE(&bytes[10]);
  p.planes = bytes[65];
  p.bytesPerLine = ReadU16LE(&bytes[66]);
  Decode(bytes, p);
  return p;
}

PcxPicture ReadPcx(const std::string& path) {
  // The game's skins are at most 640 x 480 (a few hundred KiB); a larger
  // file is refused before it is read.
  constexpr std::uint64_t kMaxPcxFileBytes = std::uint64_t(64) << 20;
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(path, bytes, error, kMaxPcxFileBytes)) throw PcxError(error);
  return ReadPcx(bytes, path);
}

void WritePcx(const std::string& path, const PcxPicture& p) {
  if (!p.decoded) throw PcxError(path + ": only a decoded picture can be written back");
  WholeFileWriter file(path);
  LittleEndianWriter& out = file.out();
  out.Bytes(p.header.data(), p.header.size());
  for (int y = 0; y < p.height(); ++y)
    EncodePcxRow(&p.rows[std::size_t(y) * p.bytesPerLine], p.bytesPerLine, out);
  out.U8(12);
  out.Bytes(p.palette.data(), p.palette.size());
  if (file.Finish() != WholeFileWriter::kWritten) throw PcxError("cannot write " + path);
}

int NearestEntry(const std::array<std::uint8_t, kPcxPaletteSize>& palette,
                 const std::array<std::uint8_t, 3>& c, int skip) {
  int best = skip == 0 ? 1 : 0;
  long bestDistance = -1;
  for (int i = 0; i < 256; ++i) {
    if (i == skip) continue;
    const std::uint8_t* e = &palette[3 * std::size_t(i)];
    const long d = long(c[0] - e[0]) * (c[0] - e[0]) + long(c[1] - e[1]) * (c[1] - e[1]) +
                   long(c[2] - e[2]) * (c[2] - e[2]);
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

int NearestOtherEntry(const std::array<std::uint8_t, kPcxPaletteSize>& palette, int index) {
  const std::uint8_t* c = &palette[3 * std::size_t(index)];
  return NearestEntry(palette, {c[0], c[1], c[2]}, index);
}

}  // namespace vexo::skin
