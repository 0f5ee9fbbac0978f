#include "standalone/render/view.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vexo::render {
namespace {

constexpr double kRadians = 3.14159265358979323846 / 180.0;

bool Finite(const std::array<float, 3>& p) {
  return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

}  // namespace

const std::vector<View>& KnownViews() {
  static const std::vector<View> views = {
      {"front", "front", 180, 0}, {"side", "side", 90, 0}, {"back", "back", 0, 0},
      {"top", "top", 180, 90},    {"three-quarter", "3/4", 135, 20}};
  return views;
}

std::optional<View> FindView(const std::string& name) {
  for (const View& view : KnownViews())
    if (view.name == name) return view;
  return std::nullopt;
}

std::string ViewNames() {
  std::string names;
  for (const View& view : KnownViews()) names += (names.empty() ? "" : ", ") + view.name;
  return names;
}

ViewPoint See(const View& view, const std::array<float, 3>& point) {
  // The model turned by its yaw about z ...
  const double yaw = view.yawDegrees * kRadians;
  const double x = std::cos(yaw) * point[0] - std::sin(yaw) * point[1];
  const double y = std::sin(yaw) * point[0] + std::cos(yaw) * point[1];
  const double z = point[2];
  // ... seen by a camera that looks along +x, tilted down by the pitch:
  // forward (cos, 0, -sin), right (0, -1, 0), up (sin, 0, cos).
  const double pitch = view.pitchDegrees * kRadians;
  return {-y, std::sin(pitch) * x + std::cos(pitch) * z,
          std::cos(pitch) * x - std::sin(pitch) * z};
}

std::vector<ViewFit> FitViews(const std::vector<View>& views,
                              const std::vector<std::array<float, 3>>& points, int size) {
  constexpr double kMargin = 0.06;  // of the picture, on each side
  std::vector<ViewFit> fits;
  double largest = 0;
  for (const View& view : views) {
    double lo[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    double hi[2] = {-lo[0], -lo[1]};
    for (const auto& point : points) {
      if (!Finite(point)) continue;
      const ViewPoint p = See(view, point);
      lo[0] = std::min(lo[0], p.right), hi[0] = std::max(hi[0], p.right);
      lo[1] = std::min(lo[1], p.up), hi[1] = std::max(hi[1], p.up);
    }
    ViewFit fit;
    fit.size = size;
    if (lo[0] <= hi[0]) {
      fit.centreRight = (lo[0] + hi[0]) / 2;
      fit.centreUp = (lo[1] + hi[1]) / 2;
      largest = std::max({largest, hi[0] - lo[0], hi[1] - lo[1]});
    }
    fits.push_back(fit);
  }
  const double scale = largest > 0 && std::isfinite(largest) ? size * (1 - 2 * kMargin) / largest : 1;
  for (ViewFit& fit : fits) fit.scale = scale;
  return fits;
}

}  // namespace vexo::render
