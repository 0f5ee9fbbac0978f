#include "standalone/pictures/tga_writer.h"

#include <vector>

#include "base/whole_file_writer.h"

namespace vexo {

void WriteTga(const std::filesystem::path& path, const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0 || image.width > 0xFFFF || image.height > 0xFFFF) {
    throw PictureError("cannot write " + path.string() +
                       ": a TGA picture holds 1 to 65535 pixels a side, not " +
                       std::to_string(image.width) + " x " + std::to_string(image.height));
  }
  WholeFileWriter file(path.string());
  if (!file.opened()) throw PictureError("cannot create " + file.temporaryPath());

  LittleEndianWriter& out = file.out();
  out.U8(0);   // no image id
  out.U8(0);   // no colour map
  out.U8(2);   // uncompressed true colour
  out.Zeros(5);  // colour-map fields: no colour map
  out.U16(0);  // x origin
  out.U16(0);  // y origin
  out.U16(static_cast<std::uint16_t>(image.width));
  out.U16(static_cast<std::uint16_t>(image.height));
  out.U8(24);
  out.U8(0);  // bottom row first, no alpha bits
  std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width) * 3);
  for (int y = image.height - 1; y >= 0; --y) {
    const std::uint8_t* rgb = image.pixels.data() + static_cast<std::size_t>(y) * row.size();
    for (std::size_t x = 0; x < row.size(); x += 3) {
      row[x] = rgb[x + 2];
      row[x + 1] = rgb[x + 1];
      row[x + 2] = rgb[x];
    }
    out.Bytes(row.data(), row.size());
  }
  if (file.Finish() != WholeFileWriter::kWritten) throw PictureError("cannot write " + path.string());
}

}  // namespace vexo
