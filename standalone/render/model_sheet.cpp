#include "standalone/render/model_sheet.h"

#include <cmath>

#include "standalone/render/contact_sheet.h"
#include "standalone/render/model_drawing.h"

namespace vexo::render {
namespace {

std::vector<ViewFit> FitFrames(const md2::Model& model, const ModelPictureRequest& request) {
  std::vector<std::array<float, 3>> points;
  for (const int frame : request.frames) {
    const md2::Frame& f = model.frames.at(std::size_t(frame));
    for (std::size_t v = 0; v < f.vertices.size(); ++v) points.push_back(f.Position(v));
  }
  return FitViews(request.views, points, request.size);
}

// The frame's views, in the order asked for.
std::vector<RgbImage> DrawFrame(const ModelDrawing& drawing, const ModelPictureRequest& request,
                                const std::vector<ViewFit>& fits, int frame) {
  std::vector<RgbImage> pictures;
  for (std::size_t v = 0; v < request.views.size(); ++v) {
    Canvas canvas(request.size, request.size, kBackground);
    drawing.Draw(canvas, std::size_t(frame), request.views[v], fits[v], request.skin,
                 request.gameLighting);
    pictures.push_back(canvas.TakeImage());
  }
  return pictures;
}

}  // namespace

std::string FrameLabel(const md2::Model& model, int frame) {
  return std::to_string(frame) + " " + model.frames.at(std::size_t(frame)).Name();
}

RgbImage ModelSheet(const md2::Model& model, const ModelPictureRequest& request,
                    const std::string& title, std::string& problem) {
  const ModelDrawing drawing(model);
  problem = drawing.problem();
  const std::vector<ViewFit> fits = FitFrames(model, request);
  std::vector<SheetCell> cells;
  for (const int frame : request.frames) {
    std::vector<RgbImage> pictures = DrawFrame(drawing, request, fits, frame);
    for (std::size_t v = 0; v < pictures.size(); ++v)
      cells.push_back({std::move(pictures[v]),
                       FrameLabel(model, frame) + " " + request.views[v].name});
  }
  const double views = double(request.views.size());
  const double perRow = std::round(std::sqrt(double(cells.size())) / views);
  return ContactSheet(title, cells, int(views * std::max(1.0, perRow)));
}

std::vector<RgbImage> ModelAnimation(const md2::Model& model, const ModelPictureRequest& request,
                                     std::string& problem) {
  const ModelDrawing drawing(model);
  problem = drawing.problem();
  const std::vector<ViewFit> fits = FitFrames(model, request);
  std::vector<RgbImage> frames;
  for (const int frame : request.frames) {
    std::vector<RgbImage> pictures = DrawFrame(drawing, request, fits, frame);
    std::vector<SheetCell> cells;
    for (std::size_t v = 0; v < pictures.size(); ++v)
      cells.push_back({std::move(pictures[v]), request.views[v].name});
    frames.push_back(ContactSheet(FrameLabel(model, frame), cells, int(cells.size())));
  }
  return frames;
}

}  // namespace vexo::render
