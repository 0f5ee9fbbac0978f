// The fixed 256-colour palette of the PCX skin, the same in every build.
#pragma once

#include <cstdint>

struct SkinPaletteEntry {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  std::uint8_t unused;  // 0 in every entry; never read
};

extern const SkinPaletteEntry SkinPalette[256];
