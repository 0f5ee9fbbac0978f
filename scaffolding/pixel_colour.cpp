#include "texture/bitmap_image.h"

PaletteEntry BitmapImage::PixelColour(std::int32_t, std::int32_t) const { return {}; }
