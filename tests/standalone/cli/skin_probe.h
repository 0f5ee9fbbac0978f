// What a written model shows: the colour of its skin in the middle of each
// triangle, read independently of the project: the model with assimp, the
// skin with Pillow.
#pragma once

#include <array>
#include <filesystem>
#include <vector>

namespace vexo::testing {

using Colour = std::array<int, 3>;

// One colour per triangle of frame 0, in the file's order; empty when
// either file cannot be read.
std::vector<Colour> TriangleColours(const std::filesystem::path& model,
                                    const std::filesystem::path& skin);

}  // namespace vexo::testing
