#include "standalone/render/model_sheet.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "standalone/render/contact_sheet.h"
#include "standalone/render/label_text.h"
#include "standalone/render/model_drawing.h"

namespace vexo::render {
namespace {

std::vector<ViewFit> FitFrames(const md2::Model& model, const ModelPictureRequest& request) {
  std::vector<std::array<float, 3>> points;
  for (const int frame : request.frames) {
    const auto positions = model.frames.at(std::size_t(frame)).Positions();
    points.insert(points.end(), positions.begin(), positions.end());
  }
  return FitViews(request.views, points, request.size);
}

// Every requested frame in every view, all at one fit: each frame's
// pictures, in the order of the views, go to `take`.
void DrawFrames(const md2::Model& model, const ModelPictureRequest& request, std::string& problem,
                const std::function<void(int, std::vector<RgbImage>)>& take) {
  const ModelDrawing drawing(model);
  problem = drawing.problem();
  const std::vector<ViewFit> fits = FitFrames(model, request);
  for (const int frame : request.frames) {
    std::vector<RgbImage> pictures;
    for (std::size_t v = 0; v < request.views.size(); ++v) {
      Canvas canvas(request.size, request.size, kBackground);
      drawing.Draw(canvas, std::size_t(frame), request.views[v], fits[v], request.skin,
                   request.gameLighting);
      pictures.push_back(canvas.TakeImage());
    }
    take(frame, std::move(pictures));
  }
}

// Labels of "frame name view", with the views' short names on every cell
// when any whole label would be cut off at its cell's edge.
std::vector<std::string> CellLabels(const md2::Model& model, const std::vector<int>& frames,
                                    const std::vector<View>& views, int cellWidth) {
  std::vector<std::string> labels;
  bool cut = false;
  for (int frame : frames)
    for (const View& view : views) {
      labels.push_back(FrameLabel(model, frame) + " " + view.name);
      cut = cut || TextWidth(labels.back()) >= cellWidth;
    }
  if (!cut) return labels;
  labels.clear();
  for (int frame : frames)
    for (const View& view : views) labels.push_back(FrameLabel(model, frame) + " " + view.shortName);
  return labels;
}

}  // namespace

std::string FrameLabel(const md2::Model& model, int frame) {
  return std::to_string(frame) + " " + model.frames.at(std::size_t(frame)).Name();
}

RgbImage ModelSheet(const md2::Model& model, const ModelPictureRequest& request,
                    const std::string& title, std::string& problem) {
  std::vector<SheetCell> cells;
  std::vector<int> frames;
  DrawFrames(model, request, problem, [&](int frame, std::vector<RgbImage> pictures) {
    frames.push_back(frame);
    for (RgbImage& picture : pictures) cells.push_back({std::move(picture), ""});
  });
  const std::vector<std::string> labels = CellLabels(model, frames, request.views, request.size);
  for (std::size_t i = 0; i < cells.size() && i < labels.size(); ++i) cells[i].label = labels[i];
  const double views = double(request.views.size());
  const double perRow = std::round(std::sqrt(double(cells.size())) / views);
  return ContactSheet(title, cells, int(views * std::max(1.0, perRow)));
}

std::vector<RgbImage> ModelAnimation(const md2::Model& model, const ModelPictureRequest& request,
                                     std::string& problem) {
  std::vector<RgbImage> frames;
  DrawFrames(model, request, problem, [&](int frame, std::vector<RgbImage> pictures) {
    std::vector<SheetCell> cells;
    for (std::size_t v = 0; v < pictures.size(); ++v)
      cells.push_back({std::move(pictures[v]), request.views[v].name});
    frames.push_back(ContactSheet(FrameLabel(model, frame), cells, int(cells.size())));
  });
  return frames;
}

}  // namespace vexo::render
