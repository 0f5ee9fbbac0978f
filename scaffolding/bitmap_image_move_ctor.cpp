#include "texture/bitmap_image.h"

BitmapImage::BitmapImage(BitmapImage&&) noexcept : name{}, path{} {}
