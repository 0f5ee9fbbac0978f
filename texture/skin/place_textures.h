// Texture placement: where each texture's used part goes in the skin.
#pragma once

#include <cstdint>

#include "errors/error_record.h"
#include "texture/skin/skin_texture.h"

// Greedy guillotine packing into an area of areaWidth x areaHeight: the
// largest waiting texture goes into the smallest free rectangle that holds
// it, until none is left. A placed texture gets its x and y, the placed bit
// and `page` as its use mark; one that does not fit stays unplaced. Returns
// 0, with nothing placed and the failure recorded, when memory runs out.
int PlaceTextures(SkinTexture* textures, std::int32_t textureCount, int page, int areaWidth,
                  int areaHeight, ErrorRecord& errors);
