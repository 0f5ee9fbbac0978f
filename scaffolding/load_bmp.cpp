#include "texture/bitmap_image.h"

int BitmapImage::LoadBmp(const char*) { return 0; }
