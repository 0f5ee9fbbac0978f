#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/texture/picture/image_test_files.h"
#include "texture/picture/bitmap_image.h"

namespace fs = std::filesystem;
using image_test::Bytes;
using image_test::Fixture;

namespace {

struct Case {
  const char* file;
  int bitsPerPixel;
};

// Fixtures and the depth each one loads as (the expected contents lie
// beside them, decoded by Pillow and ImageMagick or computed for TIM).
const Case kCases[] = {
    {"bmp4_v3.bmp", 4},      {"bmp4_v5.bmp", 4},      {"bmp4_used0.bmp", 4},
    {"bmp8_v3.bmp", 8},      {"bmp8_v5.bmp", 8},      {"bmp8_used0.bmp", 8},
    {"bmp24_v3.bmp", 24},    {"bmp24_v5.bmp", 24},    {"bmp24_gap.bmp", 24},
    {"tga1_bl.tga", 8},      {"tga1_tl_id.tga", 8},   {"tga1_first.tga", 8},
    {"tga1_nomap.tga", 8},   {"tga9_bl.tga", 8},      {"tga3_bl.tga", 8},
    {"tga11_tl.tga", 8},     {"tga2_24_bl.tga", 24},  {"tga2_24_tl.tga", 24},
    {"tga10_24_bl.tga", 24}, {"tga10_24_tl.tga", 24}, {"tga10_cross.tga", 24},
    {"tga2_24_br.tga", 24},  {"tga10_24_tr.tga", 24},
    {"tga2_32_bl.tga", 32},  {"tga2_32_tl.tga", 32},  {"tga10_32_tl.tga", 32},
    {"tim4_clut.tim", 4},    {"tim4_plain.tim", 4},   {"tim8_clut.tim", 8},
    {"tim8_plain.tim", 8},
};

// Rows padded to whole 32-bit words.
std::int64_t ExpectedStride(int width, int bitsPerPixel) {
  const int bits = bitsPerPixel == 32 ? 24 : bitsPerPixel;
  return (std::int64_t{width} * bits + 31) / 32 * 4;
}

}  // namespace

TEST(ImageLoaders, ReadTheColoursThatIndependentReadersSee) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const std::string file = Fixture(c.file);
    BitmapImage image;
    ASSERT_EQ(image.LoadImageFile(file.c_str()), 1);
    const image_test::Pnm rgb = image_test::ReadPnm(file + ".ppm");
    ASSERT_EQ(image.Width(), rgb.width);
    ASSERT_EQ(image.Height(), rgb.height);
    ASSERT_EQ(image.info.bitsPerPixel, c.bitsPerPixel);
    const bool tim = std::string(c.file).find(".tim") != std::string::npos;
    EXPECT_STREQ(image.name, tim ? "" : c.file);
    EXPECT_STREQ(image.path, tim ? "" : file.c_str());

    const image_test::Pnm alpha = image_test::ReadPnm(file + ".alpha.pgm");
    const image_test::Pnm index = image_test::ReadPnm(file + ".index.pgm");
    ASSERT_EQ(image.alpha != nullptr, !alpha.bytes.empty());
    const std::int64_t stride = ExpectedStride(rgb.width, c.bitsPerPixel);
    for (int row = 0; row < rgb.height; ++row) {
      const int y = rgb.height - 1 - row;  // the record keeps the bottom row first
      const std::uint8_t* line = image.pixels + y * stride;
      for (int x = 0; x < rgb.width; ++x) {
        const std::uint8_t* want = &rgb.bytes[3 * (row * rgb.width + x)];
        const PaletteEntry got = image.PixelColour(x, y);
        ASSERT_EQ(got.red, want[0]) << x << "," << row;
        ASSERT_EQ(got.green, want[1]) << x << "," << row;
        ASSERT_EQ(got.blue, want[2]) << x << "," << row;
        // The row layout itself: blue, green, red triples, or indices with
        // the even pixel in the high nibble.
        if (c.bitsPerPixel >= 24) {
          ASSERT_EQ(line[3 * x], want[2]);
          ASSERT_EQ(line[3 * x + 2], want[0]);
        } else {
          const int raw = c.bitsPerPixel == 8 ? line[x] : (line[x / 2] >> (x % 2 ? 0 : 4)) & 15;
          ASSERT_EQ(image.PixelIndex(x, y), raw);
          if (!index.bytes.empty()) {
            ASSERT_EQ(raw, index.bytes[row * rgb.width + x]);
          }
        }
        if (!alpha.bytes.empty()) {
          ASSERT_EQ(image.alpha[y * rgb.width + x], alpha.bytes[row * rgb.width + x]);
        }
      }
    }
  }
  // Rows of a picture 9 pixels wide: 8 bytes at 4 bits, 12 at 8, 28 at 24.
  EXPECT_EQ(ExpectedStride(9, 4), 8);
  EXPECT_EQ(ExpectedStride(9, 8), 12);
  EXPECT_EQ(ExpectedStride(9, 24), 28);
}

// A picture whose pixels are not wanted is still checked as a decode
// checks it: the same files fail, the same sizes and palettes come out.
TEST(ImageLoaders, EveryCutShortFileFailsOrReadsTheSameWithOrWithoutItsPixels) {
  const fs::path copy = image_test::ScratchDir("cut") / "picture";
  SidesToDecode none;
  none.widthTo = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const std::vector<std::uint8_t> whole = Bytes(Fixture(c.file));
    BitmapImage full;
    ASSERT_EQ(full.LoadImageFile(Fixture(c.file).c_str()), 1);
    const std::string name = copy.string() + fs::path(c.file).extension().string();
    image_test::Write(name, whole);
    for (std::size_t size = whole.size() + 1; size-- > 0;) {
      fs::resize_file(name, size);
      BitmapImage cut;
      BitmapImage sized;
      const int read = cut.LoadImageFile(name.c_str());
      ASSERT_EQ(sized.LoadImageFile(name.c_str(), none), read) << size;
      ASSERT_EQ(sized.pixels, nullptr) << size;
      ASSERT_EQ(sized.Width(), cut.Width()) << size;
      ASSERT_EQ(sized.Height(), cut.Height()) << size;
      ASSERT_EQ(sized.info.bitsPerPixel, cut.info.bitsPerPixel) << size;
      ASSERT_EQ(0, std::memcmp(sized.palette, cut.palette, sizeof cut.palette)) << size;
      if (!read) {
        ASSERT_EQ(cut.pixels, nullptr) << size;
        ASSERT_EQ(cut.Width(), 0) << size;
        continue;
      }
      // Only trailing bytes that carry no pixel may go missing.
      ASSERT_EQ(cut.Width(), full.Width()) << size;
      ASSERT_EQ(cut.Height(), full.Height()) << size;
      const std::size_t bytes = full.Stride() * full.Height();
      ASSERT_EQ(std::vector<std::uint8_t>(cut.pixels, cut.pixels + bytes),
                std::vector<std::uint8_t>(full.pixels, full.pixels + bytes))
          << size;
    }
  }
}

TEST(ImageLoaders, RefuseBrokenHeaders) {
  struct Patch {
    const char* file;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
    const char* reason;  // part of what the loader says
  };
  const Patch patches[] = {
      {"bmp24_v3.bmp", 0, {'B', 'A'}, "not a BMP picture"},
      {"bmp24_v3.bmp", 18, {0x01, 0x40, 0, 0}, "a BMP of 16385 x"},      // width 16385
      {"bmp24_v3.bmp", 18, {0, 0, 0, 0}, "a BMP of 0 x"},                // width 0
      {"bmp24_v3.bmp", 18, {0xF7, 0xFF, 0xFF, 0xFF}, "a BMP of -9 x"},   // width -9
      {"bmp24_v3.bmp", 22, {0xFB, 0xFF, 0xFF, 0xFF}, "top-down BMP"},    // height -5: top row first
      {"bmp24_v3.bmp", 18, {0, 0x40, 0, 0, 0, 0x40, 0, 0}, "ends inside its pixels"},  // 16384 x 16384 in 194 bytes
      {"bmp24_v3.bmp", 14, {12, 0, 0, 0}, "info header of 12 bytes"},    // OS/2 header
      {"bmp24_v3.bmp", 14, {64, 0, 0, 0}, "info header of 64 bytes"},    // unknown header
      {"bmp24_v3.bmp", 30, {1, 0, 0, 0}, "compressed BMP is not read"},  // run-length compressed
      {"bmp24_v3.bmp", 28, {32, 0}, "32-bit BMP is not read"},          // 32 bits per pixel
      {"bmp24_v3.bmp", 10, {20, 0, 0, 0}, "start inside its headers"},  // pixels inside the headers
      {"bmp24_v3.bmp", 10, {0xF0, 0xFF, 0xFF, 0xFF}, "ends before its pixels"},  // pixels past the end
      {"tga2_24_bl.tga", 12, {0, 0}, "a TGA of 0 x"},                    // width 0
      {"tga2_24_bl.tga", 16, {16}, "TGA type 2 with 16-bit pixels is not read"},
      {"tga2_24_bl.tga", 2, {32}, "TGA type 32 is not read"},           // Huffman-coded type
      {"tga2_24_bl.tga", 1, {2}, "colour-map type 2"},                   // unknown colour-map type
      {"tga1_bl.tga", 7, {32}, "colour map of 32-bit entries"},          // 32-bit colour map
      {"tga10_24_bl.tga", 12, {0, 0x40, 0, 0x40}, "ends inside its pixels"},  // 16384 x 16384 in 184 bytes
      {"tim8_clut.tim", 4, {0x0A}, "TIM of mode 2 is not read"},         // 16-bit pixels
      {"tim8_clut.tim", 8, {4, 0, 0, 0}, "block of 4 bytes is shorter"},  // table shorter than its head
      {"tim8_plain.tim", 16, {0xFB, 0xFF}, "a TIM of -10 x"},            // negative width
      {"tim8_plain.tim", 18, {0, 0}, " x 0 pixels"},                     // height 0
  };
  const fs::path dir = image_test::ScratchDir("broken");
  for (const Patch& p : patches) {
    std::vector<std::uint8_t> bytes = Bytes(Fixture(p.file));
    std::copy(p.bytes.begin(), p.bytes.end(), bytes.begin() + p.offset);
    const std::string name = (dir / p.file).string();
    image_test::Write(name, bytes);
    BitmapImage image;
    EXPECT_EQ(image.LoadImageFile(name.c_str()), 0) << p.file << " @" << p.offset;
    EXPECT_THAT(image.loadFailure, ::testing::HasSubstr(p.reason)) << p.file << " @" << p.offset;
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_STREQ(image.name, "");
  }
  // A table said to hold more than 256 colours: the 256 that fit are kept.
  std::vector<std::uint8_t> bytes = Bytes(Fixture("bmp8_v3.bmp"));
  bytes[46] = 0xE8, bytes[47] = 0x03;  // 1000 colours
  image_test::Write((dir / "many.bmp").string(), bytes);
  BitmapImage many, plain;
  ASSERT_EQ(many.LoadImageFile((dir / "many.bmp").string().c_str()), 1);
  ASSERT_EQ(plain.LoadImageFile(Fixture("bmp8_v3.bmp").c_str()), 1);
  EXPECT_EQ(many.PixelColour(3, 2).red, plain.PixelColour(3, 2).red);
  EXPECT_EQ(many.palette[255].green, plain.palette[255].green);
}

TEST(ImageLoaders, ChooseTheLoaderByTheTextsInTheWholePath) {
  const fs::path dir = image_test::ScratchDir("names");
  fs::create_directories(dir / "skins.bmp");
  fs::create_directories(dir / "old.tim");
  const auto place = [&](const char* fixture, const fs::path& name) {
    fs::copy_file(Fixture(fixture), dir / name, fs::copy_options::overwrite_existing);
    return (dir / name).string();
  };
  BitmapImage image;
  // ".bmp" in a folder name wins over the ".tga" of the file name.
  EXPECT_EQ(image.LoadImageFile(place("bmp24_v3.bmp", "skins.bmp/face.tga").c_str()), 1);
  EXPECT_STREQ(image.name, "face.tga");
  EXPECT_EQ(image.LoadImageFile(place("tga2_24_bl.tga", "skins.bmp/real.tga").c_str()), 0);
  // ".tga" is looked for before ".tim".
  EXPECT_EQ(image.LoadImageFile(place("tga2_24_bl.tga", "old.tim/face.tga").c_str()), 1);
  EXPECT_EQ(image.LoadImageFile(place("tga2_24_bl.tga", "FACE.TGA").c_str()), 1);
  EXPECT_EQ(image.LoadImageFile(place("tim8_clut.tim", "FACE.TIM").c_str()), 1);
  // Mixed case and missing extensions are not recognised.
  const std::string mixed = place("tga2_24_bl.tga", "face.Tga");
  EXPECT_EQ(image.LoadImageFile(mixed.c_str()), 0);
  EXPECT_EQ(image.LoadTga(mixed.c_str()), 1);
  EXPECT_EQ(image.LoadImageFile(place("bmp24_v3.bmp", "face").c_str()), 0);
  EXPECT_EQ(image.LoadImageFile((dir / "missing.bmp").string().c_str()), 0);
  EXPECT_EQ(image.LoadImageFile(nullptr), 0);
  // The name is the text behind the last backslash or slash.
  EXPECT_EQ(image.LoadImageFile(place("bmp24_v3.bmp", "maps\\wall.bmp").c_str()), 1);
  EXPECT_STREQ(image.name, "wall.bmp");

  // 255 characters fit the record; a longer path is refused, not cut.
  const std::size_t room = 255 - (dir.string().size() + 1);
  ASSERT_GT(room, 20u);
  const std::string longest = place("bmp24_v3.bmp", std::string(room - 4, 'n') + ".bmp");
  ASSERT_EQ(longest.size(), 255u);
  EXPECT_EQ(image.LoadImageFile(longest.c_str()), 1);
  EXPECT_EQ(std::string(image.path), longest);
  const std::string tooLong = place("bmp24_v3.bmp", std::string(room - 3, 'n') + ".bmp");
  EXPECT_EQ(image.LoadImageFile(tooLong.c_str()), 0);
  EXPECT_STREQ(image.path, "");
}

TEST(ImageLoaders, PixelReadersWrapAroundThePicture) {
  // 16 x 8 at 8 bits: index = 16 * file row + column, file rows top first.
  std::vector<std::uint8_t> tim = {0x10, 0, 0, 0, 1, 0, 0, 0, 140, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0};
  for (int i = 0; i < 128; ++i) tim.push_back(static_cast<std::uint8_t>(i));
  const std::string name = (image_test::ScratchDir("wrap") / "grid.tim").string();
  image_test::Write(name, tim);
  BitmapImage image;
  ASSERT_EQ(image.LoadTim(name.c_str()), 1);
  const auto at = [](int x, int y) { return 16 * (7 - y) + x; };  // y counts from the bottom
  EXPECT_EQ(image.PixelIndex(0, 0), at(0, 0));
  EXPECT_EQ(image.PixelIndex(-1, -1), at(15, 7));
  EXPECT_EQ(image.PixelIndex(17, 8), at(1, 0));
  EXPECT_EQ(image.PixelIndex(-33, -17), at(15, 7));
  EXPECT_EQ(image.PixelIndex(INT_MIN, INT_MAX), at(0, 7));

  // Moving hands the buffers over; an empty record reads as index 255, black.
  BitmapImage moved(std::move(image));
  EXPECT_EQ(moved.PixelIndex(-1, -1), at(15, 7));
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(image.PixelIndex(3, 3), 255);
  EXPECT_EQ(image.PixelColour(3, 3).red, 0);
  moved.FreePixels();
  EXPECT_EQ(moved.pixels, nullptr);
}
