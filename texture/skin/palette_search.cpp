#include "texture/skin/palette_search.h"

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "texture/skin/skin_palette.h"

// The colour cube is cut into 64 x 64 x 64 cells of 4 x 4 x 4 colours. Each
// cell has a list of every entry that can be nearest to some colour of the
// cell: an entry whose smallest distance to the cell exceeds the largest
// distance of some other entry to the whole cell is strictly farther than
// that entry from every colour in it, so it can neither win nor tie. The
// nearest entry of a colour, ties included, is therefore the nearest in its
// cell's list. Lists hold 1 to 16 entries (96% of them at most 4), and
// neighbouring cells mostly share theirs, so each distinct list is stored
// once.
//
// Distances are compared squared, as integers: the square root is monotonic
// and the squares of colour differences are exact, so the order (and every
// tie) is the same as with the square roots the full scan takes. A key of
// squared distance and index orders equally near entries by index, so the
// smallest key is the full scan's answer, whatever the order of the list.

namespace {

constexpr int kCellShift = 2;
constexpr int kCellsPerSide = 256 >> kCellShift;
constexpr int kCellCount = kCellsPerSide * kCellsPerSide * kCellsPerSide;
// The lists are built from those of coarse cells of 32 x 32 x 32 colours:
// an entry ruled out for a cell is ruled out for every part of it.
constexpr int kCoarseShift = 5;
constexpr int kCoarsePerSide = 256 >> kCoarseShift;
constexpr int kCellsPerCoarse = 1 << (kCoarseShift - kCellShift);

// Lists are stored as groups of 4 entries, each entry its red, green, blue
// and index; a short list repeats its first entry, which changes no
// minimum. Room for the lists of this palette (about 6300 lists in 9900
// groups) with a margin.
constexpr int kGroupSize = 4;
constexpr int kMaxGroups = 16384;
constexpr int kHashSlots = 16384;

struct ColourBox {
  int lo[3];  // inclusive bounds per channel: red, green, blue
  int hi[3];
};

ColourBox BoxOf(int red, int green, int blue, int shift) {
  const int size = 1 << shift;
  const int corner[3] = {red << shift, green << shift, blue << shift};
  ColourBox box;
  for (int k = 0; k < 3; ++k) {
    box.lo[k] = corner[k];
    box.hi[k] = corner[k] + size - 1;
  }
  return box;
}

int NearGap(int value, int lo, int hi) { return value < lo ? lo - value : value > hi ? value - hi : 0; }
int FarGap(int value, int lo, int hi) { return value - lo > hi - value ? value - lo : hi - value; }

// Writes to out the entries of `from` that can be nearest to a colour of
// the box, keeping their order; returns their number.
int KeepCandidates(const ColourBox& box, const std::uint8_t* from, int fromCount,
                   std::uint8_t* out) {
  int nearest[256];
  int bound = 1 << 30;
  for (int i = 0; i < fromCount; ++i) {
    const SkinPaletteEntry& e = SkinPalette[from[i]];
    const int value[3] = {e.red, e.green, e.blue};
    int n = 0;
    int f = 0;
    for (int k = 0; k < 3; ++k) {
      const int near = NearGap(value[k], box.lo[k], box.hi[k]);
      const int far = FarGap(value[k], box.lo[k], box.hi[k]);
      n += near * near;
      f += far * far;
    }
    nearest[i] = n;
    if (f < bound) bound = f;
  }
  int kept = 0;
  for (int i = 0; i < fromCount; ++i) {
    if (nearest[i] <= bound) out[kept++] = from[i];
  }
  return kept;
}

int CellIndex(int red, int green, int blue) {
  return ((red >> kCellShift) * kCellsPerSide + (green >> kCellShift)) * kCellsPerSide +
         (blue >> kCellShift);
}

struct alignas(16) EntryGroup {
  std::uint8_t bytes[4 * kGroupSize];  // red, green, blue, index of each entry
};

// The smallest key of the group's entries: squared distance to the colour
// times 256 plus the index.
#ifdef __SSE2__
__m128i LaneMinimum(__m128i a, __m128i b) {
  const __m128i less = _mm_cmplt_epi32(a, b);
  return _mm_or_si128(_mm_and_si128(less, a), _mm_andnot_si128(less, b));
}

std::uint32_t GroupMinimum(const EntryGroup& group, int red, int green, int blue) {
  const __m128i entries = _mm_load_si128(reinterpret_cast<const __m128i*>(group.bytes));
  const __m128i colours = _mm_and_si128(entries, _mm_set1_epi32(0x00FFFFFF));
  const __m128i colour = _mm_set1_epi32(red | green << 8 | blue << 16);
  // Absolute differences per byte, then squared and summed in pairs of
  // 16-bit lanes: [dr^2 + dg^2, db^2] per entry.
  const __m128i difference =
      _mm_or_si128(_mm_subs_epu8(colours, colour), _mm_subs_epu8(colour, colours));
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_unpacklo_epi8(difference, zero);
  const __m128i high = _mm_unpackhi_epi8(difference, zero);
  const __m128 lowSquares = _mm_castsi128_ps(_mm_madd_epi16(low, low));
  const __m128 highSquares = _mm_castsi128_ps(_mm_madd_epi16(high, high));
  const __m128i distances =
      _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(lowSquares, highSquares, _MM_SHUFFLE(2, 0, 2, 0))),
                    _mm_castps_si128(_mm_shuffle_ps(lowSquares, highSquares, _MM_SHUFFLE(3, 1, 3, 1))));
  // Keys stay below 2^31, so the signed comparison orders them.
  const __m128i keys = _mm_or_si128(_mm_slli_epi32(distances, 8), _mm_srli_epi32(entries, 24));
  const __m128i pairs = LaneMinimum(keys, _mm_shuffle_epi32(keys, _MM_SHUFFLE(1, 0, 3, 2)));
  const __m128i all = LaneMinimum(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(2, 3, 0, 1)));
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(all));
}
#else
std::uint32_t GroupMinimum(const EntryGroup& group, int red, int green, int blue) {
  std::uint32_t best = 0xFFFFFFFFu;
  for (int k = 0; k < kGroupSize; ++k) {
    const std::uint8_t* e = group.bytes + 4 * k;
    const int dr = red - e[0];
    const int dg = green - e[1];
    const int db = blue - e[2];
    const std::uint32_t key = static_cast<std::uint32_t>(dr * dr + dg * dg + db * db) << 8 | e[3];
    best = key < best ? key : best;
  }
  return best;
}
#endif

// Cells are built on first use: a skin meets a small part of the cube, and
// building every cell would cost as much as the search of many skins.
class CandidateGrid {
 public:
  CandidateGrid()
      : cellGroups_(new (std::nothrow) std::uint16_t[kCellCount]()),
        groups_(new (std::nothrow) EntryGroup[kMaxGroups]),
        following_(new (std::nothrow) std::uint8_t[kMaxGroups]),
        hash_(new (std::nothrow) std::uint16_t[kHashSlots]()),
        coarseLists_(new (std::nothrow) std::uint8_t[kCoarseCount * 256]),
        coarseCounts_(new (std::nothrow) std::uint16_t[kCoarseCount]()) {}
  ~CandidateGrid() {
    delete[] cellGroups_;
    delete[] groups_;
    delete[] following_;
    delete[] hash_;
    delete[] coarseLists_;
    delete[] coarseCounts_;
  }
  CandidateGrid(const CandidateGrid&) = delete;
  CandidateGrid& operator=(const CandidateGrid&) = delete;

  bool ready() const {
    return cellGroups_ && groups_ && following_ && hash_ && coarseLists_ && coarseCounts_;
  }

  std::uint8_t Nearest(int red, int green, int blue) {
    const int cell = CellIndex(red, green, blue);
    // 0: not built yet; otherwise one more than the list's first group.
    if (cellGroups_[cell] == 0 && !Build(cell, red >> kCellShift, green >> kCellShift, blue >> kCellShift)) {
      return NearestPaletteIndexByScan(static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                       static_cast<std::uint8_t>(blue));
    }
    const int first = cellGroups_[cell] - 1;
    std::uint32_t best = GroupMinimum(groups_[first], red, green, blue);
    // Lists of more than one group are rare: the loop is well predicted.
    for (int g = first + 1; g <= first + following_[first]; ++g) {
      const std::uint32_t key = GroupMinimum(groups_[g], red, green, blue);
      best = key < best ? key : best;
    }
    return static_cast<std::uint8_t>(best);
  }

 private:
  static constexpr int kCoarseCount = kCoarsePerSide * kCoarsePerSide * kCoarsePerSide;

  // Stores the list of the cell at (r, g, b) in cell units; false when the
  // lists do not fit (not for this palette), and the caller scans instead.
  bool Build(int cell, int r, int g, int b) {
    const int cr = r / kCellsPerCoarse, cg = g / kCellsPerCoarse, cb = b / kCellsPerCoarse;
    const int coarse = (cr * kCoarsePerSide + cg) * kCoarsePerSide + cb;
    std::uint8_t* parent = coarseLists_ + 256 * coarse;
    if (coarseCounts_[coarse] == 0) {
      std::uint8_t all[256];
      for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
      // Never 0: a box keeps at least the entry nearest to its farthest corner.
      coarseCounts_[coarse] =
          static_cast<std::uint16_t>(KeepCandidates(BoxOf(cr, cg, cb, kCoarseShift), all, 256, parent));
    }
    std::uint8_t list[256];
    const int count = KeepCandidates(BoxOf(r, g, b, kCellShift), parent, coarseCounts_[coarse], list);
    const int first = StoreList(list, count);
    if (first < 0) return false;
    cellGroups_[cell] = static_cast<std::uint16_t>(first + 1);
    return true;
  }

  // The first group of the stored list equal to this one, storing it when
  // it is new; -1 when there is no room.
  int StoreList(const std::uint8_t* list, int count) {
    const int groupCount = (count + kGroupSize - 1) / kGroupSize;
    EntryGroup packed[256 / kGroupSize];
    for (int k = 0; k < groupCount * kGroupSize; ++k) {
      const std::uint8_t index = list[k < count ? k : 0];
      std::uint8_t* e = packed[k / kGroupSize].bytes + 4 * (k % kGroupSize);
      e[0] = SkinPalette[index].red;
      e[1] = SkinPalette[index].green;
      e[2] = SkinPalette[index].blue;
      e[3] = index;
    }
    const std::size_t bytes = sizeof(EntryGroup) * groupCount;
    std::uint32_t h = 2166136261u;
    for (int k = 0; k < count; ++k) h = (h ^ list[k]) * 16777619u;
    std::uint32_t slot = h % kHashSlots;
    for (; hash_[slot] != 0; slot = (slot + 1) % kHashSlots) {
      const int first = hash_[slot] - 1;
      if (following_[first] + 1 == groupCount && std::memcmp(&groups_[first], packed, bytes) == 0) {
        return first;
      }
    }
    if (groupsUsed_ + groupCount > kMaxGroups || ++listCount_ > kHashSlots / 2) return -1;
    const int first = groupsUsed_;
    std::memcpy(&groups_[first], packed, bytes);
    following_[first] = static_cast<std::uint8_t>(groupCount - 1);
    groupsUsed_ += groupCount;
    hash_[slot] = static_cast<std::uint16_t>(first + 1);
    return first;
  }

  std::uint16_t* cellGroups_;  // per cell: 0, or 1 + the first group of its list
  EntryGroup* groups_;
  std::uint8_t* following_;  // for a list's first group: the groups after it
  std::uint16_t* hash_;      // the stored lists by content: 0, or 1 + first group
  std::uint8_t* coarseLists_;     // 256 bytes per coarse cell
  std::uint16_t* coarseCounts_;   // per coarse cell: 0 (not built yet) or its list's length
  int groupsUsed_ = 0;
  int listCount_ = 0;
};

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

// A grid for each skin, about 950 KB, so nothing is kept between skins and
// no state is shared: zeroing its cell table costs far less than building
// every cell did.
void ReducePixelsToPalette(const std::uint8_t* bgr, std::size_t pixelCount,
                           std::uint8_t* indices) {
  CandidateGrid grid;
  if (!grid.ready()) {
    ReducePixelsToPaletteByScan(bgr, pixelCount, indices);
    return;
  }
  for (std::size_t i = 0; i < pixelCount; ++i, bgr += 3) {
    indices[i] = grid.Nearest(bgr[2], bgr[1], bgr[0]);
  }
}

void ReducePixelsToPaletteByScan(const std::uint8_t* bgr, std::size_t pixelCount,
                                 std::uint8_t* indices) {
  for (std::size_t i = 0; i < pixelCount; ++i, bgr += 3) {
    indices[i] = NearestPaletteIndexByScan(bgr[2], bgr[1], bgr[0]);
  }
}
