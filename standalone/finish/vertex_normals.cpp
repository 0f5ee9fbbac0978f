#include "standalone/finish/vertex_normals.h"

#include <cmath>
#include <vector>

#include "standalone/md2/normal_directions.h"

namespace vexo::finish {
namespace {

struct Vec {
  double x = 0, y = 0, z = 0;
};
Vec Sub(const std::array<float, 3>& a, const std::array<float, 3>& b) {
  return {double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]};
}
Vec Cross(const Vec& a, const Vec& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace

void SetVertexNormals(md2::Model& model) {
  const std::size_t count = std::size_t(model.header.numVertices);
  std::vector<std::array<float, 3>> positions(count);
  std::vector<Vec> sums(count);
  for (md2::Frame& frame : model.frames) {
    for (std::size_t v = 0; v < count; ++v) positions[v] = frame.Position(v);
    std::fill(sums.begin(), sums.end(), Vec{});
    for (const Md2Triangle& t : model.triangles) {
      const auto& p0 = positions[t.vertexIndex[0]];
      // The game's front faces wind clockwise seen from outside (its
      // renderers cull the others), so (p2 - p0) x (p1 - p0) points out;
      // its length is twice the triangle's area.
      const Vec n = Cross(Sub(positions[t.vertexIndex[2]], p0), Sub(positions[t.vertexIndex[1]], p0));
      for (std::uint16_t v : t.vertexIndex) {
        sums[v].x += n.x;
        sums[v].y += n.y;
        sums[v].z += n.z;
      }
    }
    for (std::size_t v = 0; v < count; ++v) {
      const Vec& s = sums[v];
      const double length = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
      if (!(length > 0)) continue;
      frame.vertices[v].normalIndex = static_cast<std::uint8_t>(md2::NearestNormalIndex(
          float(s.x / length), float(s.y / length), float(s.z / length)));
    }
  }
}

}  // namespace vexo::finish
