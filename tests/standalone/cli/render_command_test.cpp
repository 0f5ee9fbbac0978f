// vexo render and vexo export --preview-sheet, run as a user runs them;
// the pictures read back by independent decoders (stb_image, Pillow).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "tests/standalone/import/rigged_character.h"
#include "tests/support/md2_model_builder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/vexo_run.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using test_support::FreshFolder;
using test_support::Vexo;

// What vexo draws behind the models, and around its pictures.
constexpr std::array<std::uint8_t, 3> kBackground = {48, 56, 64};
constexpr std::array<std::uint8_t, 3> kSheet = {24, 24, 28};
constexpr int kPreviewSize = 160;  // the preview sheet's views

struct Png {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  std::array<std::uint8_t, 3> At(int x, int y) const {
    const std::uint8_t* p = &rgb[(std::size_t(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

Png ReadPng(const std::string& file) {
  Png png;
  int channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load(file.c_str(), &png.width, &png.height, &channels, 3), stbi_image_free);
  if (pixels) png.rgb.assign(pixels.get(), pixels.get() + std::size_t(png.width) * png.height * 3);
  return png;
}

// The top-left corners of the sheet's pictures, row by row.
std::vector<std::array<int, 2>> Cells(const Png& sheet) {
  std::vector<std::array<int, 2>> cells;
  for (int y = 1; y < sheet.height; ++y)
    for (int x = 1; x < sheet.width; ++x)
      if (sheet.At(x, y) == kBackground && sheet.At(x - 1, y) == kSheet && sheet.At(x, y - 1) == kSheet)
        cells.push_back({x, y});
  return cells;
}

// How much two pictures' models differ: the pixels drawn in one and not in
// the other, over the pixels drawn in either.
double Mismatch(const Png& sheet, std::array<int, 2> a, std::array<int, 2> b) {
  int either = 0, one = 0;
  for (int y = 0; y < kPreviewSize; ++y)
    for (int x = 0; x < kPreviewSize; ++x) {
      const bool inA = sheet.At(a[0] + x, a[1] + y) != kBackground;
      const bool inB = sheet.At(b[0] + x, b[1] + y) != kBackground;
      either += inA || inB;
      one += inA != inB;
    }
  return either ? double(one) / either : 1;
}

// Each pair of pictures (the scene, then the model) shows one pose. With
// framesDiffer, the frames' poses also differ from one another in the front
// view, so that a scene sampled at the wrong time would not match.
void ExpectScenesMatchTheirFrames(const std::string& file, std::size_t frames, bool framesDiffer) {
  const Png sheet = ReadPng(file);
  const auto cells = Cells(sheet);
  ASSERT_EQ(cells.size(), frames * 4) << file;  // front and side, scene and model
  double worstPair = 0, bestOther = 1;
  for (std::size_t i = 0; i < cells.size(); i += 2) {
    worstPair = std::max(worstPair, Mismatch(sheet, cells[i], cells[i + 1]));
    if (i >= 4 && i % 4 == 0)
      bestOther = std::min(bestOther, Mismatch(sheet, cells[i - 4], cells[i + 1]));
  }
  EXPECT_LT(worstPair, 0.06) << file;
  if (framesDiffer) {
    EXPECT_GT(bestOther, 3 * worstPair) << file;
  }
}

TEST(RenderCommand, DrawsASheetAndALoopingAnimationOfTheDemo) {
  const std::string folder = FreshFolder("render_demo");
  ASSERT_EQ(Vexo(folder, "demo -o demo").code, 0);
  const auto run = Vexo(folder, "render demo/tris.md2 -o sheet.png --animated run.gif "
                                "--animation run --views front,side --size 64");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("6 frames in 2 views"));
  const Png sheet = ReadPng(folder + "/sheet.png");
  EXPECT_EQ(Cells(sheet).size(), 12u);
  // Six frames, a tenth of a second each, repeated for ever.
  EXPECT_EQ(test_support::Output("/usr/bin/python3 -c \"from PIL import Image; g = Image.open('" +
                                 folder + "/run.gif'); print(g.n_frames, g.info['duration'], "
                                          "g.info['loop'])\""),
            "6 100 0\n");
  // The same with the GL renderer's effects left out differs: the demo's
  // skin is smeared by the flood fill.
  ASSERT_EQ(Vexo(folder, "render demo/tris.md2 -o plain.png --animation run --views front,side "
                         "--size 64 --plain").code, 0);
  EXPECT_NE(ReadPng(folder + "/plain.png").rgb, sheet.rgb);
}

TEST(RenderCommand, RefusesBadInputWithoutWritingAndDrawsWhatAForeignModelHolds) {
  const std::string folder = FreshFolder("render_refusals");
  ASSERT_EQ(Vexo(folder, "demo -o demo").code, 0);
  auto truncated = test_support::ReadFileBytes(folder + "/demo/tris.md2");
  truncated.resize(1000);
  test_support::WriteFileBytes(folder + "/cut.md2", truncated);
  test_support::WriteFileBytes(folder + "/bad.pcx", {10, 5, 1, 8});
  for (const auto& [args, why] : std::vector<std::pair<std::string, std::string>>{
           {"demo/tris.md2 -o out.png --views front,diagonal", "\"diagonal\" is not a view"},
           {"demo/tris.md2 -o out.png --frames run1-run9", "run1-run9"},
           {"demo/tris.md2 -o out.png --frames run6-run1", "runs backwards"},
           {"demo/tris.md2 -o out.png --animation walk", "no frame is named walk"},
           {"demo/tris.md2 -o out.png --size 4", "--size"},
           {"demo/tris.md2 -o nowhere/out.png", "does not exist"},
           {"demo/tris.md2", "-o OUT.png"},
           {"cut.md2 -o out.png", "cannot be used"},
           {"demo/tris.md2 -o out.png --skin bad.pcx", "bad.pcx"}}) {
    const auto run = Vexo(folder, "render " + args);
    EXPECT_EQ(run.code, 2) << args;
    EXPECT_THAT(run.err, HasSubstr(why)) << args;
    EXPECT_FALSE(fs::exists(folder + "/out.png")) << args;
  }

  // A model from elsewhere whose GL commands name a vertex it lacks and
  // hold a position that is no number: drawn as far as it goes, and said.
  test_support::Md2Model foreign = test_support::Box();
  std::vector<std::int32_t> words = foreign.GlWords();
  words[3] = 9999;                 // the first corner's vertex
  words[4] = 0x7FC00000;           // the second corner's s: not a number
  foreign.glCommands = words;
  foreign.frames[0].scale[1] = std::nanf("");
  test_support::WriteFileBytes(folder + "/foreign.md2", foreign.Build());
  const auto run = Vexo(folder, "render foreign.md2 -o foreign.png --size 32");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("names vertices it does not have in 1 triangles"));
  EXPECT_TRUE(fs::exists(folder + "/foreign.png"));
}

TEST(PreviewSheet, TheSceneAsTheHostPosedItMatchesEachWrittenFrame) {
  const std::string folder = FreshFolder("preview_sheet");
  // The demo's run cycle, sampled from scene frame 40 on.
  const auto demo = Vexo(folder, "export demo -o run.md2 --pcx --skin run --start run1 --end run6 "
                                 "--first-frame 40 --preview-sheet run.png");
  ASSERT_EQ(demo.code, 0) << demo.err;
  EXPECT_THAT(demo.out, HasSubstr("wrote run.png"));
  ExpectScenesMatchTheirFrames(folder + "/run.png", 4, true);

  // A rigged character's looping clip spread over two ranges.
  vexo::testing::CharacterShape shape;
  shape.bones = 4;
  shape.frames = 30;
  vexo::testing::WriteRiggedCharacter(folder, "hero", shape);
  const auto hero = Vexo(folder, "export hero.gltf -o hero.md2 --pcx --map sway:stand01-stand10 "
                                 "--map sway:run1-run3 --preview-sheet hero.png");
  ASSERT_EQ(hero.code, 0) << hero.err;
  ExpectScenesMatchTheirFrames(folder + "/hero.png", 7, false);

  const auto refused = Vexo(folder, "export demo -o x.md2 --preview-sheet missing/x.png");
  EXPECT_EQ(refused.code, 2);
  EXPECT_FALSE(fs::exists(folder + "/x.md2"));
}

}  // namespace
