// 8-bit PCX, written only: one plane of 8-bit indices, run-length coded, with
// the 256-colour palette at the end.
//
// Not written: other depths and plane counts, 16-colour header palettes,
// runs that cross a row's end. Not read (the game reads the skins; vexo
// reads them back for its preview on its own).
#include "texture/picture/pcx.h"

#include "base/whole_file_writer.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {
constexpr int kLongestRun = 63;
constexpr std::uint8_t kRunMark = 0xC0;
}  // namespace

int PutPcxRun(std::uint8_t value, int length, LittleEndianWriter& out) {
  if (length <= 0 || length > kLongestRun) return 0;
  int written = 2;
  if (length == 1 && (value & kRunMark) != kRunMark) {
    written = 1;
  } else {
    out.U8(static_cast<std::uint8_t>(kRunMark | length));
  }
  out.U8(value);
  return out.ok() ? written : 0;
}

namespace {

// The length of the run of equal pixels from `at` on, at most 63: for runs
// longer than 16 and the last pixels of a row.
int RunFrom(const std::uint8_t* row, int at, int length) {
  int run = 0;
#ifdef __SSE2__
  // Sixteen pixels compared with the first at a time.
  const __m128i value = _mm_set1_epi8(static_cast<char>(row[at]));
  while (run < kLongestRun && at + run + 16 <= length) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at + run));
    const int same = _mm_movemask_epi8(_mm_cmpeq_epi8(pixels, value));
    if (same != 0xFFFF) {
      run += __builtin_ctz(~static_cast<unsigned>(same));
      return run < kLongestRun ? run : kLongestRun;
    }
    run += 16;
  }
  if (run >= kLongestRun) return kLongestRun;
#endif
  while (run < kLongestRun && at + run < length && row[at + run] == row[at]) ++run;
  return run;
}

}  // namespace

int EncodePcxRow(const std::uint8_t* row, int length, LittleEndianWriter& out) {
  if (length <= 0) return 0;
  // A skin of varied colours has a run for nearly every pixel or two: the
  // runs are gathered here and reach the stream a block at a time.
  std::uint8_t bytes[4096];
  std::size_t used = 0;
  int total = 0;
  int i = 0;
  while (i < length) {
    if (used > sizeof bytes - 2) {
      out.Bytes(bytes, used);
      total += static_cast<int>(used);
      used = 0;
    }
    int run;
#ifdef __SSE2__
    if (i + 16 < length) {
      // Where the pixels from i on first differ from their next neighbour:
      // a run of up to 16 found without a branch on each pixel.
      const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i + 1));
      const unsigned equal = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, next)));
      run = __builtin_ctz(~equal) + 1;
      if (run > 16) run = RunFrom(row, i, length);
    } else
#endif
    {
      run = RunFrom(row, i, length);
    }
    // Written without a branch: the byte itself, or the run's mark before
    // it (a byte of 0xC0 or more needs the mark of a run of 1); the byte is
    // written second in both cases and the first overwritten when unneeded.
    // (A mask selects the first byte: the compiler would branch on `?:`.)
    const unsigned value = row[i];
    const unsigned marked = static_cast<unsigned>(run > 1) | static_cast<unsigned>(value >= kRunMark);
    const unsigned first = value ^ ((value ^ (kRunMark | static_cast<unsigned>(run))) & (0u - marked));
    bytes[used] = static_cast<std::uint8_t>(first);
    bytes[used + 1] = static_cast<std::uint8_t>(value);
    used += 1 + marked;
    i += run;
  }
  out.Bytes(bytes, used);
  total += static_cast<int>(used);
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
