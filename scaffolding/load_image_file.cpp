#include "texture/bitmap_image.h"

int BitmapImage::LoadImageFile(const char*) { return 0; }
