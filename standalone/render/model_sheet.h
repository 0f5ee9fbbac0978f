// Pictures of a model's frames in chosen views: a contact sheet with every
// frame in every view, or one picture per frame (its views side by side)
// for an animation. All are drawn at one scale, fitted to every chosen
// frame, so that the model does not jump in size from frame to frame.
#pragma once

#include <string>
#include <vector>

#include "standalone/md2/md2_model.h"
#include "standalone/pictures/picture.h"
#include "standalone/render/raster.h"
#include "standalone/render/view.h"

namespace vexo::render {

struct ModelPictureRequest {
  std::vector<int> frames;  // frame numbers of the model
  std::vector<View> views;
  int size = 128;             // pixels a side of each view
  const Texture* skin = nullptr;
  bool gameLighting = true;   // false: every vertex at full light
};

// "40 run1".
std::string FrameLabel(const md2::Model& model, int frame);

// Every frame in every view, labelled with the frame's number, name and the
// view; frames in rows, as many to a row as keep the sheet roughly square.
// `problem` gets why the GL renderer would not draw all of the model.
RgbImage ModelSheet(const md2::Model& model, const ModelPictureRequest& request,
                    const std::string& title, std::string& problem);

// One picture per frame: its views side by side under the frame's label.
std::vector<RgbImage> ModelAnimation(const md2::Model& model, const ModelPictureRequest& request,
                                     std::string& problem);

}  // namespace vexo::render
