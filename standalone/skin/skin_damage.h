// What the GL renderer does wrong to the texels a model shows: those at
// palette index 255 are transparent under its alpha test (holes in the
// model), and its flood fill from the top-left pixel repaints others.
#pragma once

#include <cstdint>

#include "standalone/md2/md2_model.h"
#include "standalone/skin/pcx_picture.h"

namespace vexo::skin {

inline constexpr std::uint8_t kTransparentIndex = 255;

struct SkinDamage {
  std::int64_t usedTexels = 0;         // texels the model's triangles show
  std::int64_t usedAt255 = 0;          // of them, at index 255
  std::int64_t usedChangedByFill = 0;  // of them, changed by the flood fill
};

// For a decoded picture.
SkinDamage MeasureSkinDamage(const md2::Model& model, const PcxPicture& picture);

}  // namespace vexo::skin
