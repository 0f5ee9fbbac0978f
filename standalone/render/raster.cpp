#include "standalone/render/raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vexo::render {
namespace {

// Corners snap to 1/16 pixel, as GL implementations snap to sub-pixels;
// edge functions are then exact in 64-bit integers.
constexpr double kSubPixels = 16;
// Corners farther off the canvas than this are not drawn (their triangles
// would be mostly off it), which also keeps the integers small.
constexpr double kFarthest = 1 << 20;

struct Fixed {
  std::int64_t x, y;
};

// Twice the signed area of (a, b, p), positive when a, b, p run clockwise
// on the canvas (y grows downwards).
std::int64_t Edge(Fixed a, Fixed b, Fixed p) {
  return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

// Whether the edge from a to b is a top or a left edge of a clockwise
// triangle: a pixel centre exactly on it is covered.
bool TopOrLeft(Fixed a, Fixed b) {
  const std::int64_t dx = b.x - a.x, dy = b.y - a.y;
  return dy < 0 || (dy == 0 && dx > 0);
}

// The texel coordinate for f of a repeating texture of `size` texels.
int Texel(double f, int size) {
  const double texel = std::floor(f * size);
  if (!std::isfinite(texel)) return 0;
  double m = std::fmod(texel, double(size));
  if (m < 0) m += size;
  return std::min(int(m), size - 1);
}

// The pixels first ... last (within 0 ... size - 1) whose centres,
// (p + 0.5) * 16 in sub-pixels, lie from lo to hi.
void PixelRange(std::int64_t lo, std::int64_t hi, int size, int& first, int& last) {
  const auto floorDiv = [](std::int64_t v) { return v >= 0 ? v / 16 : -((-v + 15) / 16); };
  first = int(std::max<std::int64_t>(0, -floorDiv(8 - lo)));
  last = int(std::min<std::int64_t>(size - 1, floorDiv(hi - 8)));
}

std::uint8_t Lit(std::uint8_t value, double light) {
  return std::uint8_t(std::lround(value * std::clamp(light, 0.0, 1.0)));
}

}  // namespace

Canvas::Canvas(int width, int height, Rgb background)
    : depth_(std::size_t(width) * height, std::numeric_limits<double>::infinity()) {
  image_.width = width;
  image_.height = height;
  image_.pixels.resize(std::size_t(width) * height * 3);
  for (std::size_t i = 0; i < image_.pixels.size(); i += 3)
    std::copy(background.begin(), background.end(), image_.pixels.begin() + i);
}

bool Canvas::Covered(int x, int y) const {
  return std::isfinite(depth_[std::size_t(y) * image_.width + x]);
}

void Canvas::DrawTriangle(const RasterVertex (&corners)[3], const Texture* texture, Rgb colour,
                          bool cullBackFaces) {
  Fixed f[3];
  for (int k = 0; k < 3; ++k) {
    const RasterVertex& c = corners[k];
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.depth) ||
        std::fabs(c.x) > kFarthest || std::fabs(c.y) > kFarthest)
      return;
    f[k] = {std::llround(c.x * kSubPixels), std::llround(c.y * kSubPixels)};
  }
  std::int64_t area = Edge(f[0], f[1], f[2]);
  if (area == 0 || (cullBackFaces && area < 0)) return;
  // A counter-clockwise triangle drawn anyway is walked the other way round.
  int order[3] = {0, 1, 2};
  if (area < 0) {
    std::swap(order[1], order[2]);
    area = -area;
  }
  const Fixed a = f[order[0]], b = f[order[1]], c = f[order[2]];
  const RasterVertex& va = corners[order[0]];
  const RasterVertex& vb = corners[order[1]];
  const RasterVertex& vc = corners[order[2]];
  const bool biasA = TopOrLeft(b, c), biasB = TopOrLeft(c, a), biasC = TopOrLeft(a, b);

  int x0, x1, y0, y1;
  PixelRange(std::min({a.x, b.x, c.x}), std::max({a.x, b.x, c.x}), image_.width, x0, x1);
  PixelRange(std::min({a.y, b.y, c.y}), std::max({a.y, b.y, c.y}), image_.height, y0, y1);
  const bool textured = texture && texture->width > 0 && texture->height > 0;

  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const Fixed p{std::int64_t(x) * 16 + 8, std::int64_t(y) * 16 + 8};
      const std::int64_t wa = Edge(b, c, p), wb = Edge(c, a, p), wc = Edge(a, b, p);
      if (wa < 0 || wb < 0 || wc < 0) continue;
      if ((wa == 0 && !biasA) || (wb == 0 && !biasB) || (wc == 0 && !biasC)) continue;
      const double ka = double(wa) / area, kb = double(wb) / area, kc = 1 - ka - kb;
      const double depth = ka * va.depth + kb * vb.depth + kc * vc.depth;
      double& nearest = depth_[std::size_t(y) * image_.width + x];
      if (depth > nearest) continue;
      const double light = ka * va.light + kb * vb.light + kc * vc.light;
      Rgb texel = colour;
      if (textured) {
        const double s = ka * va.s + kb * vb.s + kc * vc.s;
        const double t = ka * va.t + kb * vb.t + kc * vc.t;
        const std::uint8_t* rgba =
            &texture->rgba[(std::size_t(Texel(t, texture->height)) * texture->width +
                            Texel(s, texture->width)) * 4];
        if (rgba[3] == 0) continue;  // cut out: neither colour nor depth is written
        texel = {rgba[0], rgba[1], rgba[2]};
      }
      nearest = depth;
      std::uint8_t* out = &image_.pixels[(std::size_t(y) * image_.width + x) * 3];
      for (int k = 0; k < 3; ++k) out[k] = Lit(texel[k], light);
    }
  }
}

}  // namespace vexo::render
