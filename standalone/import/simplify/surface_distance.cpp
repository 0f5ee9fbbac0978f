#include "standalone/import/simplify/surface_distance.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vexo {
namespace {

struct Vec {
  double x, y, z;
};
Vec Of(const Point3& p) { return {p.x, p.y, p.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Get(const Point3& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

// The nearest point of triangle abc to p, by the region of the triangle's
// plane that p projects into (vertex, edge or face).
Vec ClosestOnTriangle(Vec p, Vec a, Vec b, Vec c) {
  const Vec ab = b - a, ac = c - a, ap = p - a;
  const double d1 = Dot(ab, ap), d2 = Dot(ac, ap);
  if (d1 <= 0 && d2 <= 0) return a;
  const Vec bp = p - b;
  const double d3 = Dot(ab, bp), d4 = Dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) return b;
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) return a + (d1 / (d1 - d3)) * ab;
  const Vec cp = p - c;
  const double d5 = Dot(ab, cp), d6 = Dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) return c;
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) return a + (d2 / (d2 - d6)) * ac;
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
    return b + ((d4 - d3) / ((d4 - d3) + (d5 - d6))) * (c - b);
  }
  const double sum = va + vb + vc;
  if (!(sum > 0)) return a;  // no area: a line or a point
  return a + (vb / sum) * ab + (vc / sum) * ac;
}

}  // namespace

SurfaceDistance::SurfaceDistance(const std::vector<Point3>& positions, std::vector<Triangle> triangles)
    : positions_(positions), triangles_(std::move(triangles)), seen_(triangles_.size(), 0) {
  if (triangles_.empty()) return;
  double low[3], high[3];
  for (int a = 0; a < 3; ++a) {
    low[a] = std::numeric_limits<double>::infinity();
    high[a] = -low[a];
  }
  for (const Triangle& t : triangles_) {
    for (std::uint32_t v : t) {
      for (int a = 0; a < 3; ++a) {
        low[a] = std::min(low[a], Get(positions_[v], a));
        high[a] = std::max(high[a], Get(positions_[v], a));
      }
    }
  }
  for (int a = 0; a < 3; ++a) {
    if (!std::isfinite(low[a]) || !std::isfinite(high[a])) {
      triangles_.clear();  // no surface to measure against
      return;
    }
  }
  // Cells about the size of a triangle: a query then measures the few
  // triangles round its point. At most 256 cells a side.
  double area = 0, largest = 0;
  for (const Triangle& t : triangles_) {
    const Vec a = Of(positions_[t[0]]), u = Of(positions_[t[1]]) - a, w = Of(positions_[t[2]]) - a;
    const Vec cross{u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
    area += 0.5 * std::sqrt(Dot(cross, cross));
  }
  for (int a = 0; a < 3; ++a) largest = std::max(largest, high[a] - low[a]);
  largest = std::max(largest, 1e-9);
  cell_ = std::max(std::sqrt(area / static_cast<double>(triangles_.size())), largest / 255);
  for (int a = 0; a < 3; ++a) {
    origin_[a] = low[a];
    size_[a] = static_cast<int>(std::clamp((high[a] - low[a]) / cell_ + 1, 1.0, 256.0));
  }

  auto cellRange = [this](const Triangle& t, int a, int& from, int& to) {
    double lo = Get(positions_[t[0]], a), hi = lo;
    for (std::uint32_t v : t) {
      lo = std::min(lo, Get(positions_[v], a));
      hi = std::max(hi, Get(positions_[v], a));
    }
    from = static_cast<int>(std::clamp((lo - origin_[a]) / cell_, 0.0, size_[a] - 1.0));
    to = static_cast<int>(std::clamp((hi - origin_[a]) / cell_, 0.0, size_[a] - 1.0));
  };
  const std::size_t cells = static_cast<std::size_t>(size_[0]) * size_[1] * size_[2];
  std::vector<std::uint32_t> counts(cells + 1, 0);
  for (int pass = 0; pass < 2; ++pass) {
    for (std::uint32_t i = 0; i < triangles_.size(); ++i) {
      int from[3], to[3];
      for (int a = 0; a < 3; ++a) cellRange(triangles_[i], a, from[a], to[a]);
      for (int z = from[2]; z <= to[2]; ++z) {
        for (int y = from[1]; y <= to[1]; ++y) {
          for (int x = from[0]; x <= to[0]; ++x) {
            const std::size_t c = (static_cast<std::size_t>(z) * size_[1] + y) * size_[0] + x;
            if (pass == 0) {
              ++counts[c + 1];
            } else {
              cellTriangles_[counts[c]++] = i;
            }
          }
        }
      }
    }
    if (pass == 0) {
      for (std::size_t c = 0; c < cells; ++c) counts[c + 1] += counts[c];
      cellStart_ = counts;
      cellTriangles_.resize(counts[cells]);
    }
  }
}

double SurfaceDistance::ToTriangle(const Point3& p, const Triangle& t) const {
  const Vec q = Of(p);
  const Vec d = q - ClosestOnTriangle(q, Of(positions_[t[0]]), Of(positions_[t[1]]), Of(positions_[t[2]]));
  return std::sqrt(Dot(d, d));
}

double SurfaceDistance::From(const Point3& p) const {
  double best = std::numeric_limits<double>::infinity();
  if (triangles_.empty() || !std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return best;
  if (++query_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    query_ = 1;
  }
  int centre[3];
  for (int a = 0; a < 3; ++a) {
    const double offset = std::floor((Get(p, a) - origin_[a]) / cell_);
    centre[a] = static_cast<int>(std::clamp(offset, 0.0, size_[a] - 1.0));
  }
  const int rings = std::max({size_[0], size_[1], size_[2]});
  for (int r = 0; r < rings; ++r) {
    for (int z = centre[2] - r; z <= centre[2] + r; ++z) {
      if (z < 0 || z >= size_[2]) continue;
      for (int y = centre[1] - r; y <= centre[1] + r; ++y) {
        if (y < 0 || y >= size_[1]) continue;
        const bool shellYz = std::abs(z - centre[2]) == r || std::abs(y - centre[1]) == r;
        for (int x = centre[0] - r; x <= centre[0] + r; x += (shellYz || r == 0) ? 1 : 2 * r) {
          if (x < 0 || x >= size_[0]) continue;
          const std::size_t c = (static_cast<std::size_t>(z) * size_[1] + y) * size_[0] + x;
          if (cellStart_[c] == cellStart_[c + 1]) continue;
          // A triangle nearer than the best so far has its nearest point in
          // a cell nearer than that, and is listed there too.
          const int at[3] = {x, y, z};
          double gap = 0;
          for (int a = 0; a < 3; ++a) {
            const double low = origin_[a] + at[a] * cell_, high = low + cell_;
            const double d = std::max({low - Get(p, a), 0.0, Get(p, a) - high});
            gap += d * d;
          }
          if (gap >= best * best) continue;
          for (std::uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
            const std::uint32_t i = cellTriangles_[k];
            if (seen_[i] == query_) continue;
            seen_[i] = query_;
            best = std::min(best, ToTriangle(p, triangles_[i]));
          }
        }
      }
    }
    // Every triangle not yet measured lies in cells beyond the block
    // searched; stop when none of them can be nearer.
    double unsearched = std::numeric_limits<double>::infinity();
    for (int a = 0; a < 3; ++a) {
      if (centre[a] - r > 0) {
        unsearched = std::min(unsearched, std::max(0.0, Get(p, a) - (origin_[a] + (centre[a] - r) * cell_)));
      }
      if (centre[a] + r < size_[a] - 1) {
        unsearched = std::min(unsearched, std::max(0.0, origin_[a] + (centre[a] + r + 1) * cell_ - Get(p, a)));
      }
    }
    if (best <= unsearched) break;
  }
  return best;
}

}  // namespace vexo
