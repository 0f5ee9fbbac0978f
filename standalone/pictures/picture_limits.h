// The largest pictures vexo reads, checked against the header before
// anything is allocated or decoded.
#pragma once

#include <cstdint>

namespace vexo {

// PNG and JPEG pictures are decoded row by row and scaled down on the way,
// so their size costs time, not memory: up to 16384 x 16384 pixels.
inline constexpr std::int64_t kMaxStreamedPixels = 16384LL * 16384LL;
// Interlaced PNG, and the pictures converted for the plug-in (which loads
// them whole), up to 4096 x 4096 pixels: 48 MB of RGB.
inline constexpr std::int64_t kMaxWholePixels = 4096LL * 4096LL;
// Every other format goes through MagickCore, which keeps 16 bytes a pixel
// (four float channels) within its memory limit: up to 2896 x 2896.
inline constexpr std::int64_t kMaxMagickPixels = 2896LL * 2896LL;
// The largest picture file read, and the most memory a JPEG decoder may
// take for its work (a progressive picture keeps all its coefficients).
inline constexpr std::uint64_t kMaxPictureFileBytes = 256u << 20;
inline constexpr long kMaxDecoderWorkBytes = 256L << 20;

}  // namespace vexo
