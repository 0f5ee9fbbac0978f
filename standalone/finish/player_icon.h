// The icon the player setup menu shows beside a skin (SKIN_i.pcx): the
// model's first frame seen from the front, drawn as the game's GL renderer
// draws it (vexo render) and put back on the skin's palette, on the
// transparent index.
#pragma once

#include "standalone/md2/md2_model.h"
#include "standalone/skin/pcx_picture.h"

namespace vexo::finish {

inline constexpr int kPlayerIconSize = 32;  // the size of the game's own icons

// The model must be usable as a whole and have a frame; the skin decoded.
skin::PcxPicture DrawPlayerIcon(const md2::Model& model, const skin::PcxPicture& skin);

}  // namespace vexo::finish
