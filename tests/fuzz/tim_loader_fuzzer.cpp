// The plug-in's TIM loader on untrusted bytes.
#include "plugin_picture_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::LoadPicture(data, size, "texture.tim", &BitmapImage::LoadTim);
  return 0;
}
