// The distance from a point to the nearest point of a triangle mesh's
// surface, for measuring how far a reduced mesh lies from the original.
// Triangles are sorted into a uniform grid; a query searches the cells
// round the point, ring by ring, until no unsearched cell can be nearer.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "plugin/host/geometry.h"

namespace vexo {

using Triangle = std::array<std::uint32_t, 3>;

class SurfaceDistance {
 public:
  // positions must outlive this object; triangles name three of them.
  SurfaceDistance(const std::vector<Point3>& positions, std::vector<Triangle> triangles);

  // The distance from p to the nearest triangle; infinity without any (a
  // mesh with a position that is no finite number has none).
  double From(const Point3& p) const;

 private:
  double ToTriangle(const Point3& p, const Triangle& t) const;

  const std::vector<Point3>& positions_;
  std::vector<Triangle> triangles_;
  double origin_[3] = {0, 0, 0};
  double cell_ = 1;
  int size_[3] = {1, 1, 1};
  // The triangles of cell c: cellTriangles_[cellStart_[c] .. cellStart_[c + 1]).
  std::vector<std::uint32_t> cellStart_;
  std::vector<std::uint32_t> cellTriangles_;
  // Which query last measured each triangle, so that a query measures
  // a triangle in several cells once.
  mutable std::vector<std::uint32_t> seen_;
  mutable std::uint32_t query_ = 0;
};

}  // namespace vexo
