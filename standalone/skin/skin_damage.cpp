#include "standalone/skin/skin_damage.h"

#include "standalone/skin/skin_flood_fill.h"
#include "standalone/skin/texel_coverage.h"

namespace vexo::skin {

SkinDamage MeasureSkinDamage(const md2::Model& model, const PcxPicture& picture) {
  SkinDamage damage;
  if (!picture.decoded) return damage;
  const int width = picture.width(), height = picture.height();
  const std::vector<std::uint8_t> used = UsedTexels(model, width, height);
  // Rows without padding are the indices already: not copied again.
  const bool padded = picture.bytesPerLine != width;
  const std::vector<std::uint8_t> unpadded = padded ? picture.Indices() : std::vector<std::uint8_t>();
  const std::vector<std::uint8_t>& indices = padded ? unpadded : picture.rows;
  const std::vector<std::uint8_t> filled = FloodFilledSkin(indices, width, height);
  // Counted without a branch a texel: the flags are 0 or 1.
  for (std::size_t i = 0; i < indices.size(); ++i) {
    const int shown = used[i];
    damage.usedTexels += shown;
    damage.usedAt255 += shown & int(indices[i] == kTransparentIndex);
    damage.usedChangedByFill += shown & int(filled[i] != indices[i]);
  }
  return damage;
}

}  // namespace vexo::skin
