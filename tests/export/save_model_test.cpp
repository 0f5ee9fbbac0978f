// The whole export through ExportUtility::SaveModel on in-memory scenes:
// the files it writes, byte for byte where the rules fix every byte, and
// each failure with its message, caption and what is left on disk.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vexo_win32_host.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "plugin/export_utility.h"
#include "standalone/memory_host.h"
#include "standalone/scene_building.h"
#include "tests/support/bytes.h"
#include "texture/skin/skin_palette.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes ReadFile(const fs::path& path) { return test_support::ReadFileBytes(path.string()); }
using test_support::F32At;
using test_support::I16At;
using test_support::I32At;

// A 4 x 4 24-bit BMP whose stored row r, column c has the colour of skin
// palette entry first + 4r + c (rows stored bottom first, as in the file).
void WriteTexture(const fs::path& path, int first) {
  test_support::ByteBuilder b;
  b.U8s({'B', 'M'}).U32s({54 + 4 * 12, 0, 54, 40, 4, 4}).U16s({1, 24}).Fill(24);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      const SkinPaletteEntry& e = SkinPalette[first + 4 * r + c];
      b.U8s({e.blue, e.green, e.red});
    }
  test_support::WriteFileBytes(path.string(), b.data);
}

class SaveModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vexo-save-model-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    WriteTexture(dir_ / "a.bmp", 16);
    WriteTexture(dir_ / "b.bmp", 64);
    // Two 2 x 2 quads at x = -2 and x = +2, each showing one whole texture.
    auto& root = host_.scene().Root();
    root.AddChild("left")
        .SetMesh(vexo::MakeQuad(2, 2))
        .SetTransform(vexo::Translate(-2, 0, 0))
        .SetMaterial(vexo::BitmapMaterial("a", (dir_ / "a.bmp").string()))
        .Select();
    root.AddChild("right")
        .SetMesh(vexo::MakeQuad(2, 2))
        .SetTransform(vexo::Translate(2, 0, 0))
        .SetMaterial(vexo::BitmapMaterial("b", (dir_ / "b.bmp").string()))
        .Select();
    utility_.hostInterface = &host_;
    utility_.panelWindow = vexo::win32::CreateHostWindow("panel");
    ChooseFile(dir_ / "ogre.md2");
    vexo::win32::ClearMessageBoxLog();
  }
  void TearDown() override {
    vexo::win32::SetSaveFileNameHandler(nullptr);
    fs::remove_all(dir_);
  }

  void ChooseFile(std::optional<fs::path> path) {
    vexo::win32::SetSaveFileNameHandler(
        [path](const OPENFILENAMEA&) -> std::optional<std::string> {
          if (!path) return std::nullopt;
          return path->string();
        });
  }
  int Save(int bmp, int pcx, std::int32_t start = 0, std::int32_t end = 197, float scale = 1.0f,
           const std::string& skin = "tris") {
    return utility_.SaveModel((dir_ / skin).string().c_str(), bmp, pcx, 0, start, end, scale);
  }
  // The one message box the export showed, as "caption|text".
  std::string OnlyMessage() {
    const auto log = vexo::win32::MessageBoxLog();
    if (log.size() != 1) return "boxes: " + std::to_string(log.size());
    EXPECT_EQ(log[0].owner, utility_.panelWindow);
    EXPECT_EQ(log[0].type, 0u);
    return log[0].caption + "|" + log[0].text;
  }
  void ExpectBuffersFreed() {
    EXPECT_EQ(utility_.vertices, nullptr);
    EXPECT_EQ(utility_.faces, nullptr);
    EXPECT_EQ(utility_.textures, nullptr);
    EXPECT_EQ(utility_.skinRgb, nullptr);
    EXPECT_EQ(utility_.skinIndices, nullptr);
  }

  fs::path dir_;
  vexo::MemoryHost host_;
  ExportUtility utility_;
};

TEST_F(SaveModelTest, TwoTexturesGiveModelAndSkinsWhoseBytesFollowTheRules) {
  ASSERT_EQ(Save(1, 1), 1) << OnlyMessage();
  EXPECT_TRUE(vexo::win32::MessageBoxLog().empty());
  ExpectBuffersFreed();
  // a.bmp sorts first and is placed at (0, 0), b.bmp beside it at (4, 0):
  // an 8 x 4 skin.
  EXPECT_EQ(utility_.skinWidth, 8);
  EXPECT_EQ(utility_.skinHeight, 4);

  const Bytes md2 = ReadFile(dir_ / "ogre.md2");
  const std::int32_t header[17] = {0x32504449, 8,  8,   4,   72,  0,     8,     12,   4,
                                   41,         198, 68, 68,  116, 164, 14420, 14584};
  ASSERT_EQ(md2.size(), 14584u + 131u);
  for (int i = 0; i < 17; ++i) EXPECT_EQ(I32At(md2, 4 * i), header[i]) << "header field " << i;
  // Corners in skin pixels: s = 4u + x, t = 4v + y of each face's texture.
  const std::int16_t st[12][2] = {{0, 0}, {4, 0}, {4, 4}, {0, 0}, {4, 4}, {0, 4},
                                  {4, 0}, {8, 0}, {8, 4}, {4, 0}, {8, 4}, {4, 4}};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(I16At(md2, 68 + 4 * i), st[i][0]) << "s of corner " << i;
    EXPECT_EQ(I16At(md2, 70 + 4 * i), st[i][1]) << "t of corner " << i;
  }
  // Winding reversed: vertices (a, c, b), texture coordinates (3i, 3i+2, 3i+1).
  const std::uint16_t tris[4][6] = {
      {0, 2, 1, 0, 2, 1}, {0, 3, 2, 3, 5, 4}, {4, 6, 5, 6, 8, 7}, {4, 7, 6, 9, 11, 10}};
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 6; ++k)
      EXPECT_EQ(static_cast<std::uint16_t>(I16At(md2, 116 + 12 * i + 2 * k)), tris[i][k]);
  // Frame 0 is "stand01"; after the axis turn (-y, x, z) x runs -1..1 and
  // y -3..3, z is flat.
  EXPECT_STREQ(reinterpret_cast<const char*>(&md2[164 + 24]), "stand01");
  EXPECT_FLOAT_EQ(F32At(md2, 164 + 12), -1.0f);
  EXPECT_FLOAT_EQ(F32At(md2, 164 + 16), -3.0f);
  EXPECT_FLOAT_EQ(F32At(md2, 164 + 8), 0.0f);
  // GL record of face 3: corners 0, 2, 1 as fractions of the skin size.
  const std::size_t gl = 14420 + 3 * 40;
  EXPECT_EQ(I32At(md2, gl), -3);
  EXPECT_FLOAT_EQ(F32At(md2, gl + 4), 0.5f);
  EXPECT_FLOAT_EQ(F32At(md2, gl + 8), 0.0f);
  EXPECT_EQ(I32At(md2, gl + 12), 4);
  EXPECT_FLOAT_EQ(F32At(md2, gl + 16), 0.5f);
  EXPECT_FLOAT_EQ(F32At(md2, gl + 20), 1.0f);
  EXPECT_EQ(I32At(md2, gl + 24), 7);
  EXPECT_EQ(I32At(md2, 14580), 0);

  // Skin row y, column x: texture a's stored row y for x < 4, b's for x >= 4;
  // the stored rows are copied as they are, so the skin's top row is the
  // bottom row of each picture file.
  auto entry = [](int x, int y) { return x < 4 ? 16 + 4 * y + x : 64 + 4 * y + (x - 4); };
  test_support::ByteBuilder bmp;
  bmp.U8s({'B', 'M'}).U32s({150, 0, 54, 40, 8, 4}).U16s({1, 24}).Fill(24);
  for (int y = 3; y >= 0; --y)
    for (int x = 0; x < 8; ++x) {
      const SkinPaletteEntry& e = SkinPalette[entry(x, y)];
      bmp.U8s({e.blue, e.green, e.red});
    }
  EXPECT_EQ(ReadFile(dir_ / "tris.bmp"), bmp.data);

  Bytes pcx = {10, 5, 1, 8, 0, 0, 0, 0, 7, 0, 3, 0, 44, 1, 44, 1};
  pcx.resize(64, 0);
  pcx.insert(pcx.end(), {0, 1, 8, 0, 1, 0});
  pcx.resize(128, 0);
  // Every index is below 0xC0 and differs from its neighbour: no runs.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) pcx.push_back(static_cast<std::uint8_t>(entry(x, y)));
  pcx.push_back(12);
  for (const SkinPaletteEntry& e : SkinPalette) pcx.insert(pcx.end(), {e.red, e.green, e.blue});
  EXPECT_EQ(ReadFile(dir_ / "tris.pcx"), pcx);
}

TEST_F(SaveModelTest, UpdateRewritesOnlyTheChosenFramesAndLaterSavesKeepTheOthers) {
  ASSERT_EQ(Save(0, 0), 1);
  const Bytes before = ReadFile(dir_ / "ogre.md2");
  // Move the right quad up and write frame 10 only, sampled at host frame 0.
  host_.scene().FindNode("right")->SetTransform(vexo::Translate(2, 5, 0));
  ASSERT_EQ(Save(0, 0, 10, 10), 1);
  const Bytes after = ReadFile(dir_ / "ogre.md2");
  ASSERT_EQ(after.size(), before.size());
  const std::size_t frame10 = 164 + 72 * 10;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (i >= frame10 && i < frame10 + 72) continue;
    ASSERT_EQ(after[i], before[i]) << "byte " << i << " outside frame 10 changed";
  }
  EXPECT_NE(Bytes(after.begin() + frame10, after.begin() + frame10 + 72),
            Bytes(before.begin() + frame10, before.begin() + frame10 + 72));
  EXPECT_FALSE(fs::exists(dir_ / "tris.bmp"));
  EXPECT_FALSE(fs::exists(dir_ / "tris.pcx"));
}

TEST_F(SaveModelTest, EachFailureShowsItsMessageFreesEverythingAndLeavesFilesAlone) {
  // Cancelling the dialog: nothing shown, nothing written.
  ChooseFile(std::nullopt);
  EXPECT_EQ(Save(1, 1), 0);
  EXPECT_TRUE(vexo::win32::MessageBoxLog().empty());
  EXPECT_FALSE(fs::exists(dir_ / "ogre.md2"));
  ChooseFile(dir_ / "ogre");

  // A chosen name's extension and a dotted folder: the model lands in that
  // folder under the chosen base name.
  fs::create_directory(dir_ / "my.models");
  ChooseFile(dir_ / "my.models" / "ogre.old");
  ASSERT_EQ(Save(0, 0), 1);
  EXPECT_TRUE(fs::exists(dir_ / "my.models" / "ogre.md2"));
  ChooseFile(dir_ / "ogre");

  auto expectFailure = [&](const std::string& message) {
    vexo::win32::ClearMessageBoxLog();
    EXPECT_EQ(Save(1, 1), 0);
    EXPECT_EQ(OnlyMessage(), message);
    ExpectBuffersFreed();
    EXPECT_FALSE(fs::exists(dir_ / "ogre.md2"));
    EXPECT_FALSE(fs::exists(dir_ / "tris.bmp"));
    EXPECT_FALSE(fs::exists(dir_ / "tris.pcx"));
  };

  // A texture that cannot be read.
  fs::rename(dir_ / "b.bmp", dir_ / "b.away");
  expectFailure("Scene Error|Cannot load all Textures...\nAre they all .BMP?");
  fs::rename(dir_ / "b.away", dir_ / "b.bmp");

  // A texture wider than the skin area.
  host_.scene().FindNode("right")->SetMesh([] {
    vexo::MeshData quad = vexo::MakeQuad(2, 2);
    for (auto& t : quad.textureVertices) t.x *= 121;  // 4 x 121 = 484 pixels wide
    return quad;
  }());
  expectFailure("Buffer to small|Unable to place all textures in specified texture size");

  // A selected, mapped node that is no triangle mesh.
  host_.scene().FindNode("right")->ClearMesh();
  expectFailure("Scene Error|Cannot get mesh");

  // Nothing selected and mapped.
  host_.scene().FindNode("right")->Select(false);
  host_.scene().FindNode("left")->Select(false);
  expectFailure("Scene Error|Nothing to save. \n(Are all objects to save selected and mapped?)");
}

// 8 MiB of run-length packets claim 16384 x 16384 pixels (805 MB decoded).
// Used whole, the picture could never be placed in the skin, so it fails
// with the placement message without its pixels ever being decoded.
TEST_F(SaveModelTest, PictureThatCouldNeverBePlacedIsNotDecoded) {
  test_support::ByteBuilder tga;
  tga.U8s({0, 0, 10}).Fill(9).U16s({16384, 16384}).U8s({24, 0});
  const std::size_t packets = std::size_t{16384} * 16384 / 128;
  tga.data.reserve(tga.data.size() + 4 * packets);
  for (std::size_t i = 0; i < packets; ++i) tga.U8s({0xFF, 0x20, 0x40, 0x60});
  test_support::WriteFileBytes((dir_ / "huge.tga").string(), tga.data);
  tga.data = {};
  host_.scene().FindNode("right")->SetMaterial(
      vexo::BitmapMaterial("huge", (dir_ / "huge.tga").string()));

  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  EXPECT_EQ(Save(1, 1), 0);
  EXPECT_EQ(OnlyMessage(), "Buffer to small|Unable to place all textures in specified texture size");
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 100 * 1024) << "kilobytes more at the peak";
  ExpectBuffersFreed();
  EXPECT_FALSE(fs::exists(dir_ / "ogre.md2"));
}

TEST_F(SaveModelTest, ModelThatDoesNotFitOrSkinThatCannotBeWrittenStopsTheExport) {
  ASSERT_EQ(Save(0, 0), 1);
  const Bytes model = ReadFile(dir_ / "ogre.md2");
  // One more quad: the existing model's counts no longer fit.
  host_.scene().Root().AddChild("extra").SetMesh(vexo::MakeQuad()).SetMaterial(
      vexo::BitmapMaterial("a", (dir_ / "a.bmp").string())).Select();
  EXPECT_EQ(Save(1, 1), 0);
  EXPECT_EQ(OnlyMessage(),
            "File Error|Cannot save model.\n(Is existing model of same vertex and face count?)");
  EXPECT_EQ(ReadFile(dir_ / "ogre.md2"), model);
  EXPECT_FALSE(fs::exists(dir_ / "tris.bmp"));
  host_.scene().FindNode("extra")->Select(false);

  // Skins into a folder that does not exist.
  vexo::win32::ClearMessageBoxLog();
  EXPECT_EQ(Save(1, 0, 0, 197, 1.0f, "missing/tris"), 0);
  EXPECT_EQ(OnlyMessage(), "File Error|Cannot save BMP image");
  vexo::win32::ClearMessageBoxLog();
  EXPECT_EQ(Save(0, 1, 0, 197, 1.0f, "missing/tris"), 0);
  EXPECT_EQ(OnlyMessage(), "File Error|Cannot save PCX image");
  ExpectBuffersFreed();

  // A BMP that cannot take its name (a folder holds it) is reported after
  // the PCX asked for with it has been written.
  fs::create_directories(dir_ / "tris.bmp" / "inside");
  vexo::win32::ClearMessageBoxLog();
  EXPECT_EQ(Save(1, 1), 0);
  EXPECT_EQ(OnlyMessage(), "File Error|Cannot save BMP image");
  EXPECT_TRUE(fs::is_regular_file(dir_ / "tris.pcx"));
  ExpectBuffersFreed();
}

}  // namespace
