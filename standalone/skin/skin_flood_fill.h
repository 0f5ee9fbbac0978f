// What the original GL renderer does to every 8-bit skin it loads
// (R_FloodFillSkin, ref_gl/gl_image.c): it takes the index of the top-left
// pixel and, unless that is 0 or 255, replaces the 4-connected area of that
// index around (0, 0) by the colours of its neighbours, meant for a skin's
// background. Simulated step for step, its 4096-entry ring queue included.
#pragma once

#include <cstdint>
#include <vector>

namespace vexo::skin {

// The skin (width x height indices, top row first) as the renderer leaves it.
std::vector<std::uint8_t> FloodFilledSkin(std::vector<std::uint8_t> skin, int width, int height);

}  // namespace vexo::skin
