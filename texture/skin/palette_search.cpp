#include "texture/skin/palette_search.h"

#include <cmath>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "texture/skin/skin_palette.h"

// The colour cube is cut into 32 x 32 x 32 cells of 8 x 8 x 8 colours. Each
// cell has a list of every entry that can be nearest to some colour of the
// cell: an entry whose smallest distance to the cell exceeds the largest
// distance of some other entry to the whole cell is strictly farther than
// that entry from every colour in it, so it can neither win nor tie. The
// nearest entry of a colour, ties included, is therefore the nearest in its
// cell's list. Lists hold 1 to 32 entries (94% of them at most 8), and
// neighbouring cells mostly share theirs, so each distinct list is stored
// once. Cells of this size cost a second group of entries to search for
// some colours, but five times fewer lists to build than cells of 4.
//
// Distances are compared squared, as integers: the square root is monotonic
// and the squares of colour differences are exact, so the order (and every
// tie) is the same as with the square roots the full scan takes. A key of
// squared distance and index orders equally near entries by index, so the
// smallest key is the full scan's answer, whatever the order of the list.

namespace {

constexpr int kCellShift = 3;
// The lists are narrowed in steps, each from the list of the box around
// it: coarse boxes of 32 x 32 x 32 colours from all entries (a few dozen
// left), middle boxes of 16 x 16 x 16 from their coarse box's list, cells
// from their middle box's. An entry ruled out for a box is
// ruled out for every part of it.
constexpr int kCoarseShift = 5;
constexpr int kCoarsePerSide = 256 >> kCoarseShift;
constexpr int kCoarseCount = kCoarsePerSide * kCoarsePerSide * kCoarsePerSide;
constexpr int kMiddleShift = 4;
constexpr int kMiddlePerCoarse = 1 << (kCoarseShift - kMiddleShift);  // per side
constexpr int kCellCount = 1 << (3 * (8 - kCellShift));  // in the whole cube
static_assert(kCellShift == 3, "CellOf takes 5 bits a channel");

// Lists are stored as groups of 4 entries (EntryGroup); a short list
// repeats its first entry, which changes no minimum. Room for the lists of
// this palette (about 5200 lists in 11500 groups) with a margin.
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

int Larger(int a, int b) { return a > b ? a : b; }
int NearGap(int value, int lo, int hi) { return Larger(Larger(lo - value, value - hi), 0); }
int FarGap(int value, int lo, int hi) { return Larger(value - lo, hi - value); }

// Writes to out (room for fromCount entries) the entries of `from` that can
// be nearest to a colour of the box, keeping their order; returns their
// number. The entries' colours are gathered first, so the compiler can
// measure them four at a time.
int KeepCandidates(const ColourBox& box, const std::uint8_t* from, int fromCount,
                   std::uint8_t* out) {
  int value[3][256];
  for (int i = 0; i < fromCount; ++i) {
    const SkinPaletteEntry& e = SkinPalette[from[i]];
    value[0][i] = e.red;
    value[1][i] = e.green;
    value[2][i] = e.blue;
  }
  int nearest[256];
  int bound = 1 << 30;
  for (int i = 0; i < fromCount; ++i) {
    int n = 0;
    int f = 0;
    for (int k = 0; k < 3; ++k) {
      const int near = NearGap(value[k][i], box.lo[k], box.hi[k]);
      const int far = FarGap(value[k][i], box.lo[k], box.hi[k]);
      n += near * near;
      f += far * far;
    }
    nearest[i] = n;
    bound = f < bound ? f : bound;
  }
  // Without a branch on each entry, which would be hard to predict: every
  // entry is written, and the next one goes over it unless it is kept.
  int kept = 0;
  for (int i = 0; i < fromCount; ++i) {
    out[kept] = from[i];
    kept += nearest[i] <= bound;
  }
  return kept;
}

// The index of a box of 2^shift colours a side within one of 2^outer.
int BoxIndex(int red, int green, int blue, int shift, int outer) {
  const int mask = (1 << (outer - shift)) - 1;
  const int side = outer - shift;
  return ((red >> shift & mask) << side | (green >> shift & mask)) << side | (blue >> shift & mask);
}

// Entries as 16-bit numbers, colours times 16: squares of differences
// then come out times 256, with room below them for the index.
struct alignas(16) EntryGroup {
  std::int16_t blueGreen[2 * kGroupSize];  // 16 x blue, 16 x green of each entry
  std::int16_t red[2 * kGroupSize];        // 16 x red, 0
  std::int32_t index[kGroupSize];          // the index, with bit 30 set (see GroupKeys)
};

// A colour as the pixels hold it: blue | green << 8 | red << 16.
std::uint32_t ColourWord(const std::uint8_t* bgr) {
  return static_cast<std::uint32_t>(bgr[0]) | static_cast<std::uint32_t>(bgr[1]) << 8 |
         static_cast<std::uint32_t>(bgr[2]) << 16;
}

// The cell of a colour word in the whole cube: red, green and blue of the
// cell as 5 bits each.
int CellOf(std::uint32_t colour) {
  return static_cast<int>((colour >> 9 & 0x7C00) | (colour >> 6 & 0x3E0) | (colour >> 3 & 0x1F));
}

// Keys order the entries of a list for one colour: squared distance times
// 256 plus the index, so the smallest key is the nearest entry and, of
// equally near ones, the lowest index.
#ifdef __SSE2__
struct SearchColour {
  __m128i blueGreen;  // 16 x blue, 16 x green in each 32-bit lane
  __m128i red;        // 16 x red, 0
};

SearchColour SearchColourOf(std::uint32_t colourWord) {
  const __m128i channels = _mm_slli_epi16(
      _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(colourWord)), _mm_setzero_si128()), 4);
  return {_mm_shuffle_epi32(channels, _MM_SHUFFLE(0, 0, 0, 0)),
          _mm_shuffle_epi32(channels, _MM_SHUFFLE(1, 1, 1, 1))};
}

// The keys of a group's four entries, one per 32-bit lane. Bit 30 is set
// in each: keys then read as positive normal floats, which order as their
// bits do, and the single-instruction float minimum stands in for the
// integer one SSE2 lacks (keys stay below 2^26, so the bit is free).
__m128i GroupKeys(const EntryGroup& group, const SearchColour& colour) {
  const __m128i blueGreen = _mm_sub_epi16(
      _mm_load_si128(reinterpret_cast<const __m128i*>(group.blueGreen)), colour.blueGreen);
  const __m128i red =
      _mm_sub_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(group.red)), colour.red);
  const __m128i distances = _mm_add_epi32(_mm_madd_epi16(blueGreen, blueGreen), _mm_madd_epi16(red, red));
  return _mm_add_epi32(distances, _mm_load_si128(reinterpret_cast<const __m128i*>(group.index)));
}

__m128 KeyMinimum(__m128i a, __m128i b) {
  return _mm_min_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b));
}

// The index of the smallest key of the list of `count` groups from `first`
// (count > 0). The first two groups are measured without a branch (a
// one-group list measures its group twice), as most lists have one or two.
std::uint8_t ListMinimum(const EntryGroup* first, int count, std::uint32_t colourWord) {
  const SearchColour colour = SearchColourOf(colourWord);
  __m128 best = KeyMinimum(GroupKeys(first[0], colour), GroupKeys(first[count > 1], colour));
  for (int g = 2; g < count; ++g) {
    best = _mm_min_ps(best, _mm_castsi128_ps(GroupKeys(first[g], colour)));
  }
  best = _mm_min_ps(best, _mm_shuffle_ps(best, best, _MM_SHUFFLE(1, 0, 3, 2)));
  best = _mm_min_ps(best, _mm_shuffle_ps(best, best, _MM_SHUFFLE(2, 3, 0, 1)));
  return static_cast<std::uint8_t>(_mm_cvtsi128_si32(_mm_castps_si128(best)));
}
#else
std::uint8_t ListMinimum(const EntryGroup* first, int count, std::uint32_t colourWord) {
  const int blue = colourWord & 0xFF, green = colourWord >> 8 & 0xFF, red = colourWord >> 16;
  std::uint32_t best = 0xFFFFFFFFu;
  for (int k = 0; k < count * kGroupSize; ++k) {
    const EntryGroup& group = first[k / kGroupSize];
    const int lane = 2 * (k % kGroupSize);
    const int db = blue - group.blueGreen[lane] / 16;
    const int dg = green - group.blueGreen[lane + 1] / 16;
    const int dr = red - group.red[lane] / 16;
    const std::uint32_t index = static_cast<std::uint32_t>(group.index[k % kGroupSize]) & 0xFF;
    const std::uint32_t key = static_cast<std::uint32_t>(dr * dr + dg * dg + db * db) << 8 | index;
    best = key < best ? key : best;
  }
  return static_cast<std::uint8_t>(best);
}
#endif

// Boxes are built on first use: a skin meets a small part of the cube, and
// building every cell would cost as much as the search of many skins.
// Only the coarse boxes a skin meets get tables for their middle boxes.
struct CoarseBox {
  std::uint16_t middleCounts[kMiddlePerCoarse * kMiddlePerCoarse * kMiddlePerCoarse];  // 0: not built
  std::uint16_t count;
  std::uint8_t list[256];
  std::uint8_t* middleLists;  // room for `count` entries per middle box
};

class CandidateGrid {
 public:
  CandidateGrid()
      : groups_(new (std::nothrow) EntryGroup[kMaxGroups]),
        groupCounts_(new (std::nothrow) std::uint8_t[kMaxGroups]),
        hash_(new (std::nothrow) std::uint16_t[kHashSlots]()),
        cells_(new (std::nothrow) std::uint16_t[kCellCount]()) {}
  ~CandidateGrid() {
    for (CoarseBox* box : coarse_) {
      if (box) delete[] box->middleLists;
      delete box;
    }
    delete[] groups_;
    delete[] groupCounts_;
    delete[] hash_;
    delete[] cells_;
  }
  CandidateGrid(const CandidateGrid&) = delete;
  CandidateGrid& operator=(const CandidateGrid&) = delete;

  bool ready() const { return groups_ && groupCounts_ && hash_ && cells_; }

  std::uint8_t Nearest(std::uint32_t colour) {
    const int cell = CellOf(colour);
    // 0: not built yet; otherwise one more than the list's first group.
    int first = cells_[cell] - 1;
    if (first < 0) {
      first = Build(colour, cell);
      if (first < 0) {
        return NearestPaletteIndexByScan(static_cast<std::uint8_t>(colour >> 16),
                                         static_cast<std::uint8_t>(colour >> 8),
                                         static_cast<std::uint8_t>(colour));
      }
    }
    return ListMinimum(groups_ + first, groupCounts_[first], colour);
  }

 private:
  // Stores the list of the colour's cell, building the coarse and middle
  // boxes first where needed; returns its first group, or -1 when there is
  // no memory or the lists do not fit (not for this palette), and the
  // caller scans instead.
  int Build(std::uint32_t colour, int cell) {
    const int red = static_cast<int>(colour >> 16), green = static_cast<int>(colour >> 8 & 0xFF),
              blue = static_cast<int>(colour & 0xFF);
    CoarseBox*& box = coarse_[BoxIndex(red, green, blue, kCoarseShift, 8)];
    if (!box) {
      CoarseBox* made = new (std::nothrow) CoarseBox();
      if (!made) return -1;
      std::uint8_t all[256];
      for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
      // Never 0: a box keeps at least the entry nearest to its farthest corner.
      made->count = static_cast<std::uint16_t>(KeepCandidates(
          BoxOf(red >> kCoarseShift, green >> kCoarseShift, blue >> kCoarseShift, kCoarseShift), all,
          256, made->list));
      made->middleLists = new (std::nothrow)
          std::uint8_t[std::size_t{made->count} * kMiddlePerCoarse * kMiddlePerCoarse * kMiddlePerCoarse];
      if (!made->middleLists) {
        delete made;
        return -1;
      }
      box = made;
    }
    const int middle = BoxIndex(red, green, blue, kMiddleShift, kCoarseShift);
    std::uint8_t* middleList = box->middleLists + std::size_t{box->count} * middle;
    if (box->middleCounts[middle] == 0) {
      box->middleCounts[middle] = static_cast<std::uint16_t>(KeepCandidates(
          BoxOf(red >> kMiddleShift, green >> kMiddleShift, blue >> kMiddleShift, kMiddleShift),
          box->list, box->count, middleList));
    }
    std::uint8_t list[256];
    const int count =
        KeepCandidates(BoxOf(red >> kCellShift, green >> kCellShift, blue >> kCellShift, kCellShift),
                       middleList, box->middleCounts[middle], list);
    const int first = StoreList(list, count);
    if (first >= 0) cells_[cell] = static_cast<std::uint16_t>(first + 1);
    return first;
  }

  // The first group of the stored list equal to this one, storing it when
  // it is new; -1 when there is no room.
  int StoreList(const std::uint8_t* list, int count) {
    const int groupCount = (count + kGroupSize - 1) / kGroupSize;
    std::uint32_t h = 2166136261u;
    for (int k = 0; k < count; ++k) h = (h ^ list[k]) * 16777619u;
    std::uint32_t slot = h % kHashSlots;
    for (; hash_[slot] != 0; slot = (slot + 1) % kHashSlots) {
      const int first = hash_[slot] - 1;
      if (groupCounts_[first] == groupCount && HoldsList(groups_ + first, list, count)) return first;
    }
    if (groupsUsed_ + groupCount > kMaxGroups || ++listCount_ > kHashSlots / 2) return -1;
    const int first = groupsUsed_;
    for (int k = 0; k < groupCount * kGroupSize; ++k) {
      const std::uint8_t index = list[k < count ? k : 0];
      EntryGroup& group = groups_[first + k / kGroupSize];
      const int lane = 2 * (k % kGroupSize);
      group.blueGreen[lane] = static_cast<std::int16_t>(16 * SkinPalette[index].blue);
      group.blueGreen[lane + 1] = static_cast<std::int16_t>(16 * SkinPalette[index].green);
      group.red[lane] = static_cast<std::int16_t>(16 * SkinPalette[index].red);
      group.red[lane + 1] = 0;
      group.index[k % kGroupSize] = 0x40000000 | index;
    }
    groupCounts_[first] = static_cast<std::uint8_t>(groupCount);
    groupsUsed_ += groupCount;
    hash_[slot] = static_cast<std::uint16_t>(first + 1);
    return first;
  }

  // Whether the groups from `first` hold the list, padded as stored.
  static bool HoldsList(const EntryGroup* first, const std::uint8_t* list, int count) {
    const int padded = (count + kGroupSize - 1) / kGroupSize * kGroupSize;
    for (int k = 0; k < padded; ++k) {
      if ((first[k / kGroupSize].index[k % kGroupSize] & 0xFF) != list[k < count ? k : 0]) return false;
    }
    return true;
  }

  CoarseBox* coarse_[kCoarseCount] = {};  // null until the skin meets the box
  EntryGroup* groups_;
  std::uint8_t* groupCounts_;  // for a list's first group: the list's groups
  std::uint16_t* hash_;        // the stored lists by content: 0, or 1 + first group
  std::uint16_t* cells_;       // per cell of the cube: 0, or 1 + its list's first group
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

// A grid for each skin, so nothing is kept between skins and no state is
// shared: its tables are made only for the parts of the cube the skin
// meets, which costs far less than building every cell did.
void ReducePixelsToPalette(const std::uint8_t* bgr, std::size_t pixelCount,
                           std::uint8_t* indices) {
  CandidateGrid grid;
  if (!grid.ready()) {
    ReducePixelsToPaletteByScan(bgr, pixelCount, indices);
    return;
  }
  for (std::size_t i = 0; i < pixelCount; ++i, bgr += 3) indices[i] = grid.Nearest(ColourWord(bgr));
}

void ReducePixelsToPaletteByScan(const std::uint8_t* bgr, std::size_t pixelCount,
                                 std::uint8_t* indices) {
  for (std::size_t i = 0; i < pixelCount; ++i, bgr += 3) {
    indices[i] = NearestPaletteIndexByScan(bgr[2], bgr[1], bgr[0]);
  }
}
