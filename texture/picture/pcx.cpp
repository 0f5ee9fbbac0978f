// 8-bit PCX, written only: one plane of 8-bit indices, run-length coded, with
// the 256-colour palette at the end.
//
// Not written: other depths and plane counts, 16-colour header palettes,
// runs that cross a row's end. Not read (the game reads the skins; vexo
// reads them back for its preview on its own).
#include "texture/picture/pcx.h"

#include "base/whole_file_writer.h"

namespace {
constexpr int kLongestRun = 63;
constexpr std::uint8_t kRunMark = 0xC0;
}  // namespace

namespace {

// The single byte or the pair of one run; 0 for a length outside 1..63.
template <typename Output>
int PutRun(std::uint8_t value, int length, Output& out) {
  if (length <= 0 || length > kLongestRun) return 0;
  if (length == 1 && (value & kRunMark) != kRunMark) {
    out.U8(value);
    return 1;
  }
  out.U8(static_cast<std::uint8_t>(kRunMark | length));
  out.U8(value);
  return 2;
}

}  // namespace

int PutPcxRun(std::uint8_t value, int length, LittleEndianWriter& out) {
  const int written = PutRun(value, length, out);
  return out.ok() ? written : 0;
}

int EncodePcxRow(const std::uint8_t* row, int length, LittleEndianWriter& out) {
  if (length <= 0) return 0;
  int total = 0;
  {
    // A skin of varied colours has a run for nearly every pixel: the runs
    // reach the stream a block at a time, not a call for each.
    LittleEndianBlock block(out);
    std::uint8_t value = row[0];
    int run = 1;
    for (int i = 1; i < length; ++i) {
      if (row[i] == value) {
        if (++run == kLongestRun) {
          total += PutRun(value, run, block);
          run = 0;
        }
      } else {
        if (run != 0) total += PutRun(value, run, block);
        value = row[i];
        run = 1;
      }
    }
    if (run != 0) total += PutRun(value, run, block);
  }
  return out.ok() ? total : 0;
}

namespace {

// The 128-byte header of an 8-bit, run-length coded, one-plane picture.
void WritePcxHeader(LittleEndianWriter& out, std::int32_t width, std::int32_t height) {
  out.U8(10);  // manufacturer
  out.U8(5);   // version
  out.U8(1);   // run-length encoding
  out.U8(8);   // bits per pixel
  out.U16(0);  // x minimum
  out.U16(0);  // y minimum
  // An empty picture gives 0xFFFF, -1 in 16 bits.
  out.U16(static_cast<std::uint16_t>(width - 1));   // x maximum
  out.U16(static_cast<std::uint16_t>(height - 1));  // y maximum
  out.U16(300);  // horizontal resolution
  out.U16(300);  // vertical resolution
  out.Zeros(48);  // 16-colour palette
  out.U8(0);      // reserved
  out.U8(1);      // colour planes
  out.U16(static_cast<std::uint16_t>(width));  // bytes per line
  out.U16(1);     // palette type
  out.Zeros(58);  // filler
}

}  // namespace

int WritePcx8(const std::string& path, const std::uint8_t* indices, std::int32_t width,
              std::int32_t height, const PcxPalette& palette) {
  if (width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF) return 0;
  if (width > 0 && height > 0 && !indices) return 0;
  WholeFileWriter file(path);
  if (!file.opened()) return 0;
  LittleEndianWriter& out = file.out();
  WritePcxHeader(out, width, height);
  for (std::int32_t row = 0; row < height && out.ok(); ++row) {
    EncodePcxRow(indices + static_cast<std::size_t>(row) * width, width, out);
  }
  out.U8(12);  // the 256-colour palette follows
  out.Bytes(palette, sizeof palette);
  return file.Finish() == WholeFileWriter::kWritten ? 1 : 0;
}
