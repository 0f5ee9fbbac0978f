// What "Save md2" hands to the export, seen in the model file it writes: a
// quad whose width is 1 + the host frame it is sampled at, so each frame's
// size tells its host frame and the scale.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plugin/export_utility.h"
#include "resources/resource.h"
#include "standalone/panel_host.h"
#include "standalone/scene_building.h"
#include "tests/support/bytes.h"
#include "vexo_win32_host.h"

namespace {

namespace fs = std::filesystem;
namespace win32 = vexo::win32;

using test_support::F32At;
using test_support::I32At;
using test_support::ReadFileBytes;

// The largest extent of frame k along any axis, decoded from the file
// (within the 1/255 steps of the encoding).
float FrameExtent(const std::vector<std::uint8_t>& file, int k) {
  const std::int32_t vertices = I32At(file, 24);
  const std::size_t frame = static_cast<std::size_t>(I32At(file, 56) + k * I32At(file, 16));
  float extent = 0;
  for (int axis = 0; axis < 3; ++axis) {
    const float scale = F32At(file, frame + 4 * axis);
    int low = 255, high = 0;
    for (int v = 0; v < vertices; ++v) {
      const int byte = file[frame + 40 + 4 * v + axis];
      low = std::min(low, byte);
      high = std::max(high, byte);
    }
    extent = std::max(extent, scale * static_cast<float>(high - low));
  }
  return extent;
}

class PanelExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win32::ResetUserInterface();
    TheExportUtility().frameNames = FrameNameTable();
    folder_ = fs::temp_directory_path() / ("vexo_panel_export_" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    host_ = std::make_unique<vexo::PanelHost>();
    host_->scene()
        .Root()
        .AddChild("quad")
        .SetAnimatedMesh([](TimeValue t) {
          return vexo::MakeQuad(1.0f + static_cast<float>(t) / vexo::kDefaultTicksPerFrame, 1.0f);
        })
        .SetMaterial(vexo::BitmapMaterial("skin", std::string(VEXO_TEST_DATA_DIR) + "/images/bmp24_v3.bmp"))
        .Select();
    win32::SetSaveFileNameHandler([this](const OPENFILENAMEA&) -> std::optional<std::string> {
      return answer_;
    });
    TheExportUtility().OpenPanel(host_.get(), nullptr);
    page_ = TheExportUtility().panelWindow;
  }
  void TearDown() override {
    TheExportUtility().ClosePanel(host_.get(), nullptr);
    host_.reset();
    win32::ResetUserInterface();
    fs::remove_all(folder_);
  }

  // Presses "Save md2" with these texts and returns the written file.
  std::vector<std::uint8_t> Save(const std::string& name, const char* scale, const char* firstFrame) {
    answer_ = (folder_ / name).string();
    win32::TypeText(page_, IDC_SCALE, scale);
    win32::TypeText(page_, IDC_FIRST_FRAME, firstFrame);
    win32::TypeText(page_, IDC_SKIN_NAME, (folder_ / name).string());
    win32::ClickButton(page_, IDC_SAVE_MD2);
    return ReadFileBytes((folder_ / (name + ".md2")).string());
  }
  void Choose(int start, int end) {
    win32::ClickListLine(page_, IDC_FRAME_LIST, start);
    win32::ClickButton(page_, IDC_START);
    win32::ClickListLine(page_, IDC_FRAME_LIST, end);
    win32::ClickButton(page_, IDC_END);
  }

  fs::path folder_;
  std::unique_ptr<vexo::PanelHost> host_;
  HWND page_ = nullptr;
  std::string answer_;
};

TEST_F(PanelExportTest, SaveHandsScaleFirstFrameRangeAndSkinSwitchesToTheExport) {
  // Defaults: every frame from host frame 0 on, scale 1, no skin files.
  std::vector<std::uint8_t> file = Save("all", "1", "5");
  ASSERT_FALSE(file.empty()) << "no model written; boxes: " << win32::MessageBoxLog().size();
  ASSERT_EQ(I32At(file, 40), 198);
  EXPECT_NEAR(FrameExtent(file, 0), 6.0f, 6.0f / 100);      // host frame 5
  EXPECT_NEAR(FrameExtent(file, 197), 203.0f, 203.0f / 100);  // host frame 202
  EXPECT_FALSE(fs::exists(folder_ / "all.bmp"));
  EXPECT_FALSE(fs::exists(folder_ / "all.pcx"));

  // Frames 10 to 12 from host frame 3 on, at half size; the others are the
  // new file's own, model frame k from host frame k.
  Choose(10, 12);
  file = Save("half", "0.5", "3");
  ASSERT_FALSE(file.empty());
  EXPECT_NEAR(FrameExtent(file, 10), 2.0f, 2.0f / 100);
  EXPECT_NEAR(FrameExtent(file, 12), 3.0f, 3.0f / 100);
  EXPECT_NEAR(FrameExtent(file, 9), 5.0f, 5.0f / 100);
  EXPECT_NEAR(FrameExtent(file, 13), 7.0f, 7.0f / 100);

  // Texts that are no numbers give 0, as does a negative First Frame.
  Choose(10, 10);
  file = Save("minus", "1", "-3");
  ASSERT_FALSE(file.empty());
  EXPECT_NEAR(FrameExtent(file, 10), 1.0f, 1.0f / 100);
  file = Save("word", "1", "abc");
  ASSERT_FALSE(file.empty());
  EXPECT_NEAR(FrameExtent(file, 10), 1.0f, 1.0f / 100);
  file = Save("flat", "abc", "0");
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(FrameExtent(file, 10), 0.0f);
  // Decimal numbers only: hexadecimal, "inf" and "nan" are no numbers.
  for (const char* scale : {"0x2", "inf", "nan"}) {
    file = Save(std::string("flat_") + scale, scale, "0");
    ASSERT_FALSE(file.empty()) << scale;
    EXPECT_EQ(FrameExtent(file, 10), 0.0f) << scale;
  }
  file = Save("hex", "1", "0x2");
  ASSERT_FALSE(file.empty());
  EXPECT_NEAR(FrameExtent(file, 10), 1.0f, 1.0f / 100);

  // The check boxes choose the skin files, named after Skin Name.
  win32::ClickButton(page_, IDC_SAVE_BMP);
  Save("bmp", "1", "0");
  EXPECT_TRUE(fs::exists(folder_ / "bmp.bmp"));
  EXPECT_FALSE(fs::exists(folder_ / "bmp.pcx"));
  win32::ClickButton(page_, IDC_SAVE_BMP);
  win32::ClickButton(page_, IDC_SAVE_PCX);
  Save("pcx", "1", "0");
  EXPECT_FALSE(fs::exists(folder_ / "pcx.bmp"));
  EXPECT_TRUE(fs::exists(folder_ / "pcx.pcx"));
  EXPECT_TRUE(win32::MessageBoxLog().empty());
}

// A number that no export could use gets a message naming its field, and
// the Save dialog never opens.
TEST_F(PanelExportTest, NumbersNoExportCouldUseAreNamedBeforeTheSaveDialog) {
  Choose(0, 197);
  const struct {
    const char* scale;
    const char* firstFrame;
    const char* message;
  } cases[] = {
      {"1e39", "0", "Input error|Scale is too large to export"},
      {"-3.5e38", "0", "Input error|Scale is too large to export"},
      {"1", "4294967295", "Input error|First Frame is too large: the frames would lie past the "
                          "end of the host's time"},
      {"1", "99999999999999999999999",
       "Input error|First Frame is too large: the frames would lie past the end of the host's time"},
      // The last of the 198 frames lands one past the last host frame.
      {"1", "13421576",
       "Input error|First Frame is too large: the frames would lie past the end of the host's time"},
  };
  int dialogs = 0;
  win32::SetSaveFileNameHandler([&dialogs](const OPENFILENAMEA&) -> std::optional<std::string> {
    ++dialogs;
    return std::nullopt;
  });
  for (const auto& c : cases) {
    win32::ClearMessageBoxLog();
    EXPECT_TRUE(Save("refused", c.scale, c.firstFrame).empty()) << c.scale << " " << c.firstFrame;
    const auto boxes = win32::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u) << c.scale << " " << c.firstFrame;
    EXPECT_EQ(boxes[0].caption + "|" + boxes[0].text, c.message);
  }
  EXPECT_EQ(dialogs, 0);
  // The last frame that fits is taken.
  win32::ClearMessageBoxLog();
  Save("latest", "1", "13421575");
  EXPECT_TRUE(win32::MessageBoxLog().empty());
  EXPECT_EQ(dialogs, 1);
}

}  // namespace
