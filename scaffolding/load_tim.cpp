#include "texture/bitmap_image.h"

int BitmapImage::LoadTim(const char*) { return 0; }
