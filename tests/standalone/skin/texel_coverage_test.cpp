#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "standalone/skin/texel_coverage.h"

namespace {

using Corner = std::pair<std::int16_t, std::int16_t>;

// A model of one triangle with these skin positions, on an 8 x 8 skin.
vexo::md2::Model OneTriangle(Corner a, Corner b, Corner c) {
  vexo::md2::Model model;
  model.header.skinWidth = model.header.skinHeight = 8;
  for (const Corner& corner : {a, b, c}) model.texCoords.push_back({corner.first, corner.second});
  model.triangles.push_back(Md2Triangle{{0, 1, 2}, {0, 1, 2}});
  return model;
}

int Count(const std::vector<std::uint8_t>& used) {
  int count = 0;
  for (std::uint8_t flag : used) count += flag;
  return count;
}

// The texels whose centres lie inside (x + y <= 3 from the right-angled
// corner: 10) and those under the two far corners: 12, whichever the
// winding and wherever the triangle lies, wrapped past the skin's edges.
TEST(TexelCoverage, CountsTexelCentresInsideEitherWindingAndWrapsPastTheEdges) {
  const auto clockwise = vexo::skin::UsedTexels(OneTriangle({0, 0}, {4, 0}, {0, 4}), 8, 8);
  const auto anticlockwise = vexo::skin::UsedTexels(OneTriangle({0, 0}, {0, 4}, {4, 0}), 8, 8);
  EXPECT_EQ(Count(clockwise), 12);
  EXPECT_EQ(anticlockwise, clockwise);
  EXPECT_TRUE(clockwise[3 * 8 + 0]);   // centre (0.5, 3.5): on the long edge
  EXPECT_FALSE(clockwise[3 * 8 + 1]);  // (1.5, 3.5): outside it
  EXPECT_TRUE(clockwise[0 * 8 + 4]);   // under the corner (4, 0)
  // The square's other half, slanted on its left: x + y >= 3 (10) and its
  // three corners.
  EXPECT_EQ(Count(vexo::skin::UsedTexels(OneTriangle({0, 4}, {4, 4}, {4, 0}), 8, 8)), 13);

  const auto wrapped = vexo::skin::UsedTexels(OneTriangle({6, 6}, {10, 6}, {6, 10}), 8, 8);
  EXPECT_EQ(Count(wrapped), 12);
  EXPECT_TRUE(wrapped[6 * 8 + 1]);   // 3 columns on from x 6, wrapped to 1
  EXPECT_TRUE(wrapped[0 * 8 + 7]);   // 1 column on, 2 rows down to y 0
  EXPECT_FALSE(wrapped[0 * 8 + 0]);  // 2 + 2 from the corner: outside
  EXPECT_TRUE(wrapped[6 * 8 + 2]);   // under the corner (10, 6)

  // The picture twice the header's size: positions scale with it.
  EXPECT_EQ(Count(vexo::skin::UsedTexels(OneTriangle({0, 0}, {4, 0}, {0, 4}), 16, 16)),
            36 + 2);
}

// Every texel tested one by one: the centre inside all three edges, or a
// corner on it. The fast search must find exactly these, also for slivers,
// edges through texel centres and positions scaled to fractions.
std::vector<std::uint8_t> TestEveryTexel(const vexo::md2::Model& model, int width, int height) {
  std::vector<std::uint8_t> used(std::size_t(width) * height, 0);
  const double toWidth = double(width) / model.header.skinWidth;
  const double toHeight = double(height) / model.header.skinHeight;
  double s[3], t[3];
  for (int k = 0; k < 3; ++k) {
    s[k] = model.texCoords[k].s * toWidth;
    t[k] = model.texCoords[k].t * toHeight;
    used[std::size_t(std::floor(t[k])) * width + std::size_t(std::floor(s[k]))] = 1;
  }
  const double area = (s[1] - s[0]) * (t[2] - t[0]) - (s[2] - s[0]) * (t[1] - t[0]);
  if (area == 0) return used;
  const double sign = area > 0 ? 1.0 : -1.0;
  for (int y = 0; y < height; ++y) {
    const double py = y + 0.5;
    for (int x = 0; x < width; ++x) {
      bool inside = true;
      for (int k = 0; k < 3; ++k) {
        const int n = (k + 1) % 3;
        const double edge = (s[n] - s[k]) * (py - t[k]) - ((x + 0.5) - s[k]) * (t[n] - t[k]);
        inside = inside && sign * edge >= 0;
      }
      if (inside) used[std::size_t(y) * width + x] = 1;
    }
  }
  return used;
}

TEST(TexelCoverage, FindsWhatTestingEveryTexelFinds) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> position(0, 40);
  for (int round = 0; round < 3000; ++round) {
    vexo::md2::Model model;
    model.header.skinWidth = 40;
    model.header.skinHeight = round % 2 ? 40 : 37;
    for (int k = 0; k < 3; ++k)
      model.texCoords.push_back({std::int16_t(position(random) % 40), std::int16_t(position(random) % 37)});
    model.triangles.push_back(Md2Triangle{{0, 1, 2}, {0, 1, 2}});
    const int width = round % 3 ? 64 : 40, height = round % 5 ? 51 : 37;
    ASSERT_EQ(vexo::skin::UsedTexels(model, width, height), TestEveryTexel(model, width, height))
        << "round " << round;
  }
}

}  // namespace
