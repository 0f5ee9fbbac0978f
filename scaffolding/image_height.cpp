#include "texture/bitmap_image.h"

std::int32_t BitmapImage::Height() const { return 0; }
