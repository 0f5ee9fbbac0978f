// Each built module opens its panel for a host that loaded the module file:
// the page is made from the module's own resources.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "resources/resource.h"
#include "standalone/module_loader.h"
#include "standalone/panel_host.h"
#include "vexo_win32_host.h"

namespace {

namespace fs = std::filesystem;
namespace win32 = vexo::win32;

std::string ModulePath(int release) {
  const fs::path bin = VEXO_BIN_DIR;
  return ((release == 4 ? bin : bin / ("release" + std::to_string(release))) / "Dorvane.dlu").string();
}

std::string Text(HWND page, int id) {
  char text[256];
  GetDlgItemTextA(page, id, text, sizeof text);
  return text;
}

class PanelModuleTest : public ::testing::TestWithParam<int> {};

TEST_P(PanelModuleTest, PanelComesFromTheModulesOwnResources) {
  const int release = GetParam();
  win32::ResetUserInterface();
  HINSTANCE instance = nullptr;
  {
    const vexo::PluginModule module(ModulePath(release));
    vexo::PanelHost host;
    vexo::UtilityObject utility = module.Class(0).CreateUtility();
    utility.OpenPanel(&host, nullptr);
    ASSERT_EQ(host.pages().size(), 1u);
    const vexo::PanelPage page = host.pages()[0];
    instance = page.instance;
    EXPECT_EQ(page.title, module.Description());
    // Release 4 files the page under a category; 3 and 2 have no such form.
    EXPECT_EQ(page.hasCategory, release == 4);
    EXPECT_EQ(host.calls().addPanelPage, release == 4 ? 1 : 0);
    EXPECT_EQ(host.calls().addPanelPageWithoutCategory, release == 4 ? 0 : 1);
    if (release == 4) {
      EXPECT_EQ(page.category, 4000);
    }

    const win32::DialogTemplate* dialog = win32::FindDialogTemplate(instance, IDD_PANEL);
    ASSERT_NE(dialog, nullptr);
    Dl_info info{};
    ASSERT_NE(dladdr(dialog, &info), 0);
    EXPECT_TRUE(fs::equivalent(info.dli_fname, ModulePath(release))) << info.dli_fname;

    EXPECT_EQ(win32::ChildWindows(page.window).size(), 19u);
    EXPECT_EQ(win32::ListLines(page.window, IDC_FRAME_LIST).size(), 198u);
    EXPECT_EQ(Text(page.window, IDC_SKIN_NAME), "tris");
    EXPECT_EQ(win32::LiveBitmaps(), 1);
    win32::ClickListLine(page.window, IDC_FRAME_LIST, 40);
    win32::ClickButton(page.window, IDC_START);
    EXPECT_EQ(Text(page.window, IDC_START_FRAME_TEXT), "run1");

    utility.ClosePanel(&host, nullptr);
    EXPECT_TRUE(host.pages().empty());
    EXPECT_FALSE(IsWindow(page.window));
    EXPECT_EQ(win32::LiveBitmaps(), 0);
  }
  // Unloading the module takes its resources away with it.
  EXPECT_EQ(win32::FindDialogTemplate(instance, IDD_PANEL), nullptr);
  EXPECT_EQ(win32::FindBitmapResource(instance, IDB_BANNER, nullptr), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Releases, PanelModuleTest, ::testing::Values(4, 3, 2));

}  // namespace
