// Built once against the release-3 plug-in and once against release 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "plugin/host/host_release.h"
#include "tests/texture/picture/image_test_files.h"
#include "texture/picture/bitmap_image.h"

using image_test::Fixture;

TEST(OlderReleaseLoaders, ChooseLoadersAsTheReleaseDid) {
  const std::filesystem::path dir = image_test::ScratchDir("release");
  const std::string bmpNamedTga = (dir / "skin.tga").string();
  std::filesystem::copy_file(Fixture("bmp24_v3.bmp"), bmpNamedTga);
  const std::string tga = Fixture("tga2_32_bl.tga");
  const std::string tim = Fixture("tim8_clut.tim");
  BitmapImage image;

  // Neither release reads TIM files.
  EXPECT_EQ(image.LoadImageFile(tim.c_str()), 0);
  EXPECT_EQ(image.LoadTim(tim.c_str()), 0);
  EXPECT_EQ(image.pixels, nullptr);

  const image_test::Pnm want = image_test::ReadPnm(tga + ".ppm");
  if constexpr (release::kChoosesLoaderByName) {
    // Release 3: BMP and TGA by name.
    EXPECT_EQ(image.LoadImageFile(bmpNamedTga.c_str()), 0);
    ASSERT_EQ(image.LoadImageFile(tga.c_str()), 1);
  } else {
    // Release 2: every texture goes through the BMP loader.
    ASSERT_EQ(image.LoadImageFile(bmpNamedTga.c_str()), 1);
    EXPECT_EQ(image.Width(), 9);
    EXPECT_EQ(image.info.bitsPerPixel, 24);
    EXPECT_EQ(image.LoadImageFile(tga.c_str()), 0);
    // Its TGA reader still reads 32-bit pictures, without the fourth bytes.
    ASSERT_EQ(image.LoadTga(tga.c_str()), 1);
  }
  // Top-left pixel of the picture: the record's top row is Height() - 1.
  const PaletteEntry corner = image.PixelColour(0, image.Height() - 1);
  EXPECT_EQ(corner.red, want.bytes[0]);
  EXPECT_EQ(corner.green, want.bytes[1]);
  EXPECT_EQ(corner.blue, want.bytes[2]);
}
