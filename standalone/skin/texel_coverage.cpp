#include "standalone/skin/texel_coverage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vexo::skin {
namespace {

int Wrap(long v, int size) {
  if (v >= 0 && v < size) return int(v);  // nearly always: a division is slow
  const long m = v % size;
  return int(m < 0 ? m + size : m);
}

// The columns [from, to) of a row whose test holds, for a test that holds
// on an unbroken run of columns reaching one end of [from, to) or none.
// The test changes near `guess` (a column, as a fraction, or not a number
// when unknown): two neighbouring columns there that disagree settle it.
// Otherwise the change is found by halving instead of trying every column.
template <typename Test>
void NarrowToRun(Test holds, double guess, long& from, long& to) {
  if (from >= to) return;
  if (guess >= double(from) && guess < double(to - 1)) {  // false for not a number
    const long left = long(std::floor(guess));
    const bool leftHolds = holds(left);
    if (leftHolds != holds(left + 1)) {
      (leftHolds ? to : from) = left + 1;
      return;
    }
  }
  const bool first = holds(from), last = holds(to - 1);
  if (first && last) return;
  if (!first && !last) {
    to = from;
    return;
  }
  // The boundary lies between `same`, where the test gives what it gives at
  // `from`, and `other`, where it does not.
  long same = from, other = to - 1;
  while (other - same > 1) {
    const long middle = same + (other - same) / 2;
    (holds(middle) == first ? same : other) = middle;
  }
  if (first) to = same + 1;
  else from = other;
}

}  // namespace

std::vector<std::uint8_t> UsedTexels(const md2::Model& model, int width, int height) {
  std::vector<std::uint8_t> used(std::size_t(std::max(width, 0)) * std::max(height, 0), 0);
  if (width <= 0 || height <= 0) return used;
  auto mark = [&](long x, long y) { used[std::size_t(Wrap(y, height)) * width + Wrap(x, width)] = 1; };
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
    // Edge functions, all of the area's sign (or zero) inside; flipped for
    // a negative area so that one test serves both windings. Each, as
    // computed, changes monotonically along a row (every step of it rounds
    // monotonically), so the columns inside form one run, found edge by
    // edge with the very same arithmetic as a test of every column.
    const double sign = area > 0 ? 1.0 : -1.0;
    // Where each edge crosses a row, as a column per row: only a guess,
    // confirmed by the tests (infinite or not a number for a level edge).
    const double slope0 = (s[1] - s[0]) / (t[1] - t[0]);
    const double slope1 = (s[2] - s[1]) / (t[2] - t[1]);
    const double slope2 = (s[0] - s[2]) / (t[0] - t[2]);
    for (long y = y0; y < y1; ++y) {
      const double py = y + 0.5;
      const double r0 = (s[1] - s[0]) * (py - t[0]);
      const double r1 = (s[2] - s[1]) * (py - t[1]);
      const double r2 = (s[0] - s[2]) * (py - t[2]);
      long from = x0, to = x1;
      // Each edge's test changes where the edge crosses the row: at the
      // column x with x + 0.5 = s + r / dt.
      NarrowToRun([&](long x) { return sign * (r0 - ((x + 0.5) - s[0]) * (t[1] - t[0])) >= 0; },
                  s[0] - 0.5 + (py - t[0]) * slope0, from, to);
      NarrowToRun([&](long x) { return sign * (r1 - ((x + 0.5) - s[1]) * (t[2] - t[1])) >= 0; },
                  s[1] - 0.5 + (py - t[1]) * slope1, from, to);
      NarrowToRun([&](long x) { return sign * (r2 - ((x + 0.5) - s[2]) * (t[0] - t[2])) >= 0; },
                  s[2] - 0.5 + (py - t[2]) * slope2, from, to);
      if (from >= to) continue;
      std::uint8_t* row = &used[std::size_t(Wrap(y, height)) * width];
      for (long left = to - from, column = Wrap(from, width); left > 0; column = 0) {
        const long run = std::min(left, width - column);  // up to the row's end, then wrapped
        std::memset(row + column, 1, std::size_t(run));
        left -= run;
      }
    }
  }
  return used;
}

}  // namespace vexo::skin
