#include "standalone/render/model_drawing.h"

#include <algorithm>

#include "standalone/render/shade_dots.h"

namespace vexo::render {

ModelDrawing::ModelDrawing(const md2::Model& model) : model_(model) {
  const md2::GlCommandList list = md2::DecodeGlCommands(model.glCommands);
  if (!list.problem.empty())
    problem_ = "its GL command list stops early (" + list.problem + ")";
  else if (!list.terminated)
    problem_ = "its GL command list has no closing 0";
  const auto vertices = std::int64_t(model.header.numVertices);
  std::size_t missing = 0;
  for (const md2::GlTriangle& triangle : md2::TrianglesOf(list.commands)) {
    bool exists = true;
    for (const Md2GlVertex& corner : triangle.corners)
      exists = exists && corner.vertexIndex >= 0 && corner.vertexIndex < vertices;
    if (exists) triangles_.push_back(triangle);
    else ++missing;
  }
  if (missing > 0 && problem_.empty())
    problem_ = "its GL command list names vertices it does not have in " +
               std::to_string(missing) + " triangles";
  if (list.commands.empty() && problem_.empty()) problem_ = "its GL command list is empty";
}

void ModelDrawing::Draw(Canvas& canvas, std::size_t frame, const View& view, const ViewFit& fit,
                        const Texture* skin, bool gameLighting) const {
  if (frame >= model_.frames.size()) return;
  const md2::Frame& f = model_.frames[frame];
  const int row = ShadeDotRow(view.yawDegrees);
  std::vector<RasterVertex> seen(f.vertices.size());
  for (std::size_t v = 0; v < f.vertices.size(); ++v) {
    const ViewPoint p = See(view, f.Position(v));
    seen[v].x = fit.X(p);
    seen[v].y = fit.Y(p);
    seen[v].depth = p.depth;
    seen[v].light =
        gameLighting ? std::min(1.0, ShadeDot(row, f.vertices[v].normalIndex) * kShadeLight) : 1.0;
  }
  for (const md2::GlTriangle& triangle : triangles_) {
    RasterVertex corners[3];
    for (int k = 0; k < 3; ++k) {
      const Md2GlVertex& corner = triangle.corners[k];
      corners[k] = seen[std::size_t(corner.vertexIndex)];
      corners[k].s = corner.s;
      corners[k].t = corner.t;
    }
    canvas.DrawTriangle(corners, skin, kUntexturedColour);
  }
}

}  // namespace vexo::render
