#include "standalone/finish/player_icon.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "standalone/skin/skin_damage.h"

namespace vexo::finish {
namespace {

// A corner on the icon: x right, y down, depth toward the viewer, and its
// place in the skin picture.
struct Corner {
  double x, y, depth, s, t;
};

int Wrap(double v, int size) {
  const long m = long(std::floor(v)) % size;
  return int(m < 0 ? m + size : m);
}

}  // namespace

skin::PcxPicture DrawPlayerIcon(const md2::Model& model, const skin::PcxPicture& skin) {
  constexpr int n = kPlayerIconSize;
  skin::PcxPicture icon = skin::MakePcx(n, n, skin.palette, skin::kTransparentIndex);
  if (model.frames.empty() || skin.width() <= 0 || skin.height() <= 0) return icon;
  const md2::Frame& frame = model.frames[0];

  // A model faces +x and stands on z: seen from the front, +y is to the
  // right and +z up. The frame's extent fills the icon but for a pixel.
  double minY = std::numeric_limits<double>::max(), maxY = -minY, minZ = minY, maxZ = -minY;
  for (std::size_t v = 0; v < frame.vertices.size(); ++v) {
    const auto p = frame.Position(v);
    minY = std::min(minY, double(p[1]));
    maxY = std::max(maxY, double(p[1]));
    minZ = std::min(minZ, double(p[2]));
    maxZ = std::max(maxZ, double(p[2]));
  }
  const double extent = std::max({maxY - minY, maxZ - minZ, 1e-6});
  const double scale = (n - 2) / extent;
  const double left = (n - (maxY - minY) * scale) / 2, top = (n - (maxZ - minZ) * scale) / 2;
  const Md2Header& h = model.header;
  const double toS = h.skinWidth > 0 ? double(skin.width()) / h.skinWidth : 1.0;
  const double toT = h.skinHeight > 0 ? double(skin.height()) / h.skinHeight : 1.0;

  std::vector<double> depth(std::size_t(n) * n, -std::numeric_limits<double>::max());
  for (const Md2Triangle& triangle : model.triangles) {
    Corner c[3];
    for (int k = 0; k < 3; ++k) {
      const auto p = frame.Position(triangle.vertexIndex[k]);
      const Md2TexCoord& st = model.texCoords[triangle.texCoordIndex[k]];
      c[k] = {left + (p[1] - minY) * scale, top + (maxZ - p[2]) * scale, p[0], st.s * toS,
              st.t * toT};
    }
    const double area = (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[2].x - c[0].x) * (c[1].y - c[0].y);
    if (area == 0) continue;
    const int x0 = std::max(0, int(std::floor(std::min({c[0].x, c[1].x, c[2].x}))));
    const int x1 = std::min(n - 1, int(std::ceil(std::max({c[0].x, c[1].x, c[2].x}))));
    const int y0 = std::max(0, int(std::floor(std::min({c[0].y, c[1].y, c[2].y}))));
    const int y1 = std::min(n - 1, int(std::ceil(std::max({c[0].y, c[1].y, c[2].y}))));
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        // Barycentric weights of the pixel's centre.
        const double w0 = ((c[1].x - px) * (c[2].y - py) - (c[2].x - px) * (c[1].y - py)) / area;
        const double w1 = ((c[2].x - px) * (c[0].y - py) - (c[0].x - px) * (c[2].y - py)) / area;
        const double w2 = 1 - w0 - w1;
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        const double d = w0 * c[0].depth + w1 * c[1].depth + w2 * c[2].depth;
        double& nearest = depth[std::size_t(y) * n + x];
        if (d <= nearest) continue;
        nearest = d;
        const double s = w0 * c[0].s + w1 * c[1].s + w2 * c[2].s;
        const double t = w0 * c[0].t + w1 * c[1].t + w2 * c[2].t;
        icon.At(x, y) = skin.At(Wrap(s, skin.width()), Wrap(t, skin.height()));
      }
    }
  }
  return icon;
}

}  // namespace vexo::finish
