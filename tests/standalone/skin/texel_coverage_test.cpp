#include <gtest/gtest.h>

#include <cstdint>
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

}  // namespace
