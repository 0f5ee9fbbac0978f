#include "standalone/import/simplify/reduction_error.h"

#include <algorithm>

namespace vexo {

double ReductionError(const std::vector<Point3>& pose, const SurfaceDistance& original,
                      const ReducedFaces& reduced) {
  std::vector<Triangle> triangles;
  std::vector<bool> kept(pose.size(), false);
  for (const Face& f : reduced.faces) {
    triangles.push_back({f.v[0], f.v[1], f.v[2]});
    for (std::uint32_t v : f.v) kept[v] = true;
  }
  const SurfaceDistance surface(pose, std::move(triangles));
  double largest = 0;
  for (const Face& f : reduced.faces) {
    const Point3 &a = pose[f.v[0]], &b = pose[f.v[1]], &c = pose[f.v[2]];
    largest = std::max(largest, original.From(Point3{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3,
                                                     (a.z + b.z + c.z) / 3}));
  }
  // Kept vertices lie on the reduced surface. (Every vertex of a welded
  // mesh is a corner of one of its faces.)
  for (std::size_t v = 0; v < pose.size(); ++v) {
    if (!kept[v]) largest = std::max(largest, surface.From(pose[v]));
  }
  return largest;
}

}  // namespace vexo
