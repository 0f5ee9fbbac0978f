#include "standalone/import/tga_writer.h"

#include <cstdio>
#include <system_error>
#include <vector>

#include "plugin/little_endian_file.h"
#include "standalone/import/import_options.h"

namespace vexo {

void WriteTga(const std::filesystem::path& path, const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0 || image.width > 0xFFFF || image.height > 0xFFFF) {
    throw ImportError("cannot write " + path.string() + ": a TGA picture holds 1 to 65535 pixels a side, not " +
                      std::to_string(image.width) + " x " + std::to_string(image.height));
  }
  std::filesystem::path temporary = path;
  temporary += ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) throw ImportError("cannot create " + temporary.string());

  LittleEndianWriter out(file);
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
  const bool written = out.ok() && std::fclose(file) == 0;
  if (!written) {
    if (!out.ok()) std::fclose(file);
    std::remove(temporary.c_str());
    throw ImportError("cannot write " + path.string());
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::remove(temporary.c_str());
    throw ImportError("cannot write " + path.string() + ": " + error.message());
  }
}

}  // namespace vexo
