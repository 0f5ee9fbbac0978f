// The skin reduced to the fixed palette, for the PCX skin.
#pragma once

#include <cstdint>

// Replaces *indices (freed when not null) by a new array of width x height
// SkinPalette indices, each the nearest colour of the skin pixel at the
// same place (skinRgb: blue, green, red, 3 bytes a pixel). An empty skin
// still gets a one-byte array. Returns 0 when the array cannot be
// allocated or the skin is missing.
int ReduceToPalette(const std::uint8_t* skinRgb, std::int32_t width, std::int32_t height,
                    std::uint8_t** indices);
