// The steps that lay the collected textures out in the skin, between their
// collection and the copy of their pixels: which faces use which texture
// and over which coordinate range, each texture's size in skin pixels,
// which textures are used, and the skin size once they are placed.
#pragma once

#include <cstdint>

#include "scene/sampled_mesh.h"
#include "texture/skin/skin_texture.h"

// Option value that asks LinkFacesToTextures for the coordinate ranges.
inline constexpr int kLinkWithRanges = 1;

// Links every face (and its three vertices) to the texture whose file name
// equals the face's bitmap name; a face without a match keeps none. With
// option kLinkWithRanges, each texture's uMin..uMax, vMin..vMax becomes the
// range of the corner coordinates of its faces (0..0 when none uses it).
void LinkFacesToTextures(SkinTexture* textures, std::int32_t textureCount, SampledFace* faces,
                         std::int32_t faceCount, SampledVertex* vertices,
                         std::int32_t vertexCount, int option);

// The picture sizes whose used region (the texture's coordinate range, as
// SizeTexturesFromRanges turns it into pixels) is at least one pixel and
// at most `area` pixels on each side: the only pictures that could ever be
// placed in a skin area of that size, and so the only ones whose pixels an
// export needs. Empty for a texture that no face uses.
SidesToDecode PlaceableSides(const SkinTexture& texture, std::int32_t area);

// Each texture's size in skin pixels: its image size times its coordinate
// range, truncated. A range wider than 1 unrolls the repeated picture. A
// size that is not a finite number below 2^31 becomes 0: such a texture is
// never placed.
void SizeTexturesFromRanges(SkinTexture* textures, std::int32_t textureCount);

// Use marks: the low byte of each texture's state becomes 0xFF, then 0 for
// each texture that some face refers to.
void MarkUsedTextures(SkinTexture* textures, std::int32_t textureCount, const SampledFace* faces,
                      std::int32_t faceCount);

// The first texture that a face uses but placement left out; -1 when all
// used textures are placed.
std::int32_t FindUnplacedUsedTexture(const SkinTexture* textures, std::int32_t textureCount);

// The skin size: the largest right and bottom edge over all textures,
// placed or not, the width rounded up to a multiple of 4. Returns 0 (sizes
// untouched) when it does not fit in 32 bits.
int MeasureSkin(const SkinTexture* textures, std::int32_t textureCount, std::int32_t* skinWidth,
                std::int32_t* skinHeight);

// The image column and row where a texture's used region starts:
// Width x uMin and Height x vMin truncated, reduced modulo the image size
// (the copy wraps source coordinates, so the pixels are the same) so that
// any coordinate gives a valid value.
void TextureSourceCorner(const SkinTexture& texture, std::int32_t* left, std::int32_t* top);
