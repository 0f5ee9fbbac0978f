#include "standalone/import/material_colours.h"

#include <assimp/material.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vexo {
namespace {

std::uint8_t AsWritten(float value) {
  const float clamped = std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
  return static_cast<std::uint8_t>(std::lround(clamped * 255.0f));
}

}  // namespace

MaterialColours ReadMaterialColours(const aiMaterial& material, bool gltf) {
  MaterialColours colours;
  aiColor4D colour;
  if (gltf && material.Get(AI_MATKEY_BASE_COLOR, colour) == aiReturn_SUCCESS) {
    colours.factor = {colour.r, colour.g, colour.b};
    for (int c = 0; c < 3; ++c) {
      colours.flat[c] = LinearToSrgbByte(colours.factor[c]);
      if (!(colours.factor[c] == 1.0f)) colours.tinted = true;
    }
    return colours;
  }
  if (material.Get(AI_MATKEY_COLOR_DIFFUSE, colour) == aiReturn_SUCCESS ||
      material.Get(AI_MATKEY_BASE_COLOR, colour) == aiReturn_SUCCESS) {
    colours.flat = {AsWritten(colour.r), AsWritten(colour.g), AsWritten(colour.b)};
  }
  return colours;
}

std::string HexColour(const Rgb8& colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", colour[0], colour[1], colour[2]);
  return text;
}

}  // namespace vexo
