#include "texture/pcx_run_encoder.h"

namespace {
constexpr int kLongestRun = 63;
constexpr std::uint8_t kRunMark = 0xC0;
}  // namespace

int PutPcxRun(std::uint8_t value, int length, LittleEndianWriter& out) {
  if (length <= 0 || length > kLongestRun) return 0;
  int written;
  if (length == 1 && (value & kRunMark) != kRunMark) {
    out.U8(value);
    written = 1;
  } else {
    out.U8(static_cast<std::uint8_t>(kRunMark | length));
    out.U8(value);
    written = 2;
  }
  return out.ok() ? written : 0;
}

int EncodePcxRow(const std::uint8_t* row, int length, LittleEndianWriter& out) {
  if (length <= 0) return 0;
  int total = 0;
  std::uint8_t value = row[0];
  int run = 1;
  for (int i = 1; i < length; ++i) {
    if (row[i] == value) {
      if (++run == kLongestRun) {
        total += PutPcxRun(value, run, out);
        run = 0;
      }
    } else {
      if (run != 0) total += PutPcxRun(value, run, out);
      value = row[i];
      run = 1;
    }
    if (!out.ok()) return 0;
  }
  if (run != 0) total += PutPcxRun(value, run, out);
  return out.ok() ? total : 0;
}
