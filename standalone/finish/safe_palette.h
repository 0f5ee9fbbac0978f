// A skin made safe for the GL renderer: pixels at index 255 (transparent
// under its alpha test) take the nearest other colour of the palette, and
// where the flood fill from the top-left pixel would repaint texels the
// model shows, that pixel becomes black (index 0), which the fill leaves
// alone.
#pragma once

#include <cstdint>

#include "standalone/md2/md2_model.h"
#include "standalone/skin/pcx_picture.h"

namespace vexo::finish {

struct PaletteRepair {
  std::int64_t movedFrom255 = 0;
  int replacement = 0;  // the index those pixels took
  bool topLeftBlackened = false;
  std::int64_t Changed() const { return movedFrom255 + (topLeftBlackened ? 1 : 0); }
};

// The picture must be decoded.
PaletteRepair MakePaletteSafe(const md2::Model& model, skin::PcxPicture& picture);

}  // namespace vexo::finish
