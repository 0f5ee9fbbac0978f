#include "texture/bitmap_image.h"

BitmapImage::~BitmapImage() {}
