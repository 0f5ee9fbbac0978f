#include "standalone/skin/skin_damage.h"

#include "standalone/skin/skin_flood_fill.h"
#include "standalone/skin/texel_coverage.h"

namespace vexo::skin {

SkinDamage MeasureSkinDamage(const md2::Model& model, const PcxPicture& picture) {
  SkinDamage damage;
  if (!picture.decoded) return damage;
  const int width = picture.width(), height = picture.height();
  const std::vector<bool> used = UsedTexels(model, width, height);
  const std::vector<std::uint8_t> indices = picture.Indices();
  const std::vector<std::uint8_t> filled = FloodFilledSkin(indices, width, height);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (!used[i]) continue;
    ++damage.usedTexels;
    if (indices[i] == kTransparentIndex) ++damage.usedAt255;
    if (filled[i] != indices[i]) ++damage.usedChangedByFill;
  }
  return damage;
}

}  // namespace vexo::skin
