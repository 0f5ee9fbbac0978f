// Skins as the renderer samples them. An 8-bit skin goes the way the game's
// GL renderer uploads it (GL_Upload8, ref_gl/gl_image.c): flood-filled from
// its top-left pixel first (R_FloodFillSkin), then each index turned into
// its palette colour, index 255 transparent, so the alpha test cuts it out.
#pragma once

#include <string>

#include "standalone/pictures/picture.h"
#include "standalone/render/raster.h"
#include "standalone/skin/pcx_picture.h"

namespace vexo::render {

// A decoded 8-bit picture; with gameEffects false, its indices are taken
// as they are and every texel is opaque.
Texture EightBitSkin(const skin::PcxPicture& picture, bool gameEffects);

// A true-colour picture (a BMP skin, say), every texel opaque.
Texture TrueColourSkin(const RgbImage& picture);

// A skin file as a texture: an 8-bit PCX (told by its first byte) as
// EightBitSkin takes it, any other picture vexo reads (a BMP skin, say) as
// TrueColourSkin. `eightBit` tells which it was. Throws Error naming the
// file and what is wrong.
Texture ReadSkinTexture(const std::string& path, bool gameEffects, bool& eightBit);

}  // namespace vexo::render
