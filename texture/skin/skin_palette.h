// The fixed 256-colour palette of the PCX skin, the same in every build.
#pragma once

#include <cstdint>

#include "texture/picture/pcx.h"

struct SkinPaletteEntry {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  std::uint8_t unused;  // 0 in every entry; never read
};

extern const SkinPaletteEntry SkinPalette[256];

// The palette as the PCX writer stores it: red, green, blue.
void SkinPaletteForPcx(PcxPalette& palette);
