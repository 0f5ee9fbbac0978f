// The stand-in's controls, dialogs and graphics answer as Windows' do where
// the plug-in (and its tests) rely on it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vexo_win32_host.h"

namespace {

namespace win32 = vexo::win32;

// A module of this test's own, with one small dialog.
const HINSTANCE kModule = reinterpret_cast<HINSTANCE>(0x5000);
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const win32::ControlTemplate kControls[] = {
    {"EDIT", "", 10, kChild | WS_TABSTOP | WS_BORDER, 0, 0, 0, 50, 14},
    {"LISTBOX", "", 11, kChild | WS_TABSTOP | LBS_NOTIFY, 0, 0, 20, 50, 40},
    {"LISTBOX", "", 12, kChild | LBS_SORT, 0, 60, 20, 50, 40},
    {"BUTTON", "Box", 13, kChild | BS_GROUPBOX, 0, 0, 70, 90, 30},
    {"BUTTON", "Off", 14, kChild | WS_DISABLED | BS_PUSHBUTTON, 0, 0, 110, 40, 14},
};
const win32::DialogTemplate kDialog = {WS_POPUP | WS_CAPTION, 0, 0, 0, 120, 130, "Test", 0, nullptr,
                                       kControls, 5};

// What the dialog procedure was told, as text.
std::vector<std::string> g_messages;
INT_PTR g_initResult = TRUE;
bool g_endDuringInit = false;

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    g_messages.push_back("init");
    if (g_endDuringInit) EndDialog(dialog, 42);
    return g_initResult;
  }
  if (message == WM_DESTROY) g_messages.push_back("destroy");
  if (message == WM_COMMAND)
    g_messages.push_back("command " + std::to_string(LOWORD(wParam)) + "/" + std::to_string(HIWORD(wParam)));
  return FALSE;
}

class StandInTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win32::ResetUserInterface();
    win32::RegisterDialogTemplate(kModule, 1, &kDialog);
    g_messages.clear();
    g_initResult = TRUE;
    g_endDuringInit = false;
  }
  void TearDown() override {
    win32::ResetUserInterface();
    win32::UnregisterModuleResources(kModule);
  }
  HWND Make() { return CreateDialogParamA(kModule, MAKEINTRESOURCEA(1), nullptr, RecordingProc, 0); }
};

TEST_F(StandInTest, ControlsKeepTheirContentsAsWindowsControlsDo) {
  const HWND dialog = Make();
  ASSERT_NE(dialog, nullptr);
  // WM_INITDIALOG returned TRUE: the first tab stop, the edit, has the focus.
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 10));
  EXPECT_EQ(g_messages, (std::vector<std::string>{"init", "command 10/256"}));

  // A sorted list inserts in order and keeps its selection on its line; an
  // unsorted one appends.
  for (const char* line : {"b", "c", "a"}) {
    SendDlgItemMessageA(dialog, 11, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    SendDlgItemMessageA(dialog, 12, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    if (line[0] == 'c') SendDlgItemMessageA(dialog, 12, LB_SETCURSEL, 1, 0);
  }
  EXPECT_EQ(win32::ListLines(dialog, 11), (std::vector<std::string>{"b", "c", "a"}));
  EXPECT_EQ(win32::ListLines(dialog, 12), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SendDlgItemMessageA(dialog, 12, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 11, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 11, LB_GETTEXTLEN, 3, 0), LB_ERR);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 11, LB_SETCURSEL, 7, 0), LB_ERR);
  SendDlgItemMessageA(dialog, 11, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 11, LB_GETCOUNT, 0, 0), 0);

  // Numbers in edits, and texts cut to the buffer.
  const auto number = [dialog](const char* text, BOOL isSigned, BOOL* ok) {
    SetDlgItemTextA(dialog, 10, text);
    return GetDlgItemInt(dialog, 10, ok, isSigned);
  };
  BOOL ok = FALSE;
  EXPECT_EQ(number("  42", FALSE, &ok), 42u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(number("12abc", FALSE, &ok), 12u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(number("-3", FALSE, &ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(static_cast<int>(number("-3", TRUE, &ok)), -3);
  EXPECT_TRUE(ok);
  EXPECT_EQ(number("4294967296", FALSE, &ok), 0u);
  EXPECT_FALSE(ok);
  char small[4];
  EXPECT_EQ(GetDlgItemTextA(dialog, 10, small, sizeof small), 3u);
  EXPECT_STREQ(small, "429");
  EXPECT_EQ(GetDlgItemTextA(dialog, 99, small, sizeof small), 0u);
  EXPECT_STREQ(small, "");

  // Group boxes and disabled buttons cannot be clicked.
  g_messages.clear();
  EXPECT_FALSE(win32::ClickButton(dialog, 13));
  EXPECT_FALSE(win32::ClickButton(dialog, 14));
  EXPECT_TRUE(g_messages.empty());

  // Destroying the dialog takes the focus from its edit first.
  win32::FocusControl(dialog, 10);
  EXPECT_TRUE(DestroyWindow(dialog));
  EXPECT_EQ(g_messages, (std::vector<std::string>{"command 10/512", "destroy"}));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_FALSE(IsWindow(GetDlgItem(dialog, 10)));
}

TEST_F(StandInTest, ModalDialogsAndCommonDialogsAnswerAsTheHostSays) {
  // A modal dialog the host leaves open fails instead of waiting for ever.
  EXPECT_EQ(DialogBoxParamA(kModule, MAKEINTRESOURCEA(1), nullptr, RecordingProc, 0), -1);
  EXPECT_EQ(g_messages.back(), "destroy");
  // Ended while being initialised: no handler is needed.
  g_endDuringInit = true;
  EXPECT_EQ(DialogBoxParamA(kModule, MAKEINTRESOURCEA(1), nullptr, RecordingProc, 0), 42);
  EXPECT_EQ(DialogBoxParamA(kModule, MAKEINTRESOURCEA(2), nullptr, RecordingProc, 0), -1);

  char path[16] = "old";
  OPENFILENAMEA dialog{};
  dialog.lStructSize = 76;  // a 32-bit program's size: wrong here
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  EXPECT_FALSE(GetSaveFileNameA(&dialog));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));

  int asked = 0;
  std::optional<std::string> answer;
  win32::SetSaveFileNameHandler([&](const OPENFILENAMEA&) {
    ++asked;
    return answer;
  });
  for (DWORD size : {static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A), static_cast<DWORD>(sizeof dialog)}) {
    dialog.lStructSize = size;
    answer = "dir.x/a.b.md2";
    ASSERT_TRUE(GetSaveFileNameA(&dialog));
    EXPECT_STREQ(path, "dir.x/a.b.md2");
    EXPECT_EQ(dialog.nFileOffset, 6);
    EXPECT_EQ(dialog.nFileExtension, 8);
  }
  answer = "a/much/longer/path.md2";
  EXPECT_FALSE(GetSaveFileNameA(&dialog));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  answer = std::nullopt;
  EXPECT_FALSE(GetSaveFileNameA(&dialog));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(asked, 4);

  // A message box needs a real owner (or none).
  EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(0x7777), "text", "caption", MB_OK), 0);
  EXPECT_EQ(MessageBoxA(nullptr, "text", nullptr, MB_OK), IDOK);
  const std::vector<win32::MessageBoxCall> boxes = win32::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
}

TEST_F(StandInTest, GraphicsObjectsFollowWindowsRules) {
  EXPECT_EQ(LoadBitmapA(kModule, MAKEINTRESOURCEA(3)), nullptr);
  // A 2 x 2, 8-bit bitmap with a 2-colour table; a cut-short copy of it.
  std::vector<unsigned char> dib(40 + 8 + 8, 0);
  const unsigned char header[] = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0};
  std::copy(std::begin(header), std::end(header), dib.begin());
  dib[32] = 2;  // colours used
  win32::RegisterBitmap(kModule, 3, dib.data(), dib.size());
  win32::RegisterBitmap(kModule, 4, dib.data(), dib.size() - 1);
  EXPECT_EQ(LoadBitmapA(kModule, MAKEINTRESOURCEA(4)), nullptr);
  const HBITMAP bitmap = LoadBitmapA(kModule, MAKEINTRESOURCEA(3));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(win32::LiveBitmaps(), 1);

  const HDC first = CreateCompatibleDC(nullptr);
  const HDC second = CreateCompatibleDC(nullptr);
  const HGDIOBJ stock = SelectObject(first, bitmap);
  ASSERT_NE(stock, nullptr);
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);  // already held by first
  EXPECT_FALSE(DeleteObject(bitmap));                // still selected
  EXPECT_TRUE(BitBlt(second, 0, 0, 2, 2, first, 0, 0, SRCCOPY));
  EXPECT_EQ(win32::Painting().blits.back().bitmapBitsPerPixel, 8);
  EXPECT_FALSE(BitBlt(second, 0, 0, 2, 2, reinterpret_cast<HDC>(bitmap), 0, 0, SRCCOPY));
  EXPECT_EQ(SelectObject(first, stock), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(first));
  EXPECT_TRUE(DeleteDC(second));
  EXPECT_EQ(win32::LiveBitmaps(), 0);
  EXPECT_EQ(win32::LiveMemoryContexts(), 0);
}

}  // namespace
