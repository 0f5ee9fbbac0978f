#include "standalone/finish/safe_palette.h"

#include "standalone/skin/skin_damage.h"

namespace vexo::finish {

PaletteRepair MakePaletteSafe(const md2::Model& model, skin::PcxPicture& picture) {
  PaletteRepair repair;
  repair.replacement = skin::NearestOtherEntry(picture.palette, skin::kTransparentIndex);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      std::uint8_t& pixel = picture.At(x, y);
      if (pixel != skin::kTransparentIndex) continue;
      pixel = static_cast<std::uint8_t>(repair.replacement);
      ++repair.movedFrom255;
    }
  }
  // Measured after the move: a top-left pixel that was 255 starts a fill now.
  if (skin::MeasureSkinDamage(model, picture).usedChangedByFill > 0) {
    picture.At(0, 0) = 0;
    repair.topLeftBlackened = true;
  }
  return repair;
}

}  // namespace vexo::finish
