// Texture collection: one skin texture per distinct bitmap that the listed
// nodes' materials show in their diffuse slot.
#pragma once

#include <cstdint>

#include "scene/export_context.h"
#include "texture/skin/skin_texture.h"

// Gathers the diffuse bitmap of every material slot of the context's nodes
// (every sub-material of a multi-material), keeps the first record of each
// file name, sorts them by name ignoring case, and loads each picture. The
// array is handed out as soon as it exists, so the caller frees it after a
// failure too; the count is set only on success. Returns 0 with the
// failure recorded (a failed load with its loader's reason).
int CollectTextures(ExportContext& context, SkinTexture** textures, std::int32_t* textureCount);
