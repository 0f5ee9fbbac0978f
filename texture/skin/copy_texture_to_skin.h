// The skin copy: a texture's used part into the 24-bit skin buffer.
#pragma once

#include <cstdint>

#include "texture/picture/bitmap_image.h"

// Copies the region (left, top, width, height) of the image to (x, y) of the
// skin, whose rows are rowLength bytes; pixelFormat must be
// kSkinPixelFormatBgr (3 bytes: blue, green, red), anything else copies
// nothing. Source coordinates wrap, so a region that starts left of the
// picture or is wider than it repeats the picture. Rows are taken in the
// image's own order (bottom row of the picture file first).
void CopyTextureToSkin(const BitmapImage& image, std::uint8_t* skin, int rowLength, int x, int y,
                       int pixelFormat, int left, int top, int width, int height);
