#include "texture/palette_search.h"

#include <cmath>
#include <new>

#include "texture/skin_palette.h"

// The colour cube is cut into 32 x 32 x 32 cells of 8 x 8 x 8 colours. Each
// cell lists, in index order, every entry that can be nearest to some colour
// of the cell: an entry whose smallest distance to the cell exceeds the
// largest distance of some other entry to the whole cell is strictly farther
// than that entry from every colour in it, so it can never win nor tie.
// Scanning a cell's list with a strict "closer" test therefore gives the
// full scan's answer, ties included. Lists average about four entries.
//
// Distances are compared squared, as integers: the square root is monotonic
// and the squares of colour differences are exact, so the order (and every
// tie) is the same as with the square roots the full scan takes.

namespace {

constexpr int kCellShift = 3;
constexpr int kCellsPerSide = 256 >> kCellShift;
constexpr int kCellCount = kCellsPerSide * kCellsPerSide * kCellsPerSide;
// The lists are built from those of coarse cells of 32 x 32 x 32 colours:
// an entry ruled out for a cell is ruled out for every part of it.
constexpr int kCoarseShift = 5;
constexpr int kFinePerCoarse = 1 << (kCoarseShift - kCellShift);

struct ColourBox {
  int lo[3];  // inclusive bounds per channel: red, green, blue
  int hi[3];
};

ColourBox BoxOf(int red, int green, int blue, int shift) {
  const int size = 1 << shift;
  ColourBox box;
  const int corner[3] = {red << shift, green << shift, blue << shift};
  for (int k = 0; k < 3; ++k) {
    box.lo[k] = corner[k];
    box.hi[k] = corner[k] + size - 1;
  }
  return box;
}

int NearGap(int value, int lo, int hi) { return value < lo ? lo - value : value > hi ? value - hi : 0; }
int FarGap(int value, int lo, int hi) {
  return value - lo > hi - value ? value - lo : hi - value;
}

// Squared distance from an entry to the nearest and to the farthest colour
// of the box.
void DistanceRange(const SkinPaletteEntry& e, const ColourBox& box, int* nearest, int* farthest) {
  const int value[3] = {e.red, e.green, e.blue};
  int n = 0;
  int f = 0;
  for (int k = 0; k < 3; ++k) {
    const int near = NearGap(value[k], box.lo[k], box.hi[k]);
    const int far = FarGap(value[k], box.lo[k], box.hi[k]);
    n += near * near;
    f += far * far;
  }
  *nearest = n;
  *farthest = f;
}

// Writes to out (when not null) the entries of `from` that can be nearest
// to a colour of the box, keeping their order; returns their number.
int KeepCandidates(const ColourBox& box, const std::uint8_t* from, int fromCount,
                   std::uint8_t* out) {
  int nearest[256];
  int bound = 1 << 30;
  for (int i = 0; i < fromCount; ++i) {
    int farthest;
    DistanceRange(SkinPalette[from[i]], box, &nearest[i], &farthest);
    if (farthest < bound) bound = farthest;
  }
  int kept = 0;
  for (int i = 0; i < fromCount; ++i) {
    if (nearest[i] > bound) continue;
    if (out) out[kept] = from[i];
    ++kept;
  }
  return kept;
}

int CellIndex(int red, int green, int blue) {
  return (red >> kCellShift) * kCellsPerSide * kCellsPerSide + (green >> kCellShift) * kCellsPerSide +
         (blue >> kCellShift);
}

class CandidateGrid {
 public:
  CandidateGrid() {
    // Pass 1 counts each cell's list, pass 2 fills it.
    ForEachCell([this](int cell, const ColourBox& box, const std::uint8_t* from, int fromCount) {
      start_[cell + 1] = static_cast<std::uint32_t>(KeepCandidates(box, from, fromCount, nullptr));
    });
    start_[0] = 0;
    for (int cell = 0; cell < kCellCount; ++cell) start_[cell + 1] += start_[cell];
    entries_ = new (std::nothrow) std::uint8_t[start_[kCellCount]];
    if (!entries_) return;
    ForEachCell([this](int cell, const ColourBox& box, const std::uint8_t* from, int fromCount) {
      KeepCandidates(box, from, fromCount, entries_ + start_[cell]);
    });
  }
  ~CandidateGrid() { delete[] entries_; }
  CandidateGrid(const CandidateGrid&) = delete;
  CandidateGrid& operator=(const CandidateGrid&) = delete;

  bool ready() const { return entries_ != nullptr; }

  std::uint8_t Nearest(int red, int green, int blue) const {
    const int cell = CellIndex(red, green, blue);
    const std::uint8_t* entry = entries_ + start_[cell];
    const std::uint8_t* const end = entries_ + start_[cell + 1];
    std::uint8_t best = *entry;
    int bestDistance = 1 << 30;
    for (; entry != end; ++entry) {
      const SkinPaletteEntry& e = SkinPalette[*entry];
      const int dr = red - e.red;
      const int dg = green - e.green;
      const int db = blue - e.blue;
      const int d = dr * dr + dg * dg + db * db;
      if (d < bestDistance) {
        bestDistance = d;
        best = *entry;
      }
    }
    return best;
  }

 private:
  // Calls visit(cell, box, parent list, parent count) for every cell, with
  // the candidate list of the coarse cell that holds it.
  template <typename Visit>
  static void ForEachCell(Visit visit) {
    std::uint8_t all[256];
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    constexpr int coarsePerSide = 256 >> kCoarseShift;
    for (int cr = 0; cr < coarsePerSide; ++cr) {
      for (int cg = 0; cg < coarsePerSide; ++cg) {
        for (int cb = 0; cb < coarsePerSide; ++cb) {
          std::uint8_t parent[256];
          const int parentCount = KeepCandidates(BoxOf(cr, cg, cb, kCoarseShift), all, 256, parent);
          for (int fr = 0; fr < kFinePerCoarse; ++fr) {
            for (int fg = 0; fg < kFinePerCoarse; ++fg) {
              for (int fb = 0; fb < kFinePerCoarse; ++fb) {
                const int r = cr * kFinePerCoarse + fr;
                const int g = cg * kFinePerCoarse + fg;
                const int b = cb * kFinePerCoarse + fb;
                visit(CellIndex(r << kCellShift, g << kCellShift, b << kCellShift),
                      BoxOf(r, g, b, kCellShift), parent, parentCount);
              }
            }
          }
        }
      }
    }
  }

  std::uint32_t start_[kCellCount + 1] = {};
  std::uint8_t* entries_ = nullptr;
};

// Built on first use and kept while the module is loaded (about 260 KB).
const CandidateGrid& Grid() {
  static const CandidateGrid grid;
  return grid;
}

}  // namespace

std::uint8_t NearestPaletteIndexByScan(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  double best = 4294967295.0;
  std::uint8_t index = 0;
  for (int i = 0; i < 256; ++i) {
    const int dr = red - SkinPalette[i].red;
    const int dg = green - SkinPalette[i].green;
    const int db = blue - SkinPalette[i].blue;
    const double d = std::sqrt(static_cast<double>(dr * dr + dg * dg + db * db));
    if (d < best) {
      best = d;
      index = static_cast<std::uint8_t>(i);
    }
  }
  return index;
}

std::uint8_t NearestPaletteIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  const CandidateGrid& grid = Grid();
  if (!grid.ready()) return NearestPaletteIndexByScan(red, green, blue);
  return grid.Nearest(red, green, blue);
}

void ReducePixelsToPalette(const std::uint8_t* bgr, std::size_t pixelCount,
                           std::uint8_t* indices) {
  const CandidateGrid& grid = Grid();
  if (!grid.ready()) {
    ReducePixelsToPaletteByScan(bgr, pixelCount, indices);
    return;
  }
  // Neighbouring pixels often share their colour: reuse the last answer.
  std::uint32_t lastColour = 0xFFFFFFFFu;
  std::uint8_t lastIndex = 0;
  for (std::size_t i = 0; i < pixelCount; ++i, bgr += 3) {
    const std::uint32_t colour = bgr[0] | (bgr[1] << 8) | (std::uint32_t(bgr[2]) << 16);
    if (colour != lastColour) {
      lastColour = colour;
      lastIndex = grid.Nearest(bgr[2], bgr[1], bgr[0]);
    }
    indices[i] = lastIndex;
  }
}

void ReducePixelsToPaletteByScan(const std::uint8_t* bgr, std::size_t pixelCount,
                                 std::uint8_t* indices) {
  for (std::size_t i = 0; i < pixelCount; ++i, bgr += 3) {
    indices[i] = NearestPaletteIndexByScan(bgr[2], bgr[1], bgr[0]);
  }
}
