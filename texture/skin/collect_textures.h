// Texture collection: one skin texture per distinct bitmap that the listed
// nodes' materials show in their diffuse slot.
#pragma once

#include <cstdint>

#include "scene/export_context.h"
#include "texture/skin/skin_texture.h"

// Gathers the diffuse bitmap of every material slot of the context's nodes
// (every sub-material of a multi-material), keeps the first record of each
// file name and sorts them by name ignoring case; the pictures are not
// loaded yet. The array is handed out as soon as it exists, so the caller
// frees it after a failure too; the count is set only on success. Returns
// 0 with the failure recorded.
int GatherTextures(ExportContext& context, SkinTexture** textures, std::int32_t* textureCount);

// Loads each texture's picture, in order, once LinkFacesToTextures has
// given it the coordinate range its faces use: only a picture whose used
// region could be placed in the skin area (PlaceableSides) is decoded; the
// others keep their size and palette but no pixels, since no step reads
// them (a texture that is never placed is never copied). Returns 0 at the
// first picture that cannot be loaded, with the failure and the loader's
// reason recorded.
int LoadTextures(ExportContext& context, SkinTexture* textures, std::int32_t textureCount);
