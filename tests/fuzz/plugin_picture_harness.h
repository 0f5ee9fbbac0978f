// The plug-in's picture loaders under fuzzing: each input is loaded as a
// file of the loader's kind, once decoding every size and once only small
// ones (the other sizes are walked without being decoded), and a loaded
// picture has every pixel read, so that ASan sees any byte the loader
// claims to have but did not fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_input_file.h"
#include "texture/picture/bitmap_image.h"

namespace fuzz {

using Loader = int (BitmapImage::*)(const char*, const SidesToDecode&);

inline void LoadPicture(const std::uint8_t* data, std::size_t size, const char* fileName,
                        Loader load) {
  const std::string path = WriteInputFile(fileName, data, size);
  SidesToDecode small;
  small.widthTo = small.heightTo = 8;
  for (const SidesToDecode& decode : {SidesToDecode(), small}) {
    BitmapImage image;
    if (!(image.*load)(path.c_str(), decode) || !image.pixels) continue;
    unsigned sum = 0;
    for (std::int32_t y = 0; y < image.Height(); ++y) {
      for (std::int32_t x = 0; x < image.Width(); ++x) {
        const PaletteEntry colour = image.PixelColour(x, y);
        sum += image.PixelIndex(x, y) + colour.red + colour.green + colour.blue;
      }
    }
    if constexpr (release::kImageHasAlpha) {
      if (image.alpha)
        for (std::int64_t i = 0; i < std::int64_t(image.Width()) * image.Height(); ++i)
          sum += image.alpha[i];
    }
    // Keeps the reads from being optimised away.
    if (sum == 0xFFFFFFFFu) std::abort();
  }
}

}  // namespace fuzz
