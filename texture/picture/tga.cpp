// Truevision TGA, read only: colour-mapped (types 1 and 9), true-colour (2
// and 10) and grey (3 and 11) pictures of 8, 24 or 32 bits per pixel, raw
// or run-length encoded, with either the bottom or the top row first and
// either the left or the right column first.
//
// Not read (the load fails and says why): other image types, colour maps
// whose entries are not 24 bits, and pixel depths other than 8, 24 and 32.
// Ignored: interleaving, and the developer and extension areas. A colour-mapped picture without a map reads black; a
// grey picture reads through a grey-ramp palette. Not written (the skin
// writers write BMP and PCX).
#include <cstdint>
#include <cstring>
#include <new>

#include "base/closing_file.h"
#include "base/little_endian_file.h"
#include "texture/picture/bitmap_image.h"
#include "texture/picture/picture_checks.h"

namespace {

constexpr std::uint8_t kRightOrigin = 0x10;  // image descriptor bit 4
constexpr std::uint8_t kTopOrigin = 0x20;    // image descriptor bit 5

// Run-length packets: a head byte whose top bit marks a run of one repeated
// pixel and whose low seven bits are the pixel count minus one. A packet may
// run on into the next row.
class RlePixels {
 public:
  RlePixels(LittleEndianReader& in, int bytesPerPixel) : in_(in), bytesPerPixel_(bytesPerPixel) {}

  // The next `count` pixels into `out`; a null `out` only walks past them.
  bool Read(std::uint8_t* out, std::int64_t count) {
    while (count > 0 && in_.ok()) {
      if (left_ == 0) {
        const std::uint8_t head = in_.U8();
        repeat_ = (head & 0x80) != 0;
        left_ = (head & 0x7F) + 1;
        if (repeat_) in_.Bytes(pixel_, bytesPerPixel_);
      }
      const std::int64_t n = left_ < count ? left_ : count;
      const std::size_t bytes = static_cast<std::size_t>(n * bytesPerPixel_);
      if (!out) {
        if (!repeat_) in_.Bytes(skipped_, bytes);
      } else if (repeat_) {
        for (std::int64_t i = 0; i < n; ++i) std::memcpy(out + i * bytesPerPixel_, pixel_, bytesPerPixel_);
      } else {
        in_.Bytes(out, bytes);
      }
      if (out) out += bytes;
      count -= n;
      left_ -= static_cast<int>(n);
    }
    return in_.ok();
  }

 private:
  LittleEndianReader& in_;
  int bytesPerPixel_;
  int left_ = 0;
  bool repeat_ = false;
  std::uint8_t pixel_[4] = {};
  std::uint8_t skipped_[128 * 4];  // one raw packet at most
};

// One file row of `width` pixels, freed on every return.
struct RowBuffer {
  explicit RowBuffer(std::size_t size) : bytes(new (std::nothrow) std::uint8_t[size]) {}
  ~RowBuffer() { delete[] bytes; }
  RowBuffer(const RowBuffer&) = delete;
  RowBuffer& operator=(const RowBuffer&) = delete;
  std::uint8_t* bytes;
};

}  // namespace

int BitmapImage::LoadTga(const char* filePath, const SidesToDecode& decode) {
  if (!BeginLoad(filePath, true)) return 0;
  ClosingFile file(filePath, "rb");
  if (!file.get()) return FailLoad("the file cannot be opened");
  LittleEndianReader in(file.get());

  const std::uint8_t idLength = in.U8();
  const std::uint8_t mapType = in.U8();
  const std::uint8_t imageType = in.U8();
  const std::uint16_t mapFirst = in.U16();
  const std::uint16_t mapLength = in.U16();
  const std::uint8_t mapEntryBits = in.U8();
  in.U16();  // x origin
  in.U16();  // y origin
  const std::uint16_t width = in.U16();
  const std::uint16_t height = in.U16();
  const std::uint8_t depth = in.U8();
  const std::uint8_t descriptor = in.U8();
  if (!in.ok()) return FailLoad("it ends inside its header");

  const bool runLength = imageType == 9 || imageType == 10 || imageType == 11;
  const bool grey = imageType == 3 || imageType == 11;
  if (!runLength && imageType != 1 && imageType != 2 && imageType != 3)
    return FailLoad("TGA type %u is not read (1, 2, 3, 9, 10 and 11 are)", unsigned(imageType));
  if (mapType > 1) return FailLoad("TGA colour-map type %u is not read", unsigned(mapType));
  if (depth != 8 && depth != 24 && depth != 32)
    return FailLoad("TGA type %u with %u-bit pixels is not read (8, 24 and 32 bits are)",
                    unsigned(imageType), unsigned(depth));
  if (!picture_checks::ValidSides(width, height))
    return FailLoad("a TGA of %u x %u pixels is not read (1 to %d a side)", unsigned(width),
                    unsigned(height), int(kMaxImageSide));
  if (!picture_checks::Skip(in, idLength)) return FailLoad("it ends inside its image identifier");

  // The colour map is present only when the map type says so. Entry k of
  // the map is colour index mapFirst + k; indices past 255 are read and dropped.
  if (mapType == 1 && mapLength > 0) {
    if (mapEntryBits != 24)
      return FailLoad("a TGA colour map of %u-bit entries is not read (24 bits are)",
                      unsigned(mapEntryBits));
    for (std::uint32_t k = 0; k < mapLength; ++k) {
      std::uint8_t bgr[3];
      in.Bytes(bgr, 3);
      const std::uint32_t slot = mapFirst + k;
      if (slot < 256) {
        palette[slot].blue = bgr[0];
        palette[slot].green = bgr[1];
        palette[slot].red = bgr[2];
      }
    }
    if (!in.ok()) return FailLoad("it ends inside its colour map");
    const std::uint32_t end = std::uint32_t{mapFirst} + mapLength;
    info.coloursUsed = end < 256 ? end : 256;
  }
  if (grey && depth == 8) {
    for (int i = 0; i < 256; ++i) {
      const std::uint8_t level = static_cast<std::uint8_t>(i);
      palette[i].blue = palette[i].green = palette[i].red = level;
      palette[i].reserved = 0;
    }
    info.coloursUsed = 256;
  }

  // The least the pixel data can take in the file: every pixel once, or
  // for run-length data one full run packet per 128 pixels.
  const int bytesPerPixel = depth / 8;
  const std::uint64_t pixelCount = std::uint64_t{width} * height;
  const std::uint64_t leastBytes =
      runLength ? (pixelCount + 127) / 128 * (1 + bytesPerPixel) : pixelCount * bytesPerPixel;
  if (leastBytes > BytesLeft(file.get())) return FailLoad("it ends inside its pixels");
  if (!decode.Holds(width, height)) {
    // Run-length packets must still hold every pixel.
    RlePixels packets(in, bytesPerPixel);
    if (runLength && !packets.Read(nullptr, static_cast<std::int64_t>(pixelCount)))
      return FailLoad("it ends inside its pixels");
    KeepSizeOnly(width, height, depth);
    return 1;
  }

  if (!AllocatePixels(width, height, depth)) return FailLoad("no memory for its pixels");
  // Release 2's record has no alpha plane: the fourth bytes are dropped.
  std::uint8_t* alphaBytes = nullptr;
  std::uint8_t** plane = picture_checks::AlphaPlane(*this);
  if (plane && depth == 32) {
    alphaBytes = *plane = new (std::nothrow) std::uint8_t[pixelCount]();
    if (!alphaBytes) return FailLoad("no memory for its alpha bytes");
  }
  RowBuffer row(std::size_t{width} * bytesPerPixel);
  if (!row.bytes) return FailLoad("no memory for a row of its pixels");

  RlePixels packets(in, bytesPerPixel);
  const std::int64_t stride = Stride();
  for (std::int32_t k = 0; k < height; ++k) {
    const bool ok = runLength ? packets.Read(row.bytes, width)
                              : in.Bytes(row.bytes, std::size_t{width} * bytesPerPixel);
    if (!ok) return FailLoad("it ends inside its pixels");
    // `pixels` holds the bottom row first, each row left to right.
    const std::int32_t y = (descriptor & kTopOrigin) ? height - 1 - k : k;
    std::uint8_t* target = pixels + y * stride;
    const bool rightToLeft = (descriptor & kRightOrigin) != 0;
    if (depth != 32 && !rightToLeft) {
      std::memcpy(target, row.bytes, std::size_t{width} * bytesPerPixel);
      continue;
    }
    const int kept = depth == 32 ? 3 : bytesPerPixel;
    for (std::int32_t i = 0; i < width; ++i) {
      const std::int32_t x = rightToLeft ? width - 1 - i : i;
      std::memcpy(target + kept * x, row.bytes + bytesPerPixel * i, kept);
      if (alphaBytes) alphaBytes[std::int64_t{y} * width + x] = row.bytes[4 * i + 3];
    }
  }
  return 1;
}
