// The picture readers against the plug-in's own loaders and against
// headers that lie about their size.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "standalone/pictures/picture_limits.h"
#include "standalone/pictures/picture_reading.h"
#include "standalone/pictures/plugin_readable.h"
#include "tests/standalone/import/import_test_support.h"
#include "texture/picture/bitmap_image.h"

namespace vexo {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::vector<std::uint8_t> Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string DecodeFailure(const std::vector<std::uint8_t>& bytes) {
  try {
    const PictureHeader header = ReadPictureHeader(bytes.data(), bytes.size());
    DecodePicture(bytes.data(), bytes.size(), header.width, header.height);
  } catch (const PictureError& error) {
    return error.what();
  }
  return "no error";
}

void Put16(std::vector<std::uint8_t>& b, std::size_t at, unsigned v) {
  b[at] = std::uint8_t(v);
  b[at + 1] = std::uint8_t(v >> 8);
}

void Put32Big(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (24 - 8 * i));
}

// A PNG with other sides in its header, the header's checksum made anew.
std::vector<std::uint8_t> PngClaiming(std::vector<std::uint8_t> png, std::uint32_t width,
                                      std::uint32_t height) {
  Put32Big(png, 16, width);
  Put32Big(png, 20, height);
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 12; i < 29; ++i) {  // "IHDR" and its 13 bytes
    crc ^= png[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  Put32Big(png, 29, ~crc);
  return png;
}

// What vexo hands to the plug-in untouched, the plug-in reads as vexo's own
// decoders do: every BMP and TGA fixture of the plug-in's loader tests is
// judged, and those judged readable load through the plug-in to the same
// pixels. (TIM pictures are never decoded by vexo.)
TEST(PictureReading, WhatThePluginReadsAsIsDecodesAlikeInBoth) {
  int readable = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(VEXO_TEST_DATA_DIR) / "images")) {
    const fs::path file = entry.path();
    const std::string ext = file.extension().string();
    if (ext != ".bmp" && ext != ".tga") continue;
    const std::vector<std::uint8_t> bytes = Bytes(file);
    const auto asIs = PluginReadsAsIs(file, bytes.data(), bytes.size(), kMaxWholePixels);
    if (!asIs) continue;
    ++readable;
    SCOPED_TRACE(file.filename().string());
    BitmapImage plugin;
    ASSERT_EQ(plugin.LoadImageFile(file.c_str()), 1);
    const PictureHeader header = ReadPictureHeader(bytes.data(), bytes.size());
    ASSERT_EQ(header.width, plugin.Width());
    ASSERT_EQ(header.height, plugin.Height());
    ASSERT_EQ(asIs->width, plugin.Width());
    ASSERT_EQ(asIs->height, plugin.Height());
    const RgbImage ours = DecodePicture(bytes.data(), bytes.size(), header.width, header.height);
    for (int y = 0; y < header.height; ++y) {
      for (int x = 0; x < header.width; ++x) {
        // The plug-in keeps the bottom row first.
        const PaletteEntry c = plugin.PixelColour(x, header.height - 1 - y);
        const std::uint8_t* p = &ours.pixels[3 * (static_cast<std::size_t>(y) * header.width + x)];
        ASSERT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{c.red, c.green, c.blue}))
            << "pixel " << x << ", " << y;
      }
    }
  }
  EXPECT_GE(readable, 20);
}

TEST(PictureReading, SizesBeyondTheLimitsOrTheFileAreRefusedFromTheHeader) {
  const std::vector<std::uint8_t> png = testing::PngBytes(4, 4, [](int, int) { return testing::Rgb{}; });
  EXPECT_THAT(DecodeFailure(PngClaiming(png, 16384, 16384)),
              HasSubstr("too short for the 16384 x 16384 pixels"));
  EXPECT_THAT(DecodeFailure(PngClaiming(png, 20000, 20000)),
              HasSubstr("the picture is 20000 x 20000 pixels"));

  // A run-length TGA claiming 5000 x 5000 pixels in a few bytes.
  std::vector<std::uint8_t> tga(18 + 64, 0);
  tga[2] = 10;
  Put16(tga, 12, 5000);
  Put16(tga, 14, 5000);
  tga[16] = 24;
  EXPECT_THAT(DecodeFailure(tga), HasSubstr("vexo reads TGA pictures of up to 8386816 pixels (2896 x 2896)"));

  EXPECT_THAT(DecodeFailure({'h', 'e', 'l', 'l', 'o'}), HasSubstr("not a picture format vexo reads"));

  // A JPEG cut off in its data: the decoder would fill the rest with grey.
  testing::ScratchFolder folder;
  ASSERT_EQ(std::system(("convert -size 64x64 plasma:fractal '" + (folder / "p.jpg").string() + "'").c_str()), 0);
  std::vector<std::uint8_t> jpeg = Bytes(folder / "p.jpg");
  jpeg.resize(jpeg.size() / 2);
  EXPECT_THAT(DecodeFailure(jpeg), HasSubstr("damaged JPEG picture"));
}

// Large pictures are scaled while they are decoded, to any size below
// their own; the halves of a two-coloured picture keep their colours.
TEST(PictureReading, ScaledDecodesKeepTheirColours) {
  testing::ScratchFolder folder;
  const std::string two = "-size 1000x600 xc:'rgb(200,30,30)' -size 1000x600 xc:'rgb(30,30,200)' +append";
  for (const std::string kind : {"png", "jpg", "gif", "bmp"}) {  // NOLINT
    SCOPED_TRACE(kind);
    const fs::path file = folder / ("halves." + kind);
    ASSERT_EQ(std::system(("convert " + two + " '" + file.string() + "'").c_str()), 0);
    const std::vector<std::uint8_t> bytes = Bytes(file);
    for (const auto& [w, h] : {std::pair{500, 150}, {37, 11}, {1999, 599}}) {
      const RgbImage image = DecodePicture(bytes.data(), bytes.size(), w, h);
      ASSERT_EQ(image.width, w);
      ASSERT_EQ(image.height, h);
      const std::uint8_t* left = &image.pixels[3 * (static_cast<std::size_t>(h / 2) * w + w / 4)];
      const std::uint8_t* right = &image.pixels[3 * (static_cast<std::size_t>(h / 2) * w + 3 * w / 4)];
      EXPECT_NEAR(left[0], 200, 8);
      EXPECT_NEAR(left[2], 30, 8);
      EXPECT_NEAR(right[0], 30, 8);
      EXPECT_NEAR(right[2], 200, 8);
    }
  }
}

}  // namespace
}  // namespace vexo
