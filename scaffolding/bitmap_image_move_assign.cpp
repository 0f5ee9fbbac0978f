#include "texture/bitmap_image.h"

BitmapImage& BitmapImage::operator=(BitmapImage&&) noexcept { return *this; }
