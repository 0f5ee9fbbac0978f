#include "standalone/pictures/picture_format.h"

#include <cstring>

namespace vexo {
namespace {

bool StartsWith(const std::uint8_t* bytes, std::size_t size, const char* text, std::size_t length) {
  return size >= length && std::memcmp(bytes, text, length) == 0;
}

std::uint16_t U16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

// A header a TGA file can have: a known image type, a colour map flag of 0
// or 1, a usual depth and sides of at least one pixel.
bool PlausibleTga(const std::uint8_t* h, std::size_t size) {
  if (size < 18) return false;
  const std::uint8_t mapType = h[1], type = h[2], depth = h[16];
  const bool knownType = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
  const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
  const bool mapped = type == 1 || type == 9;
  return knownType && mapType <= 1 && (!mapped || mapType == 1) && knownDepth &&
         U16(h + 12) > 0 && U16(h + 14) > 0;
}

}  // namespace

PictureFormat SniffPictureFormat(const std::uint8_t* b, std::size_t n) {
  if (!b) return PictureFormat::kUnknown;
  if (StartsWith(b, n, "\x89PNG\r\n\x1a\n", 8)) return PictureFormat::kPng;
  if (StartsWith(b, n, "\xFF\xD8\xFF", 3)) return PictureFormat::kJpeg;
  if (StartsWith(b, n, "GIF87a", 6) || StartsWith(b, n, "GIF89a", 6)) return PictureFormat::kGif;
  if (StartsWith(b, n, "8BPS", 4)) return PictureFormat::kPsd;
  if (StartsWith(b, n, "#?RADIANCE", 10) || StartsWith(b, n, "#?RGBE", 6)) return PictureFormat::kHdr;
  if (StartsWith(b, n, "II*\0", 4) || StartsWith(b, n, "MM\0*", 4)) return PictureFormat::kTiff;
  if (n >= 12 && StartsWith(b, n, "RIFF", 4) && std::memcmp(b + 8, "WEBP", 4) == 0)
    return PictureFormat::kWebp;
  if (StartsWith(b, n, "DDS ", 4)) return PictureFormat::kDds;
  if (StartsWith(b, n, "BM", 2) && n >= 18) return PictureFormat::kBmp;
  // PlayStation TIM: id 0x10, version 0, then a flags word.
  if (n >= 8 && b[0] == 0x10 && b[1] == 0 && b[2] == 0 && b[3] == 0 && b[5] == 0 && b[6] == 0 &&
      b[7] == 0 && (b[4] & 0xF0) == 0)
    return PictureFormat::kTim;
  // ZSoft PCX: manufacturer 10, version 0 to 5, run-length encoding 1.
  if (n >= 128 && b[0] == 0x0A && b[1] <= 5 && b[2] == 1) return PictureFormat::kPcx;
  if (PlausibleTga(b, n)) return PictureFormat::kTga;
  return PictureFormat::kUnknown;
}

const char* PictureFormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::kPng: return "PNG";
    case PictureFormat::kJpeg: return "JPEG";
    case PictureFormat::kBmp: return "BMP";
    case PictureFormat::kTga: return "TGA";
    case PictureFormat::kGif: return "GIF";
    case PictureFormat::kPsd: return "PSD";
    case PictureFormat::kHdr: return "HDR";
    case PictureFormat::kTiff: return "TIFF";
    case PictureFormat::kWebp: return "WebP";
    case PictureFormat::kDds: return "DDS";
    case PictureFormat::kTim: return "TIM";
    case PictureFormat::kPcx: return "PCX";
    case PictureFormat::kUnknown: break;
  }
  return "unknown";
}

}  // namespace vexo
