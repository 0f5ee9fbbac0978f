// The panel page driven as a user drives it: the page is the dialog the
// Windows stand-in made from the plug-in's own resource script, and every
// action goes through the messages Windows would send.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/ask_save_file_name.h"
#include "panel/panel.h"
#include "plugin/export_utility.h"
#include "plugin/exports.h"
#include "resources/resource.h"
#include "standalone/panel_host.h"
#include "standalone/scene_building.h"
#include "tests/panel/model_files.h"
#include "vexo_win32_host.h"

namespace {

namespace fs = std::filesystem;
namespace win32 = vexo::win32;

ExportUtility& Utility() { return TheExportUtility(); }

std::string Text(HWND page, int id) {
  char text[512];
  GetDlgItemTextA(page, id, text, sizeof text);
  return text;
}

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win32::ResetUserInterface();
    Utility().frameNames = FrameNameTable();
    folder_ = fs::temp_directory_path() /
              ("vexo_panel_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    host_ = std::make_unique<vexo::PanelHost>();
    // Every Save dialog is answered from answers_, in turn; none left: cancel.
    win32::SetSaveFileNameHandler([this](const OPENFILENAMEA& dialog) -> std::optional<std::string> {
      // The dialog's strings live in the caller's frame: read them now.
      dialogs_.push_back(dialog);
      filters_.emplace_back(dialog.lpstrFilter, sizeof kModelFileFilter);
      files_.emplace_back(dialog.lpstrFile);
      if (answers_.empty()) return std::nullopt;
      std::string answer = answers_.front();
      answers_.erase(answers_.begin());
      return answer;
    });
  }
  void TearDown() override {
    if (Utility().panelWindow) Utility().ClosePanel(host_.get(), nullptr);
    host_.reset();
    win32::ResetUserInterface();
    Utility().frameNames = FrameNameTable();
    fs::remove_all(folder_);
  }

  HWND Open() {
    Utility().OpenPanel(host_.get(), nullptr);
    return Utility().panelWindow;
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
  std::unique_ptr<vexo::PanelHost> host_;
  std::vector<std::string> answers_;
  std::vector<OPENFILENAMEA> dialogs_;
  std::vector<std::string> filters_;
  std::vector<std::string> files_;
};

struct ExpectedControl {
  const char* windowClass;
  const char* text;
  int id;
  RECT rect;  // x, y, x + width, y + height
  DWORD style;
};

TEST_F(PanelTest, PageIsTheScriptsDialogWithItsControls) {
  const HWND page = Open();
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(host_->pages().size(), 1u);
  const vexo::PanelPage& added = host_->pages()[0];
  EXPECT_EQ(added.title, LibDescription());
  EXPECT_TRUE(added.hasCategory);
  EXPECT_EQ(added.category, 4000);
  EXPECT_EQ(GetParent(page), host_->commandPanel());

  const win32::WindowInfo dialog = win32::DescribeWindow(page);
  EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | DS_SETFONT));
  EXPECT_EQ(dialog.text, "");
  EXPECT_EQ(dialog.rect.right, 108);
  EXPECT_EQ(dialog.rect.bottom, 448);
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.typeface, "MS Sans Serif");

  const DWORD child = WS_CHILD | WS_VISIBLE;
  const DWORD button = child | WS_TABSTOP | BS_PUSHBUTTON;
  const DWORD check = child | WS_TABSTOP | BS_AUTOCHECKBOX;
  const DWORD edit = child | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  const DWORD label = child | WS_GROUP | SS_LEFT;
  const DWORD sunken = label | SS_SUNKEN;
  const ExpectedControl expected[] = {
      {"LISTBOX", "", 1003, {16, 191, 91, 245},
       child | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL},
      {"BUTTON", "Import new frame list", 1004, {16, 252, 91, 266}, button},
      {"BUTTON", "Frame List", -1, {0, 167, 108, 284}, child | BS_GROUPBOX},
      {"BUTTON", "Save BMP texture", 1005, {10, 360, 83, 370}, check},
      {"EDIT", "", 1008, {57, 297, 83, 311}, edit},
      {"STATIC", "First Frame:", -1, {12, 299, 49, 307}, label},
      {"BUTTON", "Save md2", 1009, {15, 429, 89, 443}, button},
      {"STATIC", "Start Frame:", -1, {11, 318, 50, 326}, label},
      {"STATIC", "", 1013, {51, 316, 94, 329}, sunken},
      {"BUTTON", "Start", 1014, {16, 268, 46, 282}, button},
      {"BUTTON", "End", 1015, {61, 268, 91, 282}, button},
      {"STATIC", "End Frame:", -1, {12, 335, 49, 343}, label},
      {"STATIC", "", 1016, {51, 333, 94, 346}, sunken},
      {"BUTTON", "Save PCX texture", 1006, {10, 371, 82, 381}, check},
      {"BUTTON", "About", 1017, {13, 148, 86, 162}, button},
      {"EDIT", "", 1020, {44, 384, 77, 398}, edit},
      {"STATIC", "Scale:", -1, {19, 386, 40, 394}, label},
      {"EDIT", "", 1021, {44, 401, 103, 415}, edit},
      {"STATIC", "Skin Name:", -1, {3, 403, 41, 411}, label},
  };
  const std::vector<HWND> controls = win32::ChildWindows(page);
  ASSERT_EQ(controls.size(), std::size(expected));
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const win32::WindowInfo c = win32::DescribeWindow(controls[i]);
    const ExpectedControl& e = expected[i];
    SCOPED_TRACE("control " + std::to_string(i) + " (" + std::to_string(e.id) + ")");
    EXPECT_EQ(c.windowClass, e.windowClass);
    EXPECT_EQ(c.id, e.id);
    EXPECT_EQ(c.style, e.style) << std::hex << c.style;
    EXPECT_EQ(c.rect.left, e.rect.left);
    EXPECT_EQ(c.rect.top, e.rect.top);
    EXPECT_EQ(c.rect.right, e.rect.right);
    EXPECT_EQ(c.rect.bottom, e.rect.bottom);
    // Captions as the template gave them; the edits were filled since.
    if (e.id != 1008 && e.id != 1020 && e.id != 1021) {
      EXPECT_EQ(c.text, e.text);
    }
  }
}

TEST_F(PanelTest, OpeningSetsTheControlsAndClosingForgetsAllButTheFrameList) {
  HWND page = Open();
  const std::vector<std::string> lines = win32::ListLines(page, IDC_FRAME_LIST);
  ASSERT_EQ(lines.size(), 198u);
  for (int i = 0; i < 198; ++i) EXPECT_EQ(lines[i], kDefaultFrameNames[i]);
  EXPECT_EQ(lines[40], "run1");
  EXPECT_EQ(Text(page, IDC_FIRST_FRAME), "0");
  EXPECT_EQ(Text(page, IDC_SCALE), "1");
  EXPECT_EQ(Text(page, IDC_SKIN_NAME), "tris");
  EXPECT_EQ(Text(page, IDC_START_FRAME_TEXT), "");
  EXPECT_EQ(Text(page, IDC_END_FRAME_TEXT), "");
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_SAVE_BMP), 0u);
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_SAVE_PCX), 0u);
  EXPECT_EQ(ThePanelState().startFrame, 0);
  EXPECT_EQ(ThePanelState().endFrame, 197);
  EXPECT_EQ(Utility().hostInterface, host_.get());

  // The banner: loaded with the page, painted at its corner, freed with it.
  EXPECT_EQ(win32::LiveBitmaps(), 1);
  win32::Repaint(page);
  const win32::PaintLog painted = win32::Painting();
  EXPECT_EQ(painted.beginPaint, 1);
  EXPECT_EQ(painted.endPaint, 1);
  ASSERT_EQ(painted.blits.size(), 1u);
  const win32::BlitRecord& blit = painted.blits[0];
  EXPECT_EQ(blit.window, page);
  EXPECT_EQ(blit.x, 0);
  EXPECT_EQ(blit.y, 0);
  EXPECT_EQ(blit.width, 156);
  EXPECT_EQ(blit.height, 224);
  EXPECT_EQ(blit.rop, static_cast<DWORD>(SRCCOPY));
  EXPECT_EQ(blit.bitmapWidth, 156);
  EXPECT_EQ(blit.bitmapHeight, 224);
  EXPECT_EQ(blit.bitmapBitsPerPixel, 8);
  EXPECT_EQ(win32::LiveMemoryContexts(), 0);

  // Change everything, close, open again.
  win32::TypeText(page, IDC_SCALE, "2.5");
  win32::TypeText(page, IDC_SKIN_NAME, "ogre");
  win32::TypeText(page, IDC_FIRST_FRAME, "7");
  win32::ClickButton(page, IDC_SAVE_BMP);
  win32::ClickButton(page, IDC_SAVE_PCX);
  win32::ClickListLine(page, IDC_FRAME_LIST, 5);
  win32::ClickButton(page, IDC_START);
  win32::ClickButton(page, IDC_END);
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_SAVE_BMP), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(ThePanelState().endFrame, 5);
  std::strcpy(Utility().frameNames.names[0], "kept");  // as an import would leave it

  Utility().ClosePanel(host_.get(), nullptr);
  EXPECT_FALSE(IsWindow(page));
  EXPECT_EQ(Utility().panelWindow, nullptr);
  EXPECT_EQ(Utility().hostInterface, nullptr);
  EXPECT_EQ(host_->calls().deletePanelPage, 1);
  EXPECT_TRUE(host_->pages().empty());
  EXPECT_EQ(win32::LiveBitmaps(), 0);

  page = Open();
  EXPECT_EQ(win32::ListLines(page, IDC_FRAME_LIST)[0], "kept");
  EXPECT_EQ(Text(page, IDC_SCALE), "1");
  EXPECT_EQ(Text(page, IDC_SKIN_NAME), "tris");
  EXPECT_EQ(Text(page, IDC_FIRST_FRAME), "0");
  EXPECT_EQ(Text(page, IDC_START_FRAME_TEXT), "");
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_SAVE_BMP), 0u);
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_SAVE_PCX), 0u);
  EXPECT_EQ(ThePanelState().startFrame, 0);
  EXPECT_EQ(ThePanelState().endFrame, 197);
  EXPECT_EQ(host_->calls().addPanelPage, 2);
  EXPECT_EQ(win32::LiveBitmaps(), 1);
}

TEST_F(PanelTest, StartAndEndTakeTheSelectedLineAndSaveChecksTheirOrder) {
  const HWND page = Open();
  // Nothing selected: nothing changes.
  EXPECT_TRUE(win32::ClickButton(page, IDC_START));
  EXPECT_EQ(Text(page, IDC_START_FRAME_TEXT), "");
  EXPECT_EQ(ThePanelState().startFrame, 0);

  win32::ClickListLine(page, IDC_FRAME_LIST, 40);
  win32::ClickButton(page, IDC_START);
  EXPECT_EQ(Text(page, IDC_START_FRAME_TEXT), "run1");
  EXPECT_EQ(ThePanelState().startFrame, 40);
  win32::ClickListLine(page, IDC_FRAME_LIST, 39);
  win32::ClickButton(page, IDC_END);
  EXPECT_EQ(Text(page, IDC_END_FRAME_TEXT), "stand40");
  EXPECT_EQ(ThePanelState().endFrame, 39);

  // End before Start: refused before the Save dialog.
  EXPECT_EQ(SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_SAVE_MD2, BN_CLICKED), 0), FALSE);
  const std::vector<win32::MessageBoxCall> boxes = win32::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, page);
  EXPECT_EQ(boxes[0].text, "Last frame must be greater than first frame");
  EXPECT_EQ(boxes[0].caption, "Input error");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
  EXPECT_TRUE(dialogs_.empty());

  // Equal is accepted: the export asks for its file (and is cancelled).
  win32::ClickListLine(page, IDC_FRAME_LIST, 40);
  win32::ClickButton(page, IDC_END);
  win32::ClickButton(page, IDC_SAVE_MD2);
  EXPECT_EQ(win32::MessageBoxLog().size(), 1u);
  ASSERT_EQ(dialogs_.size(), 1u);
  const OPENFILENAMEA& asked = dialogs_[0];
  EXPECT_EQ(asked.lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
  EXPECT_EQ(asked.hwndOwner, page);
  EXPECT_EQ(asked.hInstance, nullptr);
  EXPECT_EQ(filters_[0], std::string("Quake models (*.md2)\0*.md2\0", sizeof kModelFileFilter));
  EXPECT_EQ(asked.lpstrCustomFilter, nullptr);
  EXPECT_EQ(asked.nFilterIndex, 0u);
  EXPECT_EQ(asked.nMaxFile, 260u);
  EXPECT_EQ(files_[0], "");
  EXPECT_EQ(asked.lpstrFileTitle, nullptr);
  EXPECT_EQ(asked.lpstrInitialDir, nullptr);
  EXPECT_STREQ(asked.lpstrTitle, "Save Quake Model");
  EXPECT_EQ(asked.Flags, 0u);
  EXPECT_EQ(asked.lpstrDefExt, nullptr);
  EXPECT_EQ(asked.lpfnHook, nullptr);
  EXPECT_EQ(asked.lpTemplateName, nullptr);
}

TEST_F(PanelTest, ImportReplacesTheListAndKeepsTheRangeInsideIt) {
  HWND page = Open();
  win32::ClickListLine(page, IDC_FRAME_LIST, 100);
  win32::ClickButton(page, IDC_START);
  win32::ClickListLine(page, IDC_FRAME_LIST, 150);
  win32::ClickButton(page, IDC_END);

  // Cancelled: nothing happens.
  EXPECT_EQ(SendMessageA(page, WM_COMMAND, IDC_IMPORT_FRAMES, 0), FALSE);
  EXPECT_EQ(win32::ListLines(page, IDC_FRAME_LIST).size(), 198u);

  // Not a model: refused, with the list shown again unchanged.
  panel_test::ModelFileOptions notAModel;
  notAModel.magic = 0x1234;
  panel_test::WriteModel(Path("notes.md2"), panel_test::NumberedNames("x", 3), notAModel);
  answers_ = {Path("notes.md2")};
  win32::ClickButton(page, IDC_IMPORT_FRAMES);
  std::vector<win32::MessageBoxCall> boxes = win32::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, page);
  EXPECT_EQ(boxes[0].text, "Cannot load new frame list");
  EXPECT_EQ(boxes[0].caption, "File Error");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(win32::ListLines(page, IDC_FRAME_LIST).size(), 198u);
  EXPECT_EQ(ThePanelState().startFrame, 100);
  EXPECT_EQ(Text(page, IDC_START_FRAME_TEXT), "taunt06");

  // A 40-frame model, chosen by another name of the same base: the list
  // becomes its names, and the range that no longer fits is reset.
  const std::vector<std::string> names = panel_test::NumberedNames("walk", 40);
  panel_test::WriteModel(Path("ogre.md2"), names, {});
  answers_ = {Path("ogre.pcx")};
  win32::ClickButton(page, IDC_IMPORT_FRAMES);
  EXPECT_EQ(win32::MessageBoxLog().size(), 1u);
  EXPECT_EQ(win32::ListLines(page, IDC_FRAME_LIST), names);
  EXPECT_EQ(Utility().frameNames.count, 40);
  EXPECT_EQ(ThePanelState().startFrame, 0);
  EXPECT_EQ(ThePanelState().endFrame, 39);
  EXPECT_EQ(Text(page, IDC_START_FRAME_TEXT), "");
  EXPECT_EQ(Text(page, IDC_END_FRAME_TEXT), "");

  // A range inside the new list stays.
  win32::ClickListLine(page, IDC_FRAME_LIST, 2);
  win32::ClickButton(page, IDC_START);
  answers_ = {Path("ogre")};
  win32::ClickButton(page, IDC_IMPORT_FRAMES);
  EXPECT_EQ(ThePanelState().startFrame, 2);
  EXPECT_EQ(Text(page, IDC_START_FRAME_TEXT), "walk03");

  // The imported list survives closing and opening.
  Utility().ClosePanel(host_.get(), nullptr);
  page = Open();
  EXPECT_EQ(win32::ListLines(page, IDC_FRAME_LIST), names);
  EXPECT_EQ(ThePanelState().endFrame, 39);
  EXPECT_EQ(Text(page, IDC_SCALE), "1");

  // A model without frames empties the list; Save then refuses the range.
  panel_test::WriteModel(Path("empty.md2"), {}, {});
  answers_ = {Path("empty.md2")};
  win32::ClickButton(page, IDC_IMPORT_FRAMES);
  EXPECT_TRUE(win32::ListLines(page, IDC_FRAME_LIST).empty());
  EXPECT_EQ(ThePanelState().endFrame, -1);
  win32::ClickButton(page, IDC_SAVE_MD2);
  boxes = win32::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "Last frame must be greater than first frame");
}

TEST_F(PanelTest, AboutIsModalAndOnlyItsOkButtonClosesIt) {
  const HWND page = Open();
  int shown = 0;
  win32::SetModalDialogHandler([&](HWND about) {
    ++shown;
    const win32::WindowInfo box = win32::DescribeWindow(about);
    EXPECT_EQ(box.text, "Quake2 Model Output Plugin");
    EXPECT_EQ(box.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(box.rect.right, 238);
    EXPECT_EQ(box.rect.bottom, 119);
    EXPECT_EQ(box.typeface, "MS Sans Serif");
    EXPECT_EQ(GetParent(about), nullptr);
    const std::vector<HWND> controls = win32::ChildWindows(about);
    ASSERT_EQ(controls.size(), 3u);
    const win32::WindowInfo ok = win32::DescribeWindow(controls[0]);
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.text, "OK");
    EXPECT_EQ(ok.style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(ok.rect.left, 7);
    EXPECT_EQ(ok.rect.top, 98);
    EXPECT_EQ(ok.rect.right, 231);
    EXPECT_EQ(ok.rect.bottom, 112);
    const win32::WindowInfo credit = win32::DescribeWindow(controls[1]);
    EXPECT_EQ(credit.rect.left, 15);
    EXPECT_EQ(credit.rect.bottom, 56);
    const win32::WindowInfo product = win32::DescribeWindow(controls[2]);
    EXPECT_EQ(product.rect.left, 13);
    EXPECT_EQ(product.rect.bottom, 86);
    EXPECT_NE(product.text.find("Vexo"), std::string::npos);

    win32::Repaint(about);
    win32::PressEscape(about);
    win32::CloseFromCaption(about);
    EXPECT_TRUE(IsWindow(about));
    if (shown == 1) win32::PressEnter(about);  // the default button
    else win32::ClickButton(about, IDOK);
    EXPECT_TRUE(IsWindow(about));  // ended; destroyed once the dialog returns
  });
  win32::ClickButton(page, IDC_ABOUT);
  EXPECT_EQ(ShowAbout(), 1);
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(win32::ChildWindows(page).size(), 19u);
  EXPECT_EQ(win32::Painting().beginPaint, win32::Painting().endPaint);
}

TEST_F(PanelTest, HostSeesTheMouseAndTheFocusOfScaleAndSkinName) {
  const HWND page = Open();
  const vexo::HostCallCounts& calls = host_->calls();
  EXPECT_EQ(SendMessageA(page, WM_MOUSEMOVE, 0, MAKELONG(5, 6)), TRUE);
  SendMessageA(page, WM_LBUTTONDOWN, 1, MAKELONG(5, 6));
  SendMessageA(page, WM_LBUTTONUP, 0, MAKELONG(5, 6));
  EXPECT_EQ(SendMessageA(page, 0x0204 /* right button down */, 0, 0), FALSE);
  EXPECT_EQ(calls.forwardPanelMouse, 3);

  // Opening focuses the list, which changes nothing.
  EXPECT_EQ(calls.disableAccelerators, 0);
  EXPECT_EQ(calls.enableAccelerators, 0);
  win32::FocusControl(page, IDC_SCALE);
  EXPECT_EQ(calls.disableAccelerators, 1);
  win32::FocusControl(page, IDC_SKIN_NAME);
  EXPECT_EQ(calls.enableAccelerators, 1);
  EXPECT_EQ(calls.disableAccelerators, 2);
  // First Frame keeps the shortcuts on.
  win32::FocusControl(page, IDC_FIRST_FRAME);
  EXPECT_EQ(calls.enableAccelerators, 2);
  EXPECT_EQ(calls.disableAccelerators, 2);
  // A button click takes the focus from the edit.
  win32::TypeText(page, IDC_SCALE, "3");
  win32::ClickButton(page, IDC_START);
  EXPECT_EQ(calls.disableAccelerators, 3);
  EXPECT_EQ(calls.enableAccelerators, 3);
  // Closing the panel while an edit has the focus gives the shortcuts back.
  win32::FocusControl(page, IDC_SKIN_NAME);
  Utility().ClosePanel(host_.get(), nullptr);
  EXPECT_EQ(calls.disableAccelerators, 4);
  EXPECT_EQ(calls.enableAccelerators, 4);
}

}  // namespace
