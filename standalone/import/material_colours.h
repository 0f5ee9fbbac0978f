// The colours a material gives its faces besides a picture: the colour of a
// material without a picture (shown as a swatch), and the factor that a
// glTF material multiplies its picture by.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "standalone/pictures/colour_space.h"

struct aiMaterial;

namespace vexo {

// An sRGB colour, one byte a channel.
using Rgb8 = std::array<std::uint8_t, 3>;

// The grey of faces without any material.
inline constexpr Rgb8 kDefaultGrey = {128, 128, 128};

struct MaterialColours {
  // The colour of the material as a flat colour: glTF's base colour factor
  // (linear light, turned sRGB), else the diffuse colour as the file writes
  // it (OBJ's Kd 0.8 gives 204), else white.
  Rgb8 flat = {255, 255, 255};
  // glTF's base colour factor, by which the picture is multiplied in
  // linear light; white for every other format.
  LinearRgb factor = {1, 1, 1};
  bool tinted = false;  // factor is not white
};

MaterialColours ReadMaterialColours(const aiMaterial& material, bool gltf);

// "#RRGGBB".
std::string HexColour(const Rgb8& colour);

}  // namespace vexo
