// A model's frame drawn the way the game's GL renderer draws it
// (GL_DrawAliasFrameLerp, ref_gl/gl_mesh.c): from the GL command list, not
// the triangle list; each corner at its s and t of the skin; each vertex
// lit by its normal byte through the lighting table row of the view's yaw.
#pragma once

#include <string>
#include <vector>

#include "standalone/md2/gl_command_list.h"
#include "standalone/md2/md2_model.h"
#include "standalone/render/raster.h"
#include "standalone/render/view.h"

namespace vexo::render {

// The colour of a model or scene drawn without a skin.
inline constexpr Rgb kUntexturedColour = {176, 176, 176};

// The light the player setup menu gives its model (RF_FULLBRIGHT): each
// vertex's colour is the table's dot times this, clamped to 1 as GL clamps
// vertex colours.
inline constexpr double kShadeLight = 1.0;

class ModelDrawing {
 public:
  // The model must be usable as a whole (md2::LoadMd2). Its GL command list
  // is decoded here, as far as it goes.
  explicit ModelDrawing(const md2::Model& model);

  // Why the GL renderer would not draw all of the model ("" when it draws
  // it whole): the list stops early or names vertices that are not there.
  const std::string& problem() const { return problem_; }

  // Draws the frame. Without gameLighting every vertex is at full light.
  void Draw(Canvas& canvas, std::size_t frame, const View& view, const ViewFit& fit,
            const Texture* skin, bool gameLighting) const;

 private:
  const md2::Model& model_;
  std::vector<md2::GlTriangle> triangles_;  // only those whose vertices exist
  std::string problem_;
};

}  // namespace vexo::render
