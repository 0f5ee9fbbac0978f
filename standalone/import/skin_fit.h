// Whether the textures fit the plug-in's skin area, and what to tell the
// user when they do not.
#pragma once

#include <string>
#include <vector>

#include "standalone/import/texture_cache.h"

namespace vexo {

// The side of the square skin area that all textures of a model share.
inline constexpr int kSkinAreaSide = 480;

// What to tell the user when a texture is larger than the skin area.
std::string TextureTooLargeMessage(const std::string& fileName, int width, int height);
// What to tell the user when the textures do not fit into the skin area
// together; names the --max-texture value that would make them fit.
std::string SkinDoesNotFitMessage(const std::vector<PreparedTexture>& textures);

}  // namespace vexo
