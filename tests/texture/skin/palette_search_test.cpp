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

// The full scan's rule (smallest distance, then lowest index) with the
// entries sorted by red and searched outwards from the colour's red: an
// entry whose red difference alone exceeds the best distance so far can
// neither win nor tie, nor can any beyond it. Far cheaper than the scan
// over all 16.7 million colours, and it shares nothing with the grid.
class RedOrderedSearch {
 public:
  RedOrderedSearch() {
    for (int i = 0; i < 256; ++i) order_[i] = static_cast<std::uint8_t>(i);
    std::stable_sort(order_.begin(), order_.end(),
                     [](int a, int b) { return SkinPalette[a].red < SkinPalette[b].red; });
    for (int i = 0; i < 256; ++i) reds_[i] = SkinPalette[order_[i]].red;
  }

  std::uint8_t Nearest(int red, int green, int blue) const {
    const int start = static_cast<int>(std::lower_bound(reds_.begin(), reds_.end(), red) - reds_.begin());
    int bestDistance = 1 << 30;
    int bestIndex = 256;
    const auto consider = [&](int at) {
      const int index = order_[at];
      const int dr = red - SkinPalette[index].red;
      const int dg = green - SkinPalette[index].green;
      const int db = blue - SkinPalette[index].blue;
      const int distance = dr * dr + dg * dg + db * db;
      if (distance < bestDistance || (distance == bestDistance && index < bestIndex)) {
        bestDistance = distance;
        bestIndex = index;
      }
    };
    const auto within = [&](int at) {
      const int dr = red - reds_[at];
      return dr * dr <= bestDistance;
    };
    for (int up = start, down = start - 1; (up < 256 && within(up)) || (down >= 0 && within(down));) {
      if (up < 256 && within(up)) consider(up++);
      if (down >= 0 && within(down)) consider(down--);
    }
    return static_cast<std::uint8_t>(bestIndex);
  }

 private:
  std::array<std::uint8_t, 256> order_;
  std::array<int, 256> reds_;
};

TEST(PaletteSearch, EveryColourOfTheCubeGetsTheNearestEntryWithTiesToTheLowestIndex) {
  const RedOrderedSearch reference;
  // The reference itself against the full scan, on colours spread over the cube.
  for (int red = 3; red < 256; red += 28) {
    for (int green = 0; green < 256; green += 17) {
      for (int blue = 1; blue < 256; blue += 5) {
        ASSERT_EQ(reference.Nearest(red, green, blue), NearestPaletteIndexByScan(red, green, blue))
            << red << " " << green << " " << blue;
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
      if (indices[i] != reference.Nearest(red, i >> 8, i & 0xFF) && ++wrong <= 10) {
        ADD_FAILURE() << "colour " << red << " " << (i >> 8) << " " << (i & 0xFF) << ": "
                      << int{indices[i]} << ", nearest " << int{reference.Nearest(red, i >> 8, i & 0xFF)};
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
