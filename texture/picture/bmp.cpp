// Windows BMP. Read: uncompressed 4-, 8- and 24-bit pictures stored bottom
// row first, with a Windows info header of 40, 52, 56, 108 or 124 bytes.
// Written: 24-bit pictures with the 40-byte header.
//
// Not read (the load fails and says why): the 12-byte OS/2 header and other
// header sizes, any compression (RLE4, RLE8, bit fields, JPEG, PNG), depths
// 1, 16 and 32, and top-down pictures (negative height). Colour spaces and
// profiles of the larger headers are ignored. Not written: any depth but
// 24, and files of 4 GiB or more.
#include "texture/picture/bmp.h"

#include <cstdint>

#include "base/closing_file.h"
#include "base/little_endian_file.h"
#include "base/whole_file_writer.h"
#include "texture/picture/bitmap_image.h"
#include "texture/picture/picture_checks.h"

namespace {

constexpr std::uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB

bool KnownInfoHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

int BitmapImage::LoadBmp(const char* filePath, const SidesToDecode& decode) {
  if (!BeginLoad(filePath, true)) return 0;
  ClosingFile file(filePath, "rb");
  if (!file.get()) return FailLoad("the file cannot be opened");
  LittleEndianReader in(file.get());

  const std::uint16_t magic = in.U16();
  in.U32();  // file size: not needed, the reads are checked
  in.U32();  // two reserved words
  const std::uint32_t pixelOffset = in.U32();
  if (!in.ok()) return FailLoad("it ends inside its headers");
  if (magic != kBmpMagic) return FailLoad("it is not a BMP picture (it does not start with \"BM\")");

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
  if (!in.ok()) return FailLoad("it ends inside its headers");
  if (!KnownInfoHeaderSize(info.size))
    return FailLoad("a BMP info header of %u bytes is not read", unsigned(info.size));
  // The larger headers add masks and colour-space fields behind the first 40 bytes.
  if (!picture_checks::Skip(in, info.size - 40)) return FailLoad("it ends inside its headers");

  if (info.compression != kUncompressed) return FailLoad("compressed BMP is not read");
  const std::uint16_t depth = info.bitsPerPixel;
  if (depth != 4 && depth != 8 && depth != 24)
    return FailLoad("%u-bit BMP is not read (4, 8 and 24 bits are)", unsigned(depth));
  if (info.height < 0) return FailLoad("top-down BMP (negative height) is not read");
  if (!picture_checks::ValidSides(info.width, info.height))
    return FailLoad("a BMP of %d x %d pixels is not read (1 to %d a side)", int(info.width),
                    int(info.height), int(kMaxImageSide));

  if (info.coloursUsed == 0) {
    if (depth == 8) info.coloursUsed = 256;
    if (depth == 4) info.coloursUsed = 16;
  }
  // The palette sits between the headers and the pixel data; entries past
  // the 256 slots are skipped.
  const std::uint32_t headersEnd = kFileHeaderSize + info.size;
  if (pixelOffset < headersEnd) return FailLoad("its pixels would start inside its headers");
  std::uint32_t entries = info.coloursUsed < 256 ? info.coloursUsed : 256;
  if (entries > (pixelOffset - headersEnd) / 4) entries = (pixelOffset - headersEnd) / 4;
  for (std::uint32_t i = 0; i < entries; ++i) {
    palette[i].blue = in.U8();
    palette[i].green = in.U8();
    palette[i].red = in.U8();
    palette[i].reserved = in.U8();
  }
  info.coloursUsed = entries;
  if (!picture_checks::Skip(in, pixelOffset - headersEnd - 4 * entries))
    return FailLoad("it ends before its pixels");

  const std::uint64_t bytes = picture_checks::PixelBytes(info.width, info.height, depth);
  // A header that promises more than the file holds fails before allocating.
  if (bytes > BytesLeft(file.get())) return FailLoad("it ends inside its pixels");
  if (!decode.Holds(info.width, info.height)) {
    KeepSizeOnly(info.width, info.height, depth);
    return 1;
  }
  if (!AllocatePixels(info.width, info.height, depth)) return FailLoad("no memory for its pixels");
  // Rows keep the file's order (bottom row first) and padding.
  if (!in.Bytes(pixels, bytes)) return FailLoad("it ends inside its pixels");
  return 1;
}

int WriteBmp24(const std::string& path, const std::uint8_t* bgrRows, std::int32_t width,
               std::int32_t height) {
  if (width < 0 || height < 0) return 0;
  const std::int64_t rgbRow = 3 * static_cast<std::int64_t>(width);
  // Rows of a BMP file are padded to 4 bytes; a width that is a multiple of
  // 4 needs none.
  const std::int64_t rowLength = (rgbRow + 3) & ~std::int64_t{3};
  const std::int64_t fileSize = kFileHeaderSize + 40 + rowLength * height;
  if (fileSize > 0xFFFFFFFFll) return 0;
  if (rgbRow > 0 && height > 0 && !bgrRows) return 0;
  WholeFileWriter file(path);
  if (!file.opened()) return 0;
  LittleEndianWriter& out = file.out();
  // File header.
  out.Bytes("BM", 2);
  out.U32(static_cast<std::uint32_t>(fileSize));
  out.U16(0);
  out.U16(0);
  out.U32(kFileHeaderSize + 40);  // pixel data offset
  // BITMAPINFOHEADER.
  out.U32(40);
  out.I32(width);
  out.I32(height);  // positive: bottom row first
  out.U16(1);   // planes
  out.U16(24);  // bits per pixel
  out.U32(kUncompressed);
  out.U32(0);  // image size
  out.I32(0);  // horizontal pixels per metre
  out.I32(0);  // vertical pixels per metre
  out.U32(0);  // colours used
  out.U32(0);  // colours important
  // The top row comes first in memory, so it is stored last.
  for (std::int64_t row = height - 1; row >= 0 && out.ok(); --row) {
    out.Bytes(bgrRows + row * rgbRow, static_cast<std::size_t>(rgbRow));
    out.Zeros(static_cast<std::size_t>(rowLength - rgbRow));
  }
  return file.Finish() == WholeFileWriter::kWritten ? 1 : 0;
}
