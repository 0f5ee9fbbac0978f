// PlayStation TIM: only the header is read here. The plug-in reads 4- and
// 8-bit TIM pictures itself, and no library that vexo trusts decodes them,
// so a TIM picture is handed over as it is or not at all.
#include "standalone/pictures/picture_limits.h"
#include "standalone/pictures/picture_readers.h"

namespace vexo::readers {
namespace {

std::uint32_t U16(const std::uint8_t* at) { return static_cast<std::uint32_t>(at[0] | at[1] << 8); }
std::uint32_t U32(const std::uint8_t* at) { return U16(at) | U16(at + 2) << 16; }

}  // namespace

Size TimSize(const std::uint8_t* bytes, std::size_t size) {
  if (size < 8) throw PictureError("damaged TIM picture: the file ends early");
  const std::uint32_t flags = U32(bytes + 4), mode = flags & 7;
  if (mode > 1) {
    throw PictureError("a TIM picture of 16 or 24 bits a pixel: vexo takes 4- and 8-bit ones");
  }
  std::size_t at = 8;
  if (flags & 8) {  // a colour table block before the picture
    if (size - at < 12 || U32(bytes + at) < 12 || U32(bytes + at) > size - at) {
      throw PictureError("damaged TIM picture: its colour table does not fit the file");
    }
    at += U32(bytes + at);
  }
  if (size - at < 12) throw PictureError("damaged TIM picture: the file ends early");
  const int units = static_cast<std::int16_t>(U16(bytes + at + 8));
  return Size{units * (mode == 0 ? 4 : 2), static_cast<int>(U16(bytes + at + 10)), kMaxWholePixels};
}

RgbImage DecodeTim(const std::uint8_t*, std::size_t, int, int) {
  throw PictureError("vexo does not convert or scale TIM pictures; the plug-in reads 4- and "
                     "8-bit ones as they are");
}

}  // namespace vexo::readers
