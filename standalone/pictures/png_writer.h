// Writes pictures as PNG (the skin previews and the model renders).
#pragma once

#include <filesystem>

#include "standalone/pictures/picture.h"

namespace vexo {

// Writes beside the target first and renames at the end, so a failed write
// never leaves a half-written file under the target's name. Throws
// PictureError naming the file on failure.
void WritePng(const std::filesystem::path& path, const RgbImage& image);

}  // namespace vexo
