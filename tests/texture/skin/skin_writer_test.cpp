// The skin files: run-length PCX rows, the BMP and PCX files byte for
// byte and through an independent decoder, write failures, and the palette
// reduction against the full scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "plugin/export_utility.h"
#include "tests/support/bytes.h"
#include "tests/support/file_size_limit.h"
#include "tests/texture/skin/skin_test_files.h"
#include "texture/skin/palette_search.h"
#include "texture/picture/pcx.h"
#include "texture/skin/skin_palette.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// What EncodePcxRow writes for a row, and its result.
Bytes EncodeRow(const Bytes& row, int* result) {
  std::FILE* file = std::tmpfile();
  LittleEndianWriter out(file);
  *result = EncodePcxRow(row.data(), static_cast<int>(row.size()), out);
  std::fflush(file);
  Bytes written(static_cast<std::size_t>(std::ftell(file)));
  std::rewind(file);
  if (!written.empty()) {
    EXPECT_EQ(std::fread(written.data(), 1, written.size(), file), written.size());
  }
  std::fclose(file);
  return written;
}

TEST(PcxRows, RunsOfEqualBytesAndHighSingleBytesBecomePairs) {
  const struct {
    Bytes row, encoded;
  } cases[] = {
      {{7, 7, 7, 200, 200}, {0xC3, 0x07, 0xC2, 0xC8}},
      {{0xC5}, {0xC1, 0xC5}},
      {{0x3F}, {0x3F}},
      {Bytes(64, 5), {0xFF, 0x05, 0x05}},
      {Bytes(126, 5), {0xFF, 0x05, 0xFF, 0x05}},
  };
  for (const auto& c : cases) {
    int result = -1;
    EXPECT_EQ(EncodeRow(c.row, &result), c.encoded) << c.row.size() << " bytes";
    EXPECT_EQ(result, static_cast<int>(c.encoded.size()));
  }
}

// Rows of every mix of singles, runs (also past 63) and bytes of 0xC0 or
// more, of lengths around the encoder's blocks, against the rule itself:
// each stretch of equal bytes in pieces of 63 and a rest.
TEST(PcxRows, RandomRowsAreCodedRunByRun) {
  std::mt19937 random(3);
  for (int round = 0; round < 400; ++round) {
    const int length = round < 300 ? 1 + round % 100 : 2000 + int(random() % 9000);
    Bytes row;
    while (int(row.size()) < length) {
      const std::uint8_t value = std::uint8_t(random() % (round % 2 ? 256 : 4) + (round % 3) * 0x60);
      const int repeat = random() % 4 ? 1 : 1 + int(random() % 140);
      row.insert(row.end(), std::min(repeat, length - int(row.size())), value);
    }
    Bytes expected;
    for (std::size_t i = 0; i < row.size();) {
      std::size_t run = 1;
      while (run < 63 && i + run < row.size() && row[i + run] == row[i]) ++run;
      if (run > 1 || row[i] >= 0xC0) expected.push_back(std::uint8_t(0xC0 | run));
      expected.push_back(row[i]);
      i += run;
    }
    int result = -1;
    ASSERT_EQ(EncodeRow(row, &result), expected) << "round " << round;
    ASSERT_EQ(result, int(expected.size()));
  }
}

TEST(PcxRows, AWriteErrorGivesZero) {
  std::FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  std::setvbuf(full, nullptr, _IONBF, 0);
  LittleEndianWriter out(full);
  EXPECT_EQ(PutPcxRun(5, 3, out), 0);
  const Bytes row = {1, 2, 3};
  EXPECT_EQ(EncodePcxRow(row.data(), 3, out), 0);
  std::fclose(full);
}

// An ExportUtility whose skin is the given pixels; the buffers are the
// test's own, taken back before the utility is destroyed.
struct Skin {
  ExportUtility utility;
  Bytes rgb;
  Skin(int width, int height, Bytes pixels) : rgb(std::move(pixels)) {
    utility.skinWidth = width;
    utility.skinHeight = height;
    utility.skinRgb = rgb.empty() ? nullptr : rgb.data();
  }
  ~Skin() {
    utility.skinRgb = nullptr;
    delete[] utility.skinIndices;
    utility.skinIndices = nullptr;
  }
};

void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

Bytes PcxHeader(int xMax, int yMax, int bytesPerLine) {
  test_support::ByteBuilder h;
  h.U8s({10, 5, 1, 8, 0, 0, 0, 0}).U16(xMax).U16(yMax).U16s({300, 300}).Fill(48);
  h.U8s({0, 1}).U16(bytesPerLine).U16(1).Fill(58);
  return h.data;
}

Bytes BmpHeaders(std::uint32_t fileSize, int width, int height) {
  test_support::ByteBuilder h;
  h.U8s({'B', 'M'}).U32(fileSize).U32(0).U32(54).U32(40).I32(width).I32(height);
  h.U16s({1, 24}).Fill(24);
  return h.data;
}

TEST(SkinFiles, FourByTwoSkinByteForByte) {
  // Row 0 (the top): black, white, red, blue; row 1: four of 0F0F0F.
  const Bytes pixels = {0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 0, 0,
                        15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15};
  Skin skin(4, 2, pixels);
  const std::string folder = skin_test::Folder();
  const std::string name = folder + "my.skin.tga";
  ASSERT_EQ(skin.utility.ReduceSkinToPalette(), 1);
  EXPECT_EQ(Bytes(skin.utility.skinIndices, skin.utility.skinIndices + 8),
            (Bytes{0, 48, 242, 243, 1, 1, 1, 1}));
  ASSERT_EQ(skin.utility.WriteSkinPcx(name.c_str()), 1);
  ASSERT_EQ(skin.utility.WriteSkinBmp(name.c_str()), 1);

  Bytes pcx = image_test::Bytes(folder + "my.pcx");
  ASSERT_EQ(pcx.size(), 128u + 6 + 2 + 1 + 768);  // header, two rows, 12, palette
  Bytes expected = PcxHeader(3, 1, 4);
  Append(expected, {0x00, 0x30, 0xC1, 0xF2, 0xC1, 0xF3, 0xC4, 0x01, 0x0C});
  EXPECT_EQ(Bytes(pcx.begin(), pcx.begin() + 137), expected);
  // Palette entries 0, 1, 48, 242 and 243 as red, green, blue.
  const std::size_t palette = 137;
  EXPECT_EQ(Bytes(pcx.begin() + palette, pcx.begin() + palette + 6), (Bytes{0, 0, 0, 15, 15, 15}));
  EXPECT_EQ(Bytes(pcx.begin() + palette + 3 * 48, pcx.begin() + palette + 3 * 49), (Bytes{255, 255, 255}));
  EXPECT_EQ(Bytes(pcx.begin() + palette + 3 * 242, pcx.end()),
            (Bytes{255, 0, 0, 0, 0, 255, 0x2B, 0x2B, 0x23, 0x1B, 0x1B, 0x17, 0x13, 0x13, 0x0F, 0xEB,
                   0x97, 0x7F, 0xC3, 0x73, 0x53, 0x9F, 0x57, 0x33, 0x7B, 0x3F, 0x1B, 0xEB, 0xD3, 0xC7,
                   0xC7, 0xAB, 0x9B, 0xA7, 0x8B, 0x77, 0x87, 0x6B, 0x57, 0x9F, 0x5B, 0x53}));

  expected = BmpHeaders(78, 4, 2);
  Append(expected, Bytes(pixels.begin() + 12, pixels.end()));  // bottom row first
  Append(expected, Bytes(pixels.begin(), pixels.begin() + 12));
  EXPECT_EQ(image_test::Bytes(folder + "my.bmp"), expected);
}

TEST(SkinFiles, EmptySkinGivesHeadersAndPaletteOnly) {
  Skin skin(0, 0, {});
  const std::string folder = skin_test::Folder();
  const std::string name = folder + "tris";
  ASSERT_EQ(skin.utility.ReduceSkinToPalette(), 1);
  ASSERT_EQ(skin.utility.WriteSkinPcx(name.c_str()), 1);
  ASSERT_EQ(skin.utility.WriteSkinBmp(name.c_str()), 1);
  const Bytes pcx = image_test::Bytes(folder + "tris.pcx");
  ASSERT_EQ(pcx.size(), 128u + 1 + 768);
  Bytes expected = PcxHeader(0xFFFF, 0xFFFF, 0);
  expected.push_back(12);
  EXPECT_EQ(Bytes(pcx.begin(), pcx.begin() + 129), expected);
  EXPECT_EQ(image_test::Bytes(folder + "tris.bmp"), BmpHeaders(54, 0, 0));
}

// The picture an independent decoder reads from a file, as RGB rows from
// the top; empty when it cannot be read.
Bytes DecodeWithPillow(const std::string& path, int* width, int* height) {
  const std::string command =
      "/usr/bin/python3 -c \"import sys; from PIL import Image; "
      "im = Image.open(sys.argv[1]); im.load(); im = im.convert('RGB'); "
      "print(im.size[0], im.size[1]); print(im.tobytes().hex())\" '" +
      path + "'";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  if (pclose(pipe) != 0) return {};
  const std::size_t newline = text.find('\n');
  if (std::sscanf(text.c_str(), "%d %d", width, height) != 2) return {};
  Bytes rgb;
  for (std::size_t i = newline + 1; i + 1 < text.size() && text[i] != '\n'; i += 2) {
    rgb.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  }
  return rgb;
}

TEST(SkinFiles, AnIndependentDecoderSeesTheSamePicture) {
  // Long runs (split at 63), single bytes of 0xC0 and more, varied colours.
  const int width = 132, height = 5;
  Bytes pixels(3 * width * height);
  std::mt19937 random(7);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      std::uint8_t* p = &pixels[3 * (row * width + column)];
      if (row == 0) {
        p[0] = 0x00, p[1] = 0x00, p[2] = 0xFF;  // red: index 242 over the whole row
      } else if (row == 1) {
        p[0] = p[1] = p[2] = static_cast<std::uint8_t>(column * 2);
      } else {
        p[0] = static_cast<std::uint8_t>(random()), p[1] = static_cast<std::uint8_t>(random()),
        p[2] = static_cast<std::uint8_t>(random());
      }
    }
  }
  Skin skin(width, height, pixels);
  const std::string folder = skin_test::Folder();
  const std::string name = folder + "skin";
  ASSERT_EQ(skin.utility.WriteSkinBmp(name.c_str()), 1);
  ASSERT_EQ(skin.utility.ReduceSkinToPalette(), 1);
  ASSERT_EQ(skin.utility.WriteSkinPcx(name.c_str()), 1);

  int w = 0, h = 0;
  Bytes bmp = DecodeWithPillow(folder + "skin.bmp", &w, &h);
  ASSERT_EQ(w, width);
  ASSERT_EQ(h, height);
  ASSERT_EQ(bmp.size(), pixels.size());
  Bytes pcx = DecodeWithPillow(folder + "skin.pcx", &w, &h);
  ASSERT_EQ(w, width);
  ASSERT_EQ(h, height);
  ASSERT_EQ(pcx.size(), pixels.size());
  int wrongBmp = 0, wrongPcx = 0;
  for (std::size_t i = 0; i < pixels.size(); i += 3) {
    // Skin pixels are blue, green, red; the decoder gives red, green, blue.
    if (bmp[i] != pixels[i + 2] || bmp[i + 1] != pixels[i + 1] || bmp[i + 2] != pixels[i]) ++wrongBmp;
    const SkinPaletteEntry& e =
        SkinPalette[NearestPaletteIndexByScan(pixels[i + 2], pixels[i + 1], pixels[i])];
    if (pcx[i] != e.red || pcx[i + 1] != e.green || pcx[i + 2] != e.blue) ++wrongPcx;
  }
  EXPECT_EQ(wrongBmp, 0);
  EXPECT_EQ(wrongPcx, 0);
  EXPECT_EQ(pcx[0], 255);  // row 0 is the top row in both files
  EXPECT_EQ(bmp[0], 255);
}

TEST(SkinFiles, AFileThatCannotBeCompletedIsReportedAndRemoved) {
  Skin skin(4, 2, Bytes(24, 9));
  ASSERT_EQ(skin.utility.ReduceSkinToPalette(), 1);
  EXPECT_EQ(skin.utility.WriteSkinPcx("/no/such/folder/tris"), 0);
  EXPECT_EQ(skin.utility.WriteSkinBmp("/no/such/folder/tris"), 0);

  // Files may grow to 60 bytes only: both skins come out short.
  const std::string folder = skin_test::Folder();
  int pcx = -1, bmp = -1;
  {
    test_support::FileSizeLimit limit(60);
    ASSERT_TRUE(limit.ok());
    pcx = skin.utility.WriteSkinPcx((folder + "tris").c_str());
    bmp = skin.utility.WriteSkinBmp((folder + "tris").c_str());
  }
  EXPECT_EQ(pcx, 0);
  EXPECT_EQ(bmp, 0);
  EXPECT_FALSE(std::filesystem::exists(folder + "tris.pcx"));
  EXPECT_FALSE(std::filesystem::exists(folder + "tris.bmp"));
  EXPECT_FALSE(std::filesystem::exists(folder + "tris.pcx.part"));
  EXPECT_FALSE(std::filesystem::exists(folder + "tris.bmp.part"));
}

TEST(PaletteSearch, GivesTheFullScansIndexForEveryKindOfColour) {
  std::vector<std::array<std::uint8_t, 3>> colours;
  for (const SkinPaletteEntry& e : SkinPalette) {
    for (int d = -1; d <= 1; ++d) {
      colours.push_back({std::uint8_t(e.red + d), std::uint8_t(e.green - d), std::uint8_t(e.blue + d)});
    }
  }
  // Midpoints between entries, rounded both ways: where ties live.
  for (const SkinPaletteEntry& a : SkinPalette) {
    for (const SkinPaletteEntry& b : SkinPalette) {
      const int r = a.red + b.red, g = a.green + b.green, bl = a.blue + b.blue;
      colours.push_back({std::uint8_t(r / 2), std::uint8_t(g / 2), std::uint8_t(bl / 2)});
      colours.push_back({std::uint8_t((r + 1) / 2), std::uint8_t((g + 1) / 2), std::uint8_t((bl + 1) / 2)});
    }
  }
  std::mt19937 random(1);
  for (int i = 0; i < 20000; ++i) {
    const std::uint32_t v = random();
    colours.push_back({std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16)});
  }
  colours.push_back({255, 255, 255});  // the first white is entry 48
  Bytes bgr;
  for (const auto& c : colours) Append(bgr, {c[2], c[1], c[0]});
  Bytes fast(colours.size()), scan(colours.size());
  ReducePixelsToPalette(bgr.data(), colours.size(), fast.data());
  ReducePixelsToPaletteByScan(bgr.data(), colours.size(), scan.data());
  EXPECT_EQ(fast, scan);
  EXPECT_EQ(fast.back(), 48);
}

}  // namespace
