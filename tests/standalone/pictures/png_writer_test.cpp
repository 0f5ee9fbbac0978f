// The PNG writer on a full disk: an error, and the earlier file kept.
#include "standalone/pictures/png_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <vector>

#include "standalone/pictures/picture_reading.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scratch_folder.h"

namespace vexo {
namespace {

namespace fs = std::filesystem;

RgbImage Noise(int side, unsigned seed) {
  RgbImage image{side, side, {}};
  for (int i = 0; i < side * side * 3; ++i) {
    seed = seed * 1103515245u + 12345u;
    image.pixels.push_back(static_cast<std::uint8_t>(seed >> 16));
  }
  return image;
}

TEST(PngWriter, AWriteThatFailsThrowsAndKeepsTheEarlierPicture) {
  const fs::path folder = test_support::FreshFolder("vexo_png_writer");
  const fs::path png = folder / "tris.png";
  const RgbImage first = Noise(64, 1);
  WritePng(png, first);
  const std::vector<std::uint8_t> written = ReadPictureFile(png);
  const PictureHeader header = ReadPictureHeader(written.data(), written.size());
  EXPECT_EQ(DecodePicture(written.data(), written.size(), header.width, header.height).pixels,
            first.pixels);

  {
    test_support::FileSizeLimit limit(1024);
    ASSERT_TRUE(limit.ok());
    EXPECT_THROW(WritePng(png, Noise(64, 2)), PictureError);
  }
  EXPECT_EQ(ReadPictureFile(png), written);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace vexo
