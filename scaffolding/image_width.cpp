#include "texture/bitmap_image.h"

std::int32_t BitmapImage::Width() const { return 0; }
