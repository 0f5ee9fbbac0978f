// The frame-list import reading model files made byte by byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "plugin/export_utility.h"
#include "tests/panel/model_files.h"

namespace {

namespace fs = std::filesystem;
using panel_test::ModelFileOptions;
using panel_test::NumberedNames;
using panel_test::WriteModel;

class FrameListImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vexo_import_" + std::to_string(getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
  std::unique_ptr<ExportUtility> utility_ = std::make_unique<ExportUtility>();
};

TEST_F(FrameListImportTest, ReadsEveryFrameNameOfAModel) {
  std::vector<std::string> names = NumberedNames("walk", 40);
  names[7] = "sixteen_letters!";  // no room for its zero: 15 characters are kept
  WriteModel(Path("ogre.md2"), names, {});
  // The chosen name is cut at its first dot: all three read ogre.md2.
  for (const char* chosen : {"ogre", "ogre.pcx", "ogre.md2"}) {
    std::strcpy(utility_->frameNames.names[0], "changed");
    ASSERT_EQ(utility_->LoadFrameNames(Path(chosen).c_str()), 1) << chosen;
    EXPECT_EQ(utility_->frameNames.count, 40);
    EXPECT_STREQ(utility_->frameNames.names[0], "walk01");
  }
  EXPECT_STREQ(utility_->frameNames.names[7], "sixteen_letters");
  EXPECT_STREQ(utility_->frameNames.names[39], "walk40");
  EXPECT_STREQ(utility_->frameNames.names[40], "run1");  // beyond the count: kept

  // All 256 slots, and then none.
  WriteModel(Path("full.md2"), NumberedNames("f", 256), {});
  ASSERT_EQ(utility_->LoadFrameNames(Path("full").c_str()), 1);
  EXPECT_EQ(utility_->frameNames.count, 256);
  EXPECT_STREQ(utility_->frameNames.names[255], "f256");
  WriteModel(Path("none.md2"), {}, {});
  ASSERT_EQ(utility_->LoadFrameNames(Path("none").c_str()), 1);
  EXPECT_EQ(utility_->frameNames.count, 0);
  EXPECT_STREQ(utility_->frameNames.names[0], "f01");
}

TEST_F(FrameListImportTest, RefusesWhatIsNotAWholeModelAndKeepsTheTable) {
  const std::vector<std::string> names = NumberedNames("walk", 40);
  constexpr std::size_t kWhole = 68 + 40 * (40 + 4 * 3);
  struct Case {
    const char* what;
    ModelFileOptions options;
  };
  std::vector<Case> cases;
  const auto add = [&cases](const char* what, auto change) {
    ModelFileOptions o;
    change(o);
    cases.push_back({what, o});
  };
  add("wrong magic", [](ModelFileOptions& o) { o.magic = 0x32504449 + 1; });
  add("shorter than its header", [](ModelFileOptions& o) { o.length = 60; });
  add("cut inside a frame name", [](ModelFileOptions& o) { o.length = 68 + 30; });
  add("cut inside the last frame's vertices", [](ModelFileOptions& o) {
    o.length = static_cast<long>(kWhole) - 1;
  });
  add("more frames than it holds", [](ModelFileOptions& o) { o.frameCount = 41; });
  add("more frames than the table's slots", [](ModelFileOptions& o) { o.frameCount = 257; });
  add("negative frame count", [](ModelFileOptions& o) { o.frameCount = -1; });
  add("negative vertex count", [](ModelFileOptions& o) { o.vertexCount = -2; });

  const FrameNameTable before = utility_->frameNames;
  for (const Case& c : cases) {
    WriteModel(Path("bad.md2"), names, c.options);
    EXPECT_EQ(utility_->LoadFrameNames(Path("bad").c_str()), 0) << c.what;
    EXPECT_EQ(utility_->frameNames.count, before.count) << c.what;
    EXPECT_EQ(std::memcmp(utility_->frameNames.names, before.names, sizeof before.names), 0) << c.what;
  }
  EXPECT_EQ(utility_->LoadFrameNames(Path("missing").c_str()), 0);
  EXPECT_EQ(utility_->frameNames.count, 198);
}

}  // namespace
