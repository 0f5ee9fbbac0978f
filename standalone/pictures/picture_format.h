// The picture formats vexo reads, told apart by their first bytes rather
// than by the file's name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexo {

enum class PictureFormat {
  kUnknown,
  kPng,
  kJpeg,
  kBmp,
  kTga,
  kGif,
  kPsd,
  kHdr,
  kTiff,
  kWebp,
  kDds,
  kTim,
  kPcx,
};

// The format of a picture from its first bytes (at least 64 where the file
// has them). TGA has no signature: it is taken when nothing else matches and
// the 18-byte header is one that a TGA file can have.
PictureFormat SniffPictureFormat(const std::uint8_t* bytes, std::size_t size);

// "PNG", "JPEG", ...; "unknown".
const char* PictureFormatName(PictureFormat format);

}  // namespace vexo
