#include "texture/bitmap_image.h"

std::uint8_t BitmapImage::PixelIndex(std::int32_t, std::int32_t) const { return 255; }
