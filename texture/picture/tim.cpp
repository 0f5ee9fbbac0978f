// PlayStation TIM, read only: 4- and 8-bit pictures with or without a
// colour table. Colour entries are 15-bit (5 bits each of red, green,
// blue); a channel value v becomes v × 8, so the brightest is 248.
//
// Not read (the load fails and says why): 16- and 24-bit and mixed
// pictures. The identifier word is not checked, the semi-transparency bit
// of a colour is ignored, and of a table with several palettes (or more
// than 256 entries) only the first 256 entries are kept. The name and path
// of the record stay empty. Host release 3 has no TIM reader at all. Not
// written.
#include <cstdint>

#include "base/closing_file.h"
#include "base/little_endian_file.h"
#include "texture/picture/bitmap_image.h"
#include "texture/picture/picture_checks.h"

namespace {

constexpr std::uint32_t kModeMask = 0x7;
constexpr std::uint32_t kHasColourTable = 0x8;
constexpr std::uint32_t kBlockHeadSize = 12;  // length, x, y, width, height

}  // namespace

int BitmapImage::LoadTim(const char* filePath, const SidesToDecode& decode) {
  if constexpr (!release::kLoadsTim) {
    return FailLoad("TIM pictures are not read by this host release's build");
  }
  if (!BeginLoad(filePath, false)) return 0;
  ClosingFile file(filePath, "rb");
  if (!file.get()) return FailLoad("the file cannot be opened");
  LittleEndianReader in(file.get());

  in.U32();  // identifier
  const std::uint32_t flags = in.U32();
  if (!in.ok()) return FailLoad("it ends inside its header");
  const std::uint32_t mode = flags & kModeMask;
  if (mode != 0 && mode != 1)
    return FailLoad("TIM of mode %u is not read (modes 0 and 1, 4 and 8 bits, are)", unsigned(mode));
  const std::uint16_t depth = mode == 0 ? 4 : 8;

  if (flags & kHasColourTable) {
    const std::uint32_t length = in.U32();
    in.U16();  // x, y, width and height of the table in video memory
    in.U16();
    in.U16();
    in.U16();
    if (!in.ok()) return FailLoad("it ends inside its colour table");
    if (length < kBlockHeadSize)
      return FailLoad("its colour table block of %u bytes is shorter than the block's own head",
                      unsigned(length));
    const std::uint32_t tableBytes = length - kBlockHeadSize;
    const std::uint32_t entries = tableBytes / 2 < 256 ? tableBytes / 2 : 256;
    for (std::uint32_t i = 0; i < entries; ++i) {
      const std::uint16_t c = in.U16();
      palette[i].red = static_cast<std::uint8_t>((c & 0x1F) * 8);
      palette[i].green = static_cast<std::uint8_t>(((c >> 5) & 0x1F) * 8);
      palette[i].blue = static_cast<std::uint8_t>(((c >> 10) & 0x1F) * 8);
    }
    if (!picture_checks::Skip(in, tableBytes - 2 * entries))
      return FailLoad("it ends inside its colour table");
  }

  in.U32();  // block length
  in.U16();  // x and y in video memory
  in.U16();
  const std::int16_t widthUnits = in.I16();  // in 16-bit units
  const std::uint16_t height = in.U16();
  if (!in.ok()) return FailLoad("it ends inside its image block's head");
  const std::int64_t width = std::int64_t{widthUnits} * (depth == 4 ? 4 : 2);
  if (!picture_checks::ValidSides(width, height))
    return FailLoad("a TIM of %lld x %u pixels is not read (1 to %d a side)",
                    static_cast<long long>(width), unsigned(height), int(kMaxImageSide));
  const std::int64_t rowBytes = depth == 4 ? (width + 1) / 2 : width;
  if (static_cast<std::uint64_t>(rowBytes) * height > BytesLeft(file.get()))
    return FailLoad("it ends inside its pixels");
  if (!decode.Holds(width, height)) {
    KeepSizeOnly(width, height, depth);
    return 1;
  }
  if (!AllocatePixels(width, height, depth)) return FailLoad("no memory for its pixels");

  // The file holds the top row first; `pixels` the bottom row first. A
  // 4-bit TIM byte holds its first pixel in the low nibble, the record the
  // even pixel in the high one: the nibbles swap places.
  const std::int64_t stride = Stride();
  for (std::int64_t k = 0; k < height; ++k) {
    std::uint8_t* row = pixels + (height - 1 - k) * stride;
    if (!in.Bytes(row, static_cast<std::size_t>(rowBytes))) {
      return FailLoad("it ends inside its pixels");
    }
    if (depth == 4) {
      for (std::int64_t i = 0; i < rowBytes; ++i)
        row[i] = static_cast<std::uint8_t>((row[i] << 4) | (row[i] >> 4));
    }
  }
  return 1;
}
