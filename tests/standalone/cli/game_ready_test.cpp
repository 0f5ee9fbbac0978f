// Game-ready models through the vexo command: the check after an export,
// the finishing options, skin names that survive an in-place update, player
// folders, and vexo check's exit codes; read back by independent readers
// (three.js and quake2ts in node, assimp, Pillow).
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/standalone/import/rigged_character.h"
#include "tests/support/md2_model_builder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/vexo_run.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using test_support::FreshFolder;
using test_support::Vexo;

nlohmann::json Quake2ts(const std::string& file) {
  return nlohmann::json::parse(test_support::NodeReader("quake2ts", file));
}

int CountLines(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

TEST(GameReady, AnExportWarnsWithTheFixAndGameFinishesWhatItWarnsAbout) {
  const std::string folder = FreshFolder("game_export");
  const test_support::Result plain = Vexo(folder, "export demo -o plain.md2 --pcx --skin plain");
  ASSERT_EQ(plain.code, 0) << plain.err;
  for (const char* option : {"(--normals)", "(--strict-end)", "(--skin-path)", "(--safe-palette)"})
    EXPECT_EQ(CountLines(plain.err, option), 1) << option << "\n" << plain.err;

  const test_support::Result game = Vexo(folder, "export demo -o game.md2 --pcx --skin game --game");
  ASSERT_EQ(game.code, 0) << game.err;
  EXPECT_THAT(game.err, Not(HasSubstr("--normals")));
  EXPECT_THAT(game.err, Not(HasSubstr("--safe-palette")));
  EXPECT_THAT(game.err, Not(HasSubstr("--strict-end")));
  EXPECT_THAT(test_support::NodeReader("three", folder + "/game.md2"), HasSubstr("\"loaded\":true"));
  const auto model = Quake2ts(folder + "/game.md2");
  for (const auto& frame : model["normalIndices"]) {
    int lit = 0;
    for (const auto& index : frame) lit += index.get<int>() != 0;
    EXPECT_GT(lit, 0);
  }
  // No texel the model shows is at 255: the check rasterises them.
  EXPECT_THAT(Vexo(folder, "check game.md2 --skin game.pcx").out, Not(HasSubstr("index 255")));
}

TEST(GameReady, SkinPathsAreReadByOtherReadersAndSurviveAnInPlaceUpdate) {
  const std::string folder = FreshFolder("game_skin_path");
  ASSERT_EQ(Vexo(folder, "export demo -o m.md2 --skin-path models/robot/skin.pcx").code, 0);
  EXPECT_EQ(Quake2ts(folder + "/m.md2")["skins"], nlohmann::json::array({"models/robot/skin.pcx"}));
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(folder + "/m.md2", 0);
  ASSERT_TRUE(scene && scene->mNumMaterials > 0) << importer.GetErrorString();
  aiString texture;
  scene->mMaterials[0]->GetTexture(aiTextureType_DIFFUSE, 0, &texture);
  EXPECT_STREQ(texture.C_Str(), "models/robot/skin.pcx");

  // The plug-in finds the frames through the header, so it updates the
  // moved frames and leaves the names; frames 40-45 from scene frame 100.
  const auto before = test_support::ReadFileBytes(folder + "/m.md2");
  const test_support::Result update =
      Vexo(folder, "export demo -o m.md2 --start run1 --end run6 --first-frame 100");
  ASSERT_EQ(update.code, 0) << update.err;
  const auto after = test_support::ReadFileBytes(folder + "/m.md2");
  ASSERT_EQ(after.size(), before.size());
  const std::size_t frames = std::size_t(test_support::I32At(after, test_support::kOfsFrames));
  const std::size_t frameSize = std::size_t(test_support::I32At(after, test_support::kFrameSize));
  const std::size_t from = frames + 40 * frameSize, to = frames + 46 * frameSize;
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + long(from), after.begin()));
  EXPECT_FALSE(std::equal(before.begin() + long(from), before.begin() + long(to),
                          after.begin() + long(from)));
  EXPECT_TRUE(std::equal(before.begin() + long(to), before.end(), after.begin() + long(to)));
  EXPECT_EQ(Quake2ts(folder + "/m.md2")["skins"], nlohmann::json::array({"models/robot/skin.pcx"}));
  EXPECT_THAT(Vexo(folder, "check m.md2").out, Not(HasSubstr("names no skin")));
}

TEST(GameReady, CheckExitsCleanWithFindingsOrUnreadableAndSpeaksJson) {
  const std::string folder = FreshFolder("game_check");
  test_support::WriteFileBytes(folder + "/good.md2", test_support::GoodModel().Build());
  std::vector<std::uint8_t> skin(256, 100);
  skin[0] = 0;
  test_support::WriteFileBytes(folder + "/good.pcx", test_support::Pcx(16, 16, skin));
  const test_support::Result good = Vexo(folder, "check good.md2");
  EXPECT_EQ(good.code, 0) << good.out;
  EXPECT_THAT(good.out, HasSubstr("checked good.md2 with good.pcx for all engines: clean"));

  test_support::Md2Model big = test_support::GoodModel();
  big.frames[0].vertices.resize(2001, test_support::Md2Model::Vertex{1, 1, 1, 1});
  big.frames.resize(1);
  test_support::WriteFileBytes(folder + "/big.md2", big.Build());
  const test_support::Result found = Vexo(folder, "check big.md2 --skin good.pcx --json");
  EXPECT_EQ(found.code, 1);
  const auto json = nlohmann::json::parse(found.out);
  EXPECT_FALSE(json["clean"].get<bool>());
  EXPECT_EQ(json["findings"][0]["rule"], "vertex-count");
  EXPECT_EQ(json["findings"][0]["engines"], nlohmann::json::array({"id-soft"}));
  // Only the software renderer's array is too small.
  EXPECT_EQ(Vexo(folder, "check big.md2 --skin good.pcx --target q2pro").out.find("vertex"),
            std::string::npos);

  test_support::WriteFileBytes(folder + "/short.md2", {'I', 'D', 'P', '2', 8, 0});
  for (const char* args : {"check short.md2", "check missing.md2", "check good.md2 --target gl"}) {
    const test_support::Result refused = Vexo(folder, args);
    EXPECT_EQ(refused.code, 2) << args;
    EXPECT_THAT(refused.err, HasSubstr("vexo: ")) << args;
  }
}

TEST(GameReady, APlayerFolderHoldsWhatThePlayerSetupLists) {
  const std::string folder = FreshFolder("game_player");
  const test_support::Result run = Vexo(folder, "export demo --player players/robot --game");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* file : {"tris.md2", "robot.pcx", "robot_i.pcx"})
    EXPECT_TRUE(fs::exists(folder + "/players/robot/" + file)) << file;
  EXPECT_EQ(test_support::Output("/usr/bin/python3 -c \"from PIL import Image; print(Image.open('" +
                             folder + "/players/robot/robot_i.pcx').size)\""),
            "(32, 32)\n");
  EXPECT_EQ(Vexo(folder, "check --player players/robot").code, 0);

  fs::remove(folder + "/players/robot/robot_i.pcx");
  const test_support::Result noIcon = Vexo(folder, "check --player players/robot");
  EXPECT_EQ(noIcon.code, 1);
  EXPECT_THAT(noIcon.out, HasSubstr("no icon robot_i.pcx"));
  EXPECT_THAT(noIcon.out, HasSubstr("does not list it"));
}

TEST(GameReady, ARiggedCharacterOverTheLimitsGetsOneWarningPerBrokenRule) {
  const std::string folder = FreshFolder("game_character");
  vexo::testing::CharacterShape shape;
  shape.around = 40;
  shape.rings = 60;  // 2400 vertices, 4720 triangles, 2.1 MB with 198 frames
  vexo::testing::WriteRiggedCharacter(folder, "hero", shape);
  const test_support::Result run = Vexo(folder, "export hero.gltf -o hero.md2 --pcx --game");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(CountLines(run.err, "vexo: warning:"), 4) << run.err;
  EXPECT_EQ(CountLines(run.err, "(--skin-path)"), 1) << run.err;
  EXPECT_EQ(CountLines(run.err, "2400 vertices, more than the game's 2048"), 1) << run.err;
  EXPECT_EQ(CountLines(run.err, "triangles, more than the game's 4096"), 1) << run.err;
  EXPECT_EQ(CountLines(run.err, "more than the loader's 2 MiB block"), 1) << run.err;
  EXPECT_EQ(CountLines(run.err, "; export it again with --fit id"), 2) << run.err;
}

}  // namespace
