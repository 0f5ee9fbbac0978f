// The grid search against an independent nearest-entry search for every
// colour of the cube, so that no cell, list or tie of the grid can be off.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "texture/skin/palette_search.h"
#include "texture/skin/skin_palette.h"

namespace {

// The full scan's rule (smallest distance, then lowest index) checked
// with the entries sorted by red: an entry whose red difference alone
// exceeds a distance cannot be nearer, nor can any entry beyond it. It
// shares nothing with the grid and is far cheaper than the full scan over
// all 16.7 million colours.
class RedOrderedEntries {
 public:
  RedOrderedEntries() {
    for (int i = 0; i < 256; ++i) order_[i] = static_cast<std::uint8_t>(i);
    std::stable_sort(order_.begin(), order_.end(),
                     [](int a, int b) { return SkinPalette[a].red < SkinPalette[b].red; });
    for (int i = 0; i < 256; ++i) reds_[i] = SkinPalette[order_[i]].red;
  }

  // Whether `index` is the nearest entry to the colour: no entry nearer,
  // none as near with a lower index.
  bool IsNearest(int red, int green, int blue, int index) const {
    const int distance = Distance(red, green, blue, index);
    const int start = static_cast<int>(std::lower_bound(reds_.begin(), reds_.end(), red) - reds_.begin());
    for (int at = start; at < 256 && (reds_[at] - red) * (reds_[at] - red) <= distance; ++at) {
      if (Beats(red, green, blue, order_[at], distance, index)) return false;
    }
    for (int at = start - 1; at >= 0 && (reds_[at] - red) * (reds_[at] - red) <= distance; --at) {
      if (Beats(red, green, blue, order_[at], distance, index)) return false;
    }
    return true;
  }

 private:
  static int Distance(int red, int green, int blue, int index) {
    const int dr = red - SkinPalette[index].red;
    const int dg = green - SkinPalette[index].green;
    const int db = blue - SkinPalette[index].blue;
    return dr * dr + dg * dg + db * db;
  }
  static bool Beats(int red, int green, int blue, int other, int distance, int index) {
    const int d = Distance(red, green, blue, other);
    return d < distance || (d == distance && other < index);
  }

  std::array<std::uint8_t, 256> order_;
  std::array<int, 256> reds_;
};

TEST(PaletteSearch, EveryColourOfTheCubeGetsTheNearestEntryWithTiesToTheLowestIndex) {
  const RedOrderedEntries entries;
  // The check itself against the full scan, on colours spread over the cube.
  for (int red = 3; red < 256; red += 28) {
    for (int green = 0; green < 256; green += 17) {
      for (int blue = 1; blue < 256; blue += 5) {
        const int nearest = NearestPaletteIndexByScan(red, green, blue);
        ASSERT_TRUE(entries.IsNearest(red, green, blue, nearest)) << red << " " << green << " " << blue;
        ASSERT_FALSE(entries.IsNearest(red, green, blue, (nearest + 1) % 256));
      }
    }
  }
  // One plane of equal red at a time, each a skin of its own.
  std::vector<std::uint8_t> bgr(3 * 65536);
  std::vector<std::uint8_t> indices(65536);
  int wrong = 0;
  for (int red = 0; red < 256; ++red) {
    for (int i = 0; i < 65536; ++i) {
      bgr[3 * i] = static_cast<std::uint8_t>(i);
      bgr[3 * i + 1] = static_cast<std::uint8_t>(i >> 8);
      bgr[3 * i + 2] = static_cast<std::uint8_t>(red);
    }
    ReducePixelsToPalette(bgr.data(), indices.size(), indices.data());
    for (int i = 0; i < 65536; ++i) {
      if (!entries.IsNearest(red, i >> 8, i & 0xFF, indices[i]) && ++wrong <= 10) {
        ADD_FAILURE() << "colour " << red << " " << (i >> 8) << " " << (i & 0xFF) << ": " << int{indices[i]}
                      << ", nearest " << int{NearestPaletteIndexByScan(red, i >> 8, i & 0xFF)};
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
