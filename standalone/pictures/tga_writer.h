// Writes a picture as an uncompressed 24-bit TGA with the bottom row first,
// a form the plug-in's TGA loader reads.
#pragma once

#include <filesystem>

#include "standalone/pictures/picture.h"

namespace vexo {

// Writes beside the target first and renames at the end, so a failed write
// never leaves a half-written file under the target's name. Throws
// PictureError naming the file on failure.
void WriteTga(const std::filesystem::path& path, const RgbImage& image);

}  // namespace vexo
