// The picture a conversion is checked with: for chosen model frames, the
// host's scene as it stood at the time the frame was sampled beside the
// written model's frame as the game's GL renderer draws it, in the same
// view at the same scale.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "standalone/md2/md2_model.h"
#include "standalone/memory_scene.h"
#include "standalone/pictures/picture.h"
#include "standalone/render/raster.h"
#include "standalone/render/view.h"

namespace vexo::render {

struct PreviewFrame {
  int modelFrame = 0;
  TimeValue hostTime = 0;  // when the plug-in sampled the scene for it
  std::string sceneLabel;  // that moment for the user: "scene frame 40"
  // Puts on the timeline what the frame was sampled from (a clip spread
  // over a frame range); empty when the timeline stays as it is.
  std::function<void()> setTimeline;
};

struct PreviewRequest {
  std::vector<PreviewFrame> frames;
  std::vector<View> views;
  int size = 160;
  float scale = 1;  // the export's scale
  const Texture* skin = nullptr;
};

// One row per frame: for each view, the scene and then the model. Problems
// (bitmaps that could not be read, a GL command list the renderer would
// not draw whole) are added to `problems`.
RgbImage PreviewSheet(MemoryScene& scene, const md2::Model& model, const PreviewRequest& request,
                      const std::string& title, std::vector<std::string>& problems);

}  // namespace vexo::render
