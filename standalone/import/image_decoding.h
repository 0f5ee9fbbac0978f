// Pictures in formats the plug-in cannot read (PNG, JPEG, images embedded
// in a scene file, ...) decoded to RGB, and made smaller on request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vexo {

// RGB, 3 bytes a pixel, top row first, rows packed.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// Decodes PNG, JPEG, BMP, TGA, GIF, PSD, HDR, PIC or PNM bytes; alpha is
// dropped. False with a reason in error when the bytes are not a picture
// that can be read.
bool DecodeImage(const std::uint8_t* bytes, std::size_t size, RgbImage& image, std::string& error);

// The picture's size from its header, without decoding it.
bool ReadImageSize(const std::uint8_t* bytes, std::size_t size, int& width, int& height);

// The picture scaled down so that neither side exceeds maxSide, keeping its
// proportions (each side at least one pixel). A picture that already fits
// is returned as it is.
RgbImage Downsample(const RgbImage& image, int maxSide);
// The size Downsample gives a width x height picture.
void FittedSize(int width, int height, int maxSide, int& fittedWidth, int& fittedHeight);

}  // namespace vexo
