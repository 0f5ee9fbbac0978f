// The views a model is drawn in, and how model space maps to a picture.
// A view is the model turned on the spot before a fixed camera, as the
// game's player setup menu shows a model turning: the camera looks along
// +x with z up, the model is turned by the view's yaw (which also picks the
// GL renderer's lighting row), and the camera may look down at it.
// Drawing is orthographic, so that sizes can be compared across views.
// Model space is the MD2's: the model faces +x, +y is its left, z is up.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vexo::render {

struct View {
  std::string name;
  std::string shortName;    // for labels too narrow for the name
  double yawDegrees = 0;    // the model's turn about z
  double pitchDegrees = 0;  // how far the camera looks down
};

// front (the model faces the camera, its left on the picture's right),
// side (its left side, facing left), back, top (from above, its front
// towards the picture's bottom), three-quarter (front and left side,
// from a little above).
const std::vector<View>& KnownViews();
std::optional<View> FindView(const std::string& name);
// "front, side, back, top, three-quarter".
std::string ViewNames();

// A point seen in a view: right and up on the picture plane, depth away
// from the camera; in model units.
struct ViewPoint {
  double right = 0, up = 0, depth = 0;
};
ViewPoint See(const View& view, const std::array<float, 3>& point);

// Where a view's picture plane lies in a square picture of `size` pixels.
struct ViewFit {
  int size = 0;
  double scale = 1;              // pixels a model unit
  double centreRight = 0, centreUp = 0;  // drawn at the picture's centre
  // x right and y down in pixels.
  double X(const ViewPoint& p) const { return size / 2.0 + (p.right - centreRight) * scale; }
  double Y(const ViewPoint& p) const { return size / 2.0 - (p.up - centreUp) * scale; }
};

// One fit per view for pictures of `size` pixels: every point fits inside a
// margin, each view centred on its points, and one scale for all views, so
// that the same length is as long in every picture. Points that are not
// finite numbers are left out.
std::vector<ViewFit> FitViews(const std::vector<View>& views,
                              const std::vector<std::array<float, 3>>& points, int size);

}  // namespace vexo::render
