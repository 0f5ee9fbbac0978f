// Windows BMP reader: uncompressed 4-, 8- and 24-bit pictures stored bottom
// row first, with a Windows info header of 40, 52, 56, 108 or 124 bytes.
//
// Not supported (the load fails): the 12-byte OS/2 header and other header
// sizes, any compression (RLE4, RLE8, bit fields, JPEG, PNG), depths 1, 16
// and 32, and top-down pictures (negative height). Colour spaces and
// profiles of the larger headers are ignored.
#include <cstdint>

#include "base/closing_file.h"
#include "base/little_endian_file.h"
#include "texture/bitmap_image.h"
#include "texture/image_file.h"

namespace {

constexpr std::uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB

bool KnownInfoHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

int BitmapImage::LoadBmp(const char* filePath) {
  if (!BeginLoad(filePath, true)) return FailLoad();
  ClosingFile file(filePath, "rb");
  if (!file.get()) return FailLoad();
  LittleEndianReader in(file.get());

  const std::uint16_t magic = in.U16();
  in.U32();  // file size: not needed, the reads are checked
  in.U32();  // two reserved words
  const std::uint32_t pixelOffset = in.U32();
  if (!in.ok() || magic != kBmpMagic) return FailLoad();

  info.size = in.U32();
  info.width = in.I32();
  info.height = in.I32();
  info.planes = in.U16();
  info.bitsPerPixel = in.U16();
  info.compression = in.U32();
  info.imageSize = in.U32();
  info.xPelsPerMeter = in.I32();
  info.yPelsPerMeter = in.I32();
  info.coloursUsed = in.U32();
  info.coloursImportant = in.U32();
  if (!in.ok() || !KnownInfoHeaderSize(info.size)) return FailLoad();
  // The larger headers add masks and colour-space fields behind the first 40 bytes.
  if (!image_file::Skip(in, info.size - 40)) return FailLoad();

  if (info.compression != kUncompressed) return FailLoad();
  const std::uint16_t depth = info.bitsPerPixel;
  if (depth != 4 && depth != 8 && depth != 24) return FailLoad();
  if (!image_file::ValidSides(info.width, info.height)) return FailLoad();

  if (info.coloursUsed == 0) {
    if (depth == 8) info.coloursUsed = 256;
    if (depth == 4) info.coloursUsed = 16;
  }
  // The palette sits between the headers and the pixel data; entries past
  // the 256 slots are skipped.
  const std::uint32_t headersEnd = kFileHeaderSize + info.size;
  if (pixelOffset < headersEnd) return FailLoad();
  std::uint32_t entries = info.coloursUsed < 256 ? info.coloursUsed : 256;
  if (entries > (pixelOffset - headersEnd) / 4) entries = (pixelOffset - headersEnd) / 4;
  for (std::uint32_t i = 0; i < entries; ++i) {
    palette[i].blue = in.U8();
    palette[i].green = in.U8();
    palette[i].red = in.U8();
    palette[i].reserved = in.U8();
  }
  info.coloursUsed = entries;
  if (!image_file::Skip(in, pixelOffset - headersEnd - 4 * entries)) return FailLoad();

  const std::uint64_t bytes = image_file::PixelBytes(info.width, info.height, depth);
  // A header that promises more than the file holds fails before allocating.
  if (bytes > BytesLeft(file.get())) return FailLoad();
  if (!AllocatePixels(info.width, info.height, depth)) return FailLoad();
  // Rows keep the file's order (bottom row first) and padding.
  if (!in.Bytes(pixels, bytes)) return FailLoad();
  return 1;
}
