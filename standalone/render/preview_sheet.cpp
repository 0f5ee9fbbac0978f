#include "standalone/render/preview_sheet.h"

#include "standalone/render/contact_sheet.h"
#include "standalone/render/model_drawing.h"
#include "standalone/render/model_sheet.h"
#include "standalone/render/scene_drawing.h"

namespace vexo::render {

RgbImage PreviewSheet(MemoryScene& scene, const md2::Model& model, const PreviewRequest& request,
                      const std::string& title, std::vector<std::string>& problems) {
  SceneDrawing source(scene, request.scale);
  const ModelDrawing result(model);
  if (!result.problem().empty()) problems.push_back(result.problem());

  // One fit for scene and model, so that each pair can be compared as it is.
  std::vector<std::array<float, 3>> points;
  for (const PreviewFrame& frame : request.frames) {
    if (frame.setTimeline) frame.setTimeline();
    const auto scenePoints = source.Points(frame.hostTime);
    points.insert(points.end(), scenePoints.begin(), scenePoints.end());
    const auto positions = model.frames.at(std::size_t(frame.modelFrame)).Positions();
    points.insert(points.end(), positions.begin(), positions.end());
  }
  const std::vector<ViewFit> fits = FitViews(request.views, points, request.size);

  std::vector<SheetCell> cells;
  for (const PreviewFrame& frame : request.frames) {
    if (frame.setTimeline) frame.setTimeline();
    for (std::size_t v = 0; v < request.views.size(); ++v) {
      Canvas sceneCanvas(request.size, request.size, kBackground);
      source.Draw(sceneCanvas, frame.hostTime, request.views[v], fits[v], true);
      cells.push_back({sceneCanvas.TakeImage(), frame.sceneLabel});
      Canvas modelCanvas(request.size, request.size, kBackground);
      result.Draw(modelCanvas, std::size_t(frame.modelFrame), request.views[v], fits[v],
                  request.skin, true);
      cells.push_back({modelCanvas.TakeImage(), FrameLabel(model, frame.modelFrame)});
    }
  }
  for (const std::string& problem : source.problems()) problems.push_back(problem);
  return ContactSheet(title, cells, int(2 * request.views.size()));
}

}  // namespace vexo::render
