#include <cstdint>

#include "base/file_names.h"
#include "base/whole_file_writer.h"
#include "plugin/export_utility.h"
#include "texture/pcx_run_encoder.h"
#include "texture/skin_palette.h"

namespace {

// The 128-byte header of an 8-bit, run-length coded, one-plane picture.
void WritePcxHeader(LittleEndianWriter& out, std::int32_t width, std::int32_t height) {
  out.U8(10);  // manufacturer
  out.U8(5);   // version
  out.U8(1);   // run-length encoding
  out.U8(8);   // bits per pixel
  out.U16(0);  // x minimum
  out.U16(0);  // y minimum
  // An empty skin gives 0xFFFF, -1 in 16 bits.
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

int ExportUtility::WriteSkinPcx(const char* skinName) {
  if (skinWidth < 0 || skinHeight < 0 || skinWidth > 0xFFFF || skinHeight > 0xFFFF) return 0;
  if (skinWidth > 0 && skinHeight > 0 && !skinIndices) return 0;
  WholeFileWriter file(NameWithExtension(skinName ? skinName : "", ".pcx"));
  if (!file.opened()) return 0;
  LittleEndianWriter& out = file.out();
  WritePcxHeader(out, skinWidth, skinHeight);
  for (std::int32_t row = 0; row < skinHeight && out.ok(); ++row) {
    EncodePcxRow(skinIndices + static_cast<std::size_t>(row) * skinWidth, skinWidth, out);
  }
  out.U8(12);  // the 256-colour palette follows
  for (const SkinPaletteEntry& entry : SkinPalette) {
    out.U8(entry.red);
    out.U8(entry.green);
    out.U8(entry.blue);
  }
  return file.Finish() == WholeFileWriter::kWritten ? 1 : 0;
}
