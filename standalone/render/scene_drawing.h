// The host's scene drawn as the plug-in sees it, to set beside the model it
// was exported to: the nodes the plug-in lists (selected, with a material),
// posed at a host time, turned into the model's axes and scaled as the
// model writer turns them ((x, y, z) becomes (-y, x, z) times the scale),
// each face with its material's diffuse bitmap at its corners' u and v
// (v up from the picture's bottom, as the host maps them) and lit by its
// own direction through the lighting table the model is lit with. Faces
// keep the winding the model gets, so the same faces are culled.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "standalone/memory_scene.h"
#include "standalone/render/raster.h"
#include "standalone/render/view.h"

namespace vexo::render {

class SceneDrawing {
 public:
  SceneDrawing(MemoryScene& scene, float scale);

  // Every vertex of the drawn nodes at time t, in the model's axes.
  std::vector<std::array<float, 3>> Points(TimeValue t) const;

  // Draws the nodes as they stand at time t. Bitmaps are read once; faces
  // whose bitmap cannot be read are drawn without one.
  void Draw(Canvas& canvas, TimeValue t, const View& view, const ViewFit& fit,
            bool gameLighting);

  // The bitmaps that could not be read, each with why.
  std::vector<std::string> problems() const;

 private:
  const Texture* BitmapOf(MemoryNode& node, const Face& face);

  std::vector<MemoryNode*> nodes_;
  float scale_;
  std::map<std::string, Texture> bitmaps_;  // by file name; empty when unreadable
  std::map<std::string, std::string> unreadable_;
};

}  // namespace vexo::render
