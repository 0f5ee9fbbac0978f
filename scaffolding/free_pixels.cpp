#include "texture/bitmap_image.h"

void BitmapImage::FreePixels() {}
