#include "standalone/skin/texel_coverage.h"

#include <algorithm>
#include <cmath>

namespace vexo::skin {
namespace {

int Wrap(long v, int size) {
  const long m = v % size;
  return int(m < 0 ? m + size : m);
}

}  // namespace

std::vector<bool> UsedTexels(const md2::Model& model, int width, int height) {
  std::vector<bool> used(std::size_t(std::max(width, 0)) * std::max(height, 0), false);
  if (width <= 0 || height <= 0) return used;
  auto mark = [&](long x, long y) { used[std::size_t(Wrap(y, height)) * width + Wrap(x, width)] = true; };
  // Positions are pixels of the skin size in the header; the GL renderer
  // maps them, as fractions, onto the picture it loaded.
  const Md2Header& h = model.header;
  const double toWidth = h.skinWidth > 0 ? double(width) / h.skinWidth : 1.0;
  const double toHeight = h.skinHeight > 0 ? double(height) / h.skinHeight : 1.0;
  for (const Md2Triangle& triangle : model.triangles) {
    double s[3], t[3];
    bool inList = true;
    for (int k = 0; k < 3; ++k) {
      if (triangle.texCoordIndex[k] >= model.texCoords.size()) inList = false;
      if (!inList) break;
      s[k] = model.texCoords[triangle.texCoordIndex[k]].s * toWidth;
      t[k] = model.texCoords[triangle.texCoordIndex[k]].t * toHeight;
      mark(long(std::floor(s[k])), long(std::floor(t[k])));
    }
    if (!inList) continue;
    const double area = (s[1] - s[0]) * (t[2] - t[0]) - (s[2] - s[0]) * (t[1] - t[0]);
    if (area == 0) continue;
    // A triangle spanning the skin many times over (positions far outside
    // it) is looked at over two repeats at most, so that no file can make
    // this take long.
    const long x0 = long(std::floor(std::min({s[0], s[1], s[2]})));
    const long x1 = std::min(long(std::ceil(std::max({s[0], s[1], s[2]}))), x0 + 2L * width);
    const long y0 = long(std::floor(std::min({t[0], t[1], t[2]})));
    const long y1 = std::min(long(std::ceil(std::max({t[0], t[1], t[2]}))), y0 + 2L * height);
    for (long y = y0; y < y1; ++y) {
      for (long x = x0; x < x1; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        // Edge functions, all of the area's sign (or zero) inside.
        const double e0 = (s[1] - s[0]) * (py - t[0]) - (px - s[0]) * (t[1] - t[0]);
        const double e1 = (s[2] - s[1]) * (py - t[1]) - (px - s[1]) * (t[2] - t[1]);
        const double e2 = (s[0] - s[2]) * (py - t[2]) - (px - s[2]) * (t[0] - t[2]);
        const bool inside = area > 0 ? (e0 >= 0 && e1 >= 0 && e2 >= 0)
                                     : (e0 <= 0 && e1 <= 0 && e2 <= 0);
        if (inside) mark(x, y);
      }
    }
  }
  return used;
}

}  // namespace vexo::skin
