#include <cstdint>

#include "base/file_names.h"
#include "base/whole_file_writer.h"
#include "plugin/export_utility.h"

int ExportUtility::WriteSkinBmp(const char* skinName) {
  if (skinWidth < 0 || skinHeight < 0) return 0;
  const std::int64_t rgbRow = 3 * static_cast<std::int64_t>(skinWidth);
  // Rows of a BMP file are padded to 4 bytes; a skin width that is a
  // multiple of 4 needs none.
  const std::int64_t rowLength = (rgbRow + 3) & ~std::int64_t{3};
  const std::int64_t fileSize = 54 + rowLength * skinHeight;
  if (fileSize > 0xFFFFFFFFll) return 0;
  if (rgbRow > 0 && skinHeight > 0 && !skinRgb) return 0;
  WholeFileWriter file(NameWithExtension(skinName ? skinName : "", ".bmp"));
  if (!file.opened()) return 0;
  LittleEndianWriter& out = file.out();
  // File header.
  out.Bytes("BM", 2);
  out.U32(static_cast<std::uint32_t>(fileSize));
  out.U16(0);
  out.U16(0);
  out.U32(54);  // pixel data offset
  // BITMAPINFOHEADER.
  out.U32(40);
  out.I32(skinWidth);
  out.I32(skinHeight);  // positive: bottom row first
  out.U16(1);   // planes
  out.U16(24);  // bits per pixel
  out.U32(0);   // compression
  out.U32(0);   // image size
  out.I32(0);   // horizontal pixels per metre
  out.I32(0);   // vertical pixels per metre
  out.U32(0);   // colours used
  out.U32(0);   // colours important
  // Row 0 of the skin is the top row of the picture, so it is stored last.
  for (std::int64_t row = skinHeight - 1; row >= 0 && out.ok(); --row) {
    out.Bytes(skinRgb + row * rgbRow, static_cast<std::size_t>(rgbRow));
    out.Zeros(static_cast<std::size_t>(rowLength - rgbRow));
  }
  return file.Finish() == WholeFileWriter::kWritten ? 1 : 0;
}
