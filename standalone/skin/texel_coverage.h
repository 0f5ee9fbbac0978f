// Which texels of the skin a model's triangles show: every texel whose
// centre lies inside a triangle's texture-space corners (the triangle
// list's pixel positions, scaled from the header's skin size to the
// picture's), and the texels under the corners themselves, so that thin
// triangles count too. Positions outside the skin wrap, as the GL renderer
// repeats the skin.
#pragma once

#include <cstdint>
#include <vector>

#include "standalone/md2/md2_model.h"

namespace vexo::skin {

// width x height flags (1 for shown), top row first. Triangles whose texture coordinate
// indices lie past the list are left out.
std::vector<std::uint8_t> UsedTexels(const md2::Model& model, int width, int height);

}  // namespace vexo::skin
