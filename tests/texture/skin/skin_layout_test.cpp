// Laying textures out in the skin: coordinate ranges, pixel sizes, use
// marks, packing into the 480 x 480 area, the skin size and the copy of
// each texture's used region.
#include "texture/skin/skin_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "scene/export_context.h"
#include "texture/skin/copy_texture_to_skin.h"
#include "texture/skin/place_textures.h"
#include "tests/texture/skin/skin_test_files.h"

namespace {

// Packs textures of the given sizes; "x,y" for each placed one, "-" for
// the others.
std::vector<std::string> Pack(const std::vector<std::pair<int, int>>& sizes) {
  std::vector<SkinTexture> textures(sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    textures[i].width = sizes[i].first;
    textures[i].height = sizes[i].second;
  }
  ExportContext context;
  EXPECT_EQ(PlaceTextures(textures.data(), static_cast<std::int32_t>(textures.size()), 7,
                          SkinAreaSize, SkinAreaSize, context),
            1);
  std::vector<std::string> places;
  for (const SkinTexture& t : textures) {
    const bool placed = t.state() & kTexturePlaced;
    EXPECT_EQ(t.state() & ~kTexturePlaced, placed ? 7u : 0u);  // page value; no did-not-fit bit
    places.push_back(placed ? std::to_string(t.x) + "," + std::to_string(t.y) : "-");
  }
  return places;
}

using Places = std::vector<std::string>;

TEST(PlaceTextures, LargestFirstIntoTheSmallestRectangleThatHoldsIt) {
  // 64 x 64 ties with 128 x 32 in area and comes first in the array.
  EXPECT_EQ(Pack({{64, 64}, {128, 32}, {128, 128}}), (Places{"128,0", "192,0", "0,0"}));
  EXPECT_EQ(Pack({{100, 50}, {100, 50}, {100, 50}}), (Places{"0,0", "100,0", "200,0"}));
  // The cut after the first leaves 180 x 300 and 480 x 180.
  EXPECT_EQ(Pack({{300, 300}, {300, 300}, {170, 290}}), (Places{"0,0", "-", "300,0"}));
  EXPECT_EQ(Pack({{480, 480}}), (Places{"0,0"}));
  EXPECT_EQ(Pack({{481, 10}, {0, 40}, {10, 10}}), (Places{"-", "-", "0,0"}));
}

TEST(SkinLayout, RangesSizesAndUseMarksFollowTheFacesThatUseEachTexture) {
  const std::string folder = skin_test::Folder();
  skin_test::WriteBmp24(folder + "a.bmp", 64, 32);
  const std::string a = folder + "a.bmp", b = folder + "b.bmp", upper = folder + "A.bmp",
                    unused = folder + "unused.bmp";
  std::vector<SkinTexture> textures(3);
  textures[0].fileName.set(a.c_str());
  textures[1].fileName.set(b.c_str());
  textures[2].fileName.set(unused.c_str());
  for (SkinTexture& t : textures) ASSERT_TRUE(t.image.LoadImageFile(a.c_str()));

  struct FaceSpec {
    const std::string* name;
    float u[3], v[3];
  };
  const FaceSpec specs[] = {{&a, {0.25f, 0.5f, 1.5f}, {0.5f, 0.25f, 0.5f}},
                            {&b, {0.5f, 0.5f, 0.5f}, {0.0f, 0.5f, 1.0f}},
                            {&a, {-0.5f, 0.0f, 0.75f}, {0.75f, 0.5f, 0.5f}},
                            {&upper, {-9, -9, -9}, {9, 9, 9}}};  // letter case differs
  std::vector<SampledFace> faces(4);
  std::vector<SampledVertex> vertices(12);
  for (int f = 0; f < 4; ++f) {
    faces[f].bitmapName.set(specs[f].name->c_str());
    faces[f].a = 3 * f, faces[f].b = 3 * f + 1, faces[f].c = 3 * f + 2;
    for (int k = 0; k < 3; ++k) faces[f].u[k] = specs[f].u[k], faces[f].v[k] = specs[f].v[k];
  }
  LinkFacesToTextures(textures.data(), 3, faces.data(), 4, vertices.data(), 12, kLinkWithRanges);
  EXPECT_EQ(faces[0].texture, &textures[0]);
  EXPECT_EQ(faces[1].texture, &textures[1]);
  EXPECT_EQ(faces[3].texture, nullptr);
  EXPECT_EQ(vertices[8].texture, &textures[0]);
  EXPECT_EQ(vertices[9].texture, nullptr);
  EXPECT_EQ(textures[0].uMin, -0.5f);
  EXPECT_EQ(textures[0].uMax, 1.5f);
  EXPECT_EQ(textures[0].vMin, 0.25f);
  EXPECT_EQ(textures[0].vMax, 0.75f);

  // Only pictures whose used region gives 1 to 480 pixels a side could be
  // placed: u -0.5..1.5 takes 1 to 240 columns, v 0.25..0.75 2 to 961 rows.
  const SidesToDecode sides = PlaceableSides(textures[0], SkinAreaSize);
  EXPECT_EQ(sides.widthFrom, 1);
  EXPECT_EQ(sides.widthTo, 240);
  EXPECT_EQ(sides.heightFrom, 2);
  EXPECT_EQ(sides.heightTo, 961);
  EXPECT_GT(PlaceableSides(textures[1], SkinAreaSize).widthFrom,
            PlaceableSides(textures[1], SkinAreaSize).widthTo);  // no width at all
  EXPECT_GT(PlaceableSides(textures[2], SkinAreaSize).heightFrom,
            PlaceableSides(textures[2], SkinAreaSize).heightTo);  // no face uses it

  SizeTexturesFromRanges(textures.data(), 3);
  EXPECT_EQ(textures[0].width, 128);  // the 64-pixel picture unrolled
  EXPECT_EQ(textures[0].height, 16);
  EXPECT_EQ(textures[1].width, 0);  // one value of u: no pixel wide
  EXPECT_EQ(textures[1].height, 32);
  EXPECT_EQ(textures[2].width, 0);
  std::int32_t left = -1, top = -1;
  TextureSourceCorner(textures[0], &left, &top);
  EXPECT_EQ(left, 32);  // 64 x -0.5, wrapped
  EXPECT_EQ(top, 8);

  MarkUsedTextures(textures.data(), 3, faces.data(), 4);
  ExportContext context;
  PlaceTextures(textures.data(), 3, 0, SkinAreaSize, SkinAreaSize, context);
  EXPECT_EQ(FindUnplacedUsedTexture(textures.data(), 3), 1);  // used, but no width
  textures[1].state() |= kTextureUseMask;  // unused textures may stay out
  EXPECT_EQ(FindUnplacedUsedTexture(textures.data(), 3), -1);

  // Ranges no skin can hold give a size of 0, never placed.
  const float inf = std::numeric_limits<float>::infinity();
  const float absurd[3] = {inf, std::nanf(""), 3e9f};
  for (int i = 0; i < 3; ++i) textures[i].uMin = -absurd[i], textures[i].uMax = absurd[i];
  SizeTexturesFromRanges(textures.data(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(textures[i].width, 0) << i;
}

TEST(SkinLayout, SkinSizeCoversEveryTextureWithTheWidthRoundedUpToFour) {
  std::vector<SkinTexture> textures(3);
  textures[0].x = 100, textures[0].width = 201, textures[0].height = 20;  // right edge 301
  textures[1].y = 40, textures[1].width = 5, textures[1].height = 7;     // unplaced ones count
  std::int32_t width = 480, height = 480;
  ASSERT_EQ(MeasureSkin(textures.data(), 3, &width, &height), 1);
  EXPECT_EQ(width, 304);
  EXPECT_EQ(height, 47);
  textures[2].x = textures[2].width = INT32_MAX;
  EXPECT_EQ(MeasureSkin(textures.data(), 3, &width, &height), 0);
}

TEST(CopyTextureToSkin, WrapsSourceColumnsAndKeepsStoredRowOrder) {
  const std::string path = skin_test::Folder() + "wrap.bmp";
  skin_test::WriteBmp24(path, 64, 2);
  BitmapImage image;
  ASSERT_TRUE(image.LoadImageFile(path.c_str()));
  const int skinWidth = 132, rowLength = 3 * skinWidth;
  std::vector<std::uint8_t> skin(rowLength * 4, 0xEE);
  ExportContext context;
  // u from -0.5 to 1.5: 128 columns from column -32; 3 rows from stored row 1.
  CopyTextureToSkin(image, skin.data(), rowLength, 2, 1, kSkinPixelFormatBgr, -32, 1, 128, 3);
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < skinWidth; ++column) {
      const std::uint8_t* p = &skin[row * rowLength + 3 * column];
      const int k = column - 2;  // columns 32..63, 0..63, 0..31
      if (row == 0 || k < 0 || k >= 128) {
        EXPECT_EQ(p[0], 0xEE) << row << "," << column;
      } else {
        EXPECT_EQ(p[0], k < 32 ? 32 + k : k < 96 ? k - 32 : k - 96) << row << "," << column;
        EXPECT_EQ(p[1], row % 2) << row;  // stored rows 1, 0, 1
        EXPECT_EQ(p[2], 7);
      }
    }
  }
}

}  // namespace
