#include "standalone/finish/player_icon.h"

#include <array>

#include "standalone/render/contact_sheet.h"
#include "standalone/render/model_drawing.h"
#include "standalone/render/skin_texture.h"
#include "standalone/skin/skin_damage.h"

namespace vexo::finish {

skin::PcxPicture DrawPlayerIcon(const md2::Model& model, const skin::PcxPicture& skin) {
  constexpr int n = kPlayerIconSize;
  skin::PcxPicture icon = skin::MakePcx(n, n, skin.palette, skin::kTransparentIndex);
  if (model.frames.empty() || !skin.decoded) return icon;

  // The first frame from the front, as the game draws it, fitted to the icon.
  const render::View front = *render::FindView("front");
  const render::ViewFit fit = render::FitViews({front}, model.frames[0].Positions(), n).front();
  const render::Texture texture = render::EightBitSkin(skin, true);
  render::Canvas canvas(n, n, render::kBackground);
  render::ModelDrawing(model).Draw(canvas, 0, front, fit, &texture, true);

  // Back to the skin's palette; what the model leaves stays transparent.
  const RgbImage& picture = canvas.image();
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      if (!canvas.Covered(x, y)) continue;
      const std::uint8_t* rgb = &picture.pixels[(std::size_t(y) * n + x) * 3];
      icon.At(x, y) = std::uint8_t(
          skin::NearestEntry(skin.palette, {rgb[0], rgb[1], rgb[2]}, skin::kTransparentIndex));
    }
  return icon;
}

}  // namespace vexo::finish
