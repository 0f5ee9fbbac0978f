#include "tests/standalone/windows_host/panel_ui_tests.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "tests/standalone/windows_host/export_settings.h"
#include "tests/support/bytes.h"
#include "tests/support/host_slot_calls.h"
#include "tests/support/md2_file.h"

namespace vexo {
namespace {

using ui::Checks;

// Control ids of the panel page.
constexpr int kFrameList = 1003;
constexpr int kImportButton = 1004;
constexpr int kSaveBmpBox = 1005;
constexpr int kSavePcxBox = 1006;
constexpr int kFirstFrameEdit = 1008;
constexpr int kSaveButton = 1009;
constexpr int kStartText = 1013;
constexpr int kStartButton = 1014;
constexpr int kEndButton = 1015;
constexpr int kEndText = 1016;
constexpr int kAboutButton = 1017;
constexpr int kScaleEdit = 1020;
constexpr int kSkinNameEdit = 1021;
constexpr int kNoId = -1;

constexpr char kAboutTitle[] = "Quake2 Model Output Plugin";
constexpr char kSaveDialogTitle[] = "Save Quake Model";
constexpr char kOrderMessage[] = "Last frame must be greater than first frame";
constexpr int kBannerWidth = 156;
constexpr int kBannerHeight = 224;

enum class Kind { kList, kPush, kDefPush, kGroup, kAutoCheck, kEdit, kStatic, kSunken };

struct ExpectedControl {
  int id;
  Kind kind;
  const char* caption;  // null: not checked here (edit boxes hold values)
  RECT units;           // left, top, width, height in dialog units
};

// The page template, in template order.
const ExpectedControl kPageControls[] = {
    {kFrameList, Kind::kList, "", {16, 191, 75, 54}},
    {kImportButton, Kind::kPush, "Import new frame list", {16, 252, 75, 14}},
    {kNoId, Kind::kGroup, "Frame List", {0, 167, 108, 117}},
    {kSaveBmpBox, Kind::kAutoCheck, "Save BMP texture", {10, 360, 73, 10}},
    {kFirstFrameEdit, Kind::kEdit, nullptr, {57, 297, 26, 14}},
    {kNoId, Kind::kStatic, "First Frame:", {12, 299, 37, 8}},
    {kSaveButton, Kind::kPush, "Save md2", {15, 429, 74, 14}},
    {kNoId, Kind::kStatic, "Start Frame:", {11, 318, 39, 8}},
    {kStartText, Kind::kSunken, "", {51, 316, 43, 13}},
    {kStartButton, Kind::kPush, "Start", {16, 268, 30, 14}},
    {kEndButton, Kind::kPush, "End", {61, 268, 30, 14}},
    {kNoId, Kind::kStatic, "End Frame:", {12, 335, 37, 8}},
    {kEndText, Kind::kSunken, "", {51, 333, 43, 13}},
    {kSavePcxBox, Kind::kAutoCheck, "Save PCX texture", {10, 371, 72, 10}},
    {kAboutButton, Kind::kPush, "About", {13, 148, 73, 14}},
    {kScaleEdit, Kind::kEdit, nullptr, {44, 384, 33, 14}},
    {kNoId, Kind::kStatic, "Scale:", {19, 386, 21, 8}},
    {kSkinNameEdit, Kind::kEdit, nullptr, {44, 401, 59, 14}},
    {kNoId, Kind::kStatic, "Skin Name:", {3, 403, 38, 8}},
};

const ExpectedControl kAboutControls[] = {
    {IDOK, Kind::kDefPush, "OK", {7, 98, 224, 14}},
    {kNoId, Kind::kStatic, nullptr, {15, 17, 203, 39}},
    {kNoId, Kind::kStatic, nullptr, {13, 68, 209, 18}},
};

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

bool Has(LONG_PTR style, LONG_PTR bits) { return (style & bits) == bits; }

// Whether a window of `kind` has the class and the styles the template gives.
std::string KindProblem(HWND control, Kind kind) {
  const std::string cls = ui::ClassName(control);
  const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
  const LONG_PTR ex = GetWindowLongPtrA(control, GWL_EXSTYLE);
  // The dialog manager may turn a border into a sunken client edge.
  const bool border = Has(style, WS_BORDER) || Has(ex, WS_EX_CLIENTEDGE);
  const LONG_PTR buttonType = style & BS_TYPEMASK;
  switch (kind) {
    case Kind::kList:
      if (_stricmp(cls.c_str(), "ListBox") != 0) return "class " + cls;
      if (!border || !Has(style, WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                                     LBS_DISABLENOSCROLL)) {
        return "list styles " + Hex(static_cast<unsigned long>(style));
      }
      if (style & LBS_SORT) return "a sorted list";
      return "";
    case Kind::kPush:
    case Kind::kDefPush:
      if (_stricmp(cls.c_str(), "Button") != 0) return "class " + cls;
      if (kind == Kind::kDefPush && buttonType != BS_DEFPUSHBUTTON) return "not the default button";
      if (buttonType != BS_PUSHBUTTON && buttonType != BS_DEFPUSHBUTTON) return "not a push button";
      if (kind == Kind::kPush && !Has(style, WS_TABSTOP)) return "no tab stop";
      return "";
    case Kind::kGroup:
      if (_stricmp(cls.c_str(), "Button") != 0 || buttonType != BS_GROUPBOX) return "not a group box";
      return "";
    case Kind::kAutoCheck:
      if (_stricmp(cls.c_str(), "Button") != 0 || buttonType != BS_AUTOCHECKBOX) {
        return "not an automatic check box";
      }
      if (!Has(style, WS_TABSTOP)) return "no tab stop";
      return "";
    case Kind::kEdit:
      if (_stricmp(cls.c_str(), "Edit") != 0) return "class " + cls;
      if (!border || !Has(style, WS_TABSTOP | ES_AUTOHSCROLL)) {
        return "edit styles " + Hex(static_cast<unsigned long>(style));
      }
      return "";
    case Kind::kStatic:
    case Kind::kSunken:
      if (_stricmp(cls.c_str(), "Static") != 0) return "class " + cls;
      if ((style & SS_TYPEMASK) != SS_LEFT) return "not left-aligned text";
      if (kind == Kind::kSunken && !Has(style, SS_SUNKEN)) return "not sunken";
      return "";
  }
  return "unknown kind";
}

// Checks the dialog's children against a template, in order.
void CheckControls(HWND dialog, const ExpectedControl* expected, std::size_t count,
                   const std::string& what, Checks& checks) {
  HWND control = GetWindow(dialog, GW_CHILD);
  for (std::size_t i = 0; i < count; ++i, control = GetWindow(control, GW_HWNDNEXT)) {
    const ExpectedControl& e = expected[i];
    const std::string name = what + " control " + std::to_string(i) + " (id " +
                             std::to_string(e.id) + (e.caption ? ", \"" + std::string(e.caption) + "\"" : "") + ")";
    if (!checks.True(control != nullptr, name + " is missing")) return;
    const int id = GetDlgCtrlID(control);
    checks.True(e.id == kNoId ? (id == -1 || id == 0xFFFF) : id == e.id,
                name + ": id " + std::to_string(id));
    const std::string problem = KindProblem(control, e.kind);
    checks.True(problem.empty(), name + ": " + problem);
    if (e.caption) checks.Equal(ui::WindowText(control), e.caption, name + " caption");
    // Position and size are converted apart, as the dialog manager does.
    RECT want = e.units;
    MapDialogRect(dialog, &want);
    want.right += want.left;
    want.bottom += want.top;
    RECT got;
    GetWindowRect(control, &got);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
    checks.True(EqualRect(&want, &got) != 0,
                name + ": placed at " + std::to_string(got.left) + "," + std::to_string(got.top) +
                    " " + std::to_string(got.right - got.left) + "x" +
                    std::to_string(got.bottom - got.top) + " pixels, template says " +
                    std::to_string(want.left) + "," + std::to_string(want.top) + " " +
                    std::to_string(want.right - want.left) + "x" +
                    std::to_string(want.bottom - want.top));
  }
  checks.True(control == nullptr, what + " has more controls than its template");
}

// Size in dialog units and font of a dialog made from a template.
void CheckDialogFrame(HWND dialog, int widthUnits, int heightUnits, const std::string& what,
                      Checks& checks) {
  RECT want{0, 0, widthUnits, heightUnits};
  MapDialogRect(dialog, &want);
  RECT got;
  GetClientRect(dialog, &got);
  checks.Equal(got.right, want.right, what + " width in pixels");
  checks.Equal(got.bottom, want.bottom, what + " height in pixels");
  LOGFONTA font{};
  auto handle = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  checks.True(handle && GetObjectA(handle, sizeof font, &font) == sizeof font, what + " has a font");
  checks.Equal(font.lfFaceName, "MS Sans Serif", what + " font");
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  checks.Equal(font.lfHeight, -MulDiv(8, dpi, 72), what + " font height (8 points)");
}

// A message box as the plug-in must show it: the text and caption given,
// owned by the panel's window, an OK button only and no icon.
bool CheckMessageBox(HWND box, const std::string& text, const std::string& caption, HWND owner,
                     Checks& checks) {
  const std::string what = "message box \"" + caption + "\"";
  checks.Equal(ui::WindowText(box), caption, what + " caption");
  checks.Equal(ui::DialogText(box), text, what + " text");
  checks.True(GetWindow(box, GW_OWNER) == owner, what + " is owned by the panel's window");
  int buttons = 0;
  bool ok = false;
  bool icon = false;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    const std::string cls = ui::ClassName(c);
    const LONG_PTR style = GetWindowLongPtrA(c, GWL_STYLE);
    if (_stricmp(cls.c_str(), "Button") == 0) {
      ++buttons;
      ok = ok || GetDlgCtrlID(c) == IDOK;
    }
    if (_stricmp(cls.c_str(), "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
        SendMessageA(c, STM_GETICON, 0, 0) != 0) {
      icon = true;
    }
  }
  checks.True(buttons == 1 && ok, what + " has only an OK button");
  checks.True(!icon, what + " shows no icon");
  return ui::PressOk(box);
}

// Expects one message box and answers it.
void ExpectMessage(ui::DialogWatcher& watcher, Checks& checks, HWND owner, std::string text,
                   std::string caption) {
  watcher.Expect(caption, [&checks, owner, text, caption](HWND box, int) {
    return CheckMessageBox(box, text, caption, owner, checks);
  });
}

// Expects the Save dialog and answers it as a user would: go to the work
// folder, then choose `name` there; or cancel it when `name` is null.
// Choosing the folder first matters: the dialog may open in the folder that
// this program used last, and it leaves the process in the folder it shows,
// where the skin files then go.
void ExpectSaveDialog(ui::DialogWatcher& watcher, Checks& checks, const std::string& workDir,
                      const char* name) {
  const std::string file = name ? name : "";
  watcher.Expect(kSaveDialogTitle, [&checks, workDir, file](HWND dialog, int tick) {
    if (file.empty()) return ui::PressCancel(dialog);
    // Wine's dialog keeps the file name in the combo box cmb13; the
    // classic one in the edit box edt1.
    HWND box = GetDlgItem(dialog, cmb13);
    if (!box) box = GetDlgItem(dialog, edt1);
    if (!box) {
      if (tick < 40) return false;  // still being built
      checks.Fail("the Save dialog has no file-name box");
      return ui::PressCancel(dialog);
    }
    if (tick == 0) {
      SetWindowTextA(box, workDir.c_str());  // a folder: the dialog goes there
      ui::PressOk(dialog);
      return false;
    }
    SetWindowTextA(box, file.c_str());
    return ui::PressOk(dialog);
  });
}

HWND Item(HWND page, int id) { return GetDlgItem(page, id); }

struct Panel {
  UiTestContext& context;
  UtilityObject utility;

  explicit Panel(UiTestContext& c) : context(c), utility(c.module.Class(0).CreateUtility()) {}
  HWND Open() {
    ui::SetStep("opening the panel");
    utility.OpenPanel(&context.host, nullptr);
    ui::Pump(50);
    return context.host.CurrentPage();
  }
  void Close() {
    ui::SetStep("closing the panel");
    utility.ClosePanel(&context.host, nullptr);
    ui::Pump(20);
  }
};

std::vector<std::uint8_t> ReadBytes(const std::string& path, bool& found) {
  found = test_support::FileExists(path);
  return test_support::ReadFileBytes(path);
}

// The written file must equal the reference byte for byte. A text file
// is compared without its first line (which names the file itself) and
// with line ends made alike.
void CompareWithReference(const std::string& path, const std::string& referencePath,
                          Checks& checks, bool text = false) {
  bool haveActual = false;
  bool haveReference = false;
  auto actual = ReadBytes(path, haveActual);
  auto reference = ReadBytes(referencePath, haveReference);
  if (!checks.True(haveActual, path + " was written")) return;
  if (!checks.True(haveReference, referencePath + ": the native build wrote no reference file")) {
    return;
  }
  if (text) {
    for (auto* bytes : {&actual, &reference}) {
      bytes->erase(std::remove(bytes->begin(), bytes->end(), '\r'), bytes->end());
      const auto firstLineEnd = std::find(bytes->begin(), bytes->end(), '\n');
      bytes->erase(bytes->begin(), firstLineEnd);
    }
  }
  std::size_t at = 0;
  while (at < actual.size() && at < reference.size() && actual[at] == reference[at]) ++at;
  checks.True(at == actual.size() && at == reference.size(),
              path + " differs from the native build's: " + std::to_string(actual.size()) +
                  " bytes against " + std::to_string(reference.size()) +
                  ", first difference at byte " + std::to_string(at));
}

std::string CurrentFolder() {
  char path[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, path);
  std::string folder(path, n);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The frame names of a written model; nothing when it is no whole model
// (IDP2, version 8, every section inside the file).
std::optional<std::vector<std::string>> FrameNamesOf(const std::string& path) {
  test_support::Md2File model;
  if (!test_support::ParseMd2(test_support::ReadFileBytes(path), &model) ||
      model.ident != 0x32504449 || model.version != 8)
    return std::nullopt;
  std::vector<std::string> names;
  for (const test_support::Md2FileFrame& frame : model.frames) names.push_back(frame.name);
  return names;
}

// A small model with these frame names and one vertex, as another tool
// would have written it.
bool WriteFrameListModel(const std::string& path, const std::vector<std::string>& names,
                         const char* magic = "IDP2") {
  test_support::Md2FrameListFile model;
  model.names = names;
  model.ident = test_support::U32At(test_support::Bytes(magic, magic + 4), 0);
  return test_support::WriteFileBytes(path, model.Build());
}

// The panel's state as the user sees it.
void CheckFreshPanel(HWND page, int listLines, const std::string& when, Checks& checks) {
  checks.Equal(static_cast<long long>(ui::ListLines(Item(page, kFrameList)).size()), listLines,
               when + ": lines in the frame list");
  checks.Equal(ui::WindowText(Item(page, kFirstFrameEdit)), "0", when + ": First Frame");
  checks.Equal(ui::WindowText(Item(page, kScaleEdit)), "1", when + ": Scale");
  checks.Equal(ui::WindowText(Item(page, kSkinNameEdit)), "tris", when + ": Skin Name");
  checks.Equal(ui::WindowText(Item(page, kStartText)), "", when + ": Start Frame");
  checks.Equal(ui::WindowText(Item(page, kEndText)), "", when + ": End Frame");
  checks.True(IsDlgButtonChecked(page, kSaveBmpBox) == BST_UNCHECKED, when + ": Save BMP texture is off");
  checks.True(IsDlgButtonChecked(page, kSavePcxBox) == BST_UNCHECKED, when + ": Save PCX texture is off");
}

// The banner must be on screen at the page's top-left corner: the pixels
// there are the bitmap's, wherever no control covers them.
void CheckBanner(HWND page, HINSTANCE module, Checks& checks) {
  auto banner = static_cast<HBITMAP>(
      LoadImageA(module, MAKEINTRESOURCEA(107), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!checks.True(banner != nullptr, "the module has bitmap 107")) return;
  BITMAP info{};
  GetObjectA(banner, sizeof info, &info);
  checks.Equal(info.bmWidth, kBannerWidth, "banner width");
  checks.Equal(info.bmHeight, kBannerHeight, "banner height");
  checks.Equal(info.bmBitsPixel, 8, "banner bits a pixel");

  // Rows above the first control that reaches into the banner's columns.
  int rows = kBannerHeight;
  for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    if (r.left < kBannerWidth && r.top < rows) rows = std::max<int>(0, r.top);
  }
  checks.True(rows >= kBannerHeight / 2, "controls leave the banner area free");

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = kBannerWidth;
  bi.bmiHeader.biHeight = -kBannerHeight;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> expected(kBannerWidth * kBannerHeight);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, banner, 0, kBannerHeight, expected.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(banner);

  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC pageDc = GetDC(page);
  HDC memory = CreateCompatibleDC(pageDc);
  HGDIOBJ old = SelectObject(memory, copy);
  BitBlt(memory, 0, 0, kBannerWidth, kBannerHeight, pageDc, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* shown = static_cast<const std::uint32_t*>(bits);
  int differing = 0;
  bool varied = false;  // a one-colour bitmap would prove nothing
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < kBannerWidth; ++x) {
      const std::uint32_t want = expected[y * kBannerWidth + x] & 0xFFFFFF;
      if ((shown[y * kBannerWidth + x] & 0xFFFFFF) != want) ++differing;
      if (want != (expected[0] & 0xFFFFFF)) varied = true;
    }
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(page, pageDc);
  DeleteObject(copy);
  checks.True(varied, "the banner is a picture, not one colour");
  checks.Equal(differing, 0, "banner pixels on screen that differ from bitmap 107 (of " +
                                 std::to_string(rows * kBannerWidth) + ")");
}

HINSTANCE ModuleOf(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCSTR>(address), &module);
  return module;
}

// ---------------------------------------------------------------------------

// What the host learns from the module: exports, class descriptor, utility.
void TestRegistration(UiTestContext& context, Checks& checks) {
  PluginModule& module = context.module;
  checks.Equal(module.version(), 0x0FA00800, "LibVersion");
  checks.True(std::strncmp(module.Description(), "Vexo by ", 8) == 0,
              std::string("LibDescription starts with \"Vexo by \": ") + module.Description());
  checks.Equal(module.ClassCount(), 1, "LibNumberClasses");
  checks.True(module.RawClassDesc(0) && module.RawClassDesc(0) == module.RawClassDesc(0),
              "LibClassDesc(0) gives the same descriptor every time");
  checks.True(!module.RawClassDesc(1) && !module.RawClassDesc(-1), "LibClassDesc(1) and (-1) are null");
  ClassDescriptor desc = module.Class(0);
  checks.Equal(desc.ClassName(), "Vexo", "class name");
  checks.Equal(desc.Category(), "Quake Export", "category");
  checks.Equal(desc.SuperClassID(), 0x1020, "super-class");
  checks.True(desc.ClassID() == Class_ID{0x4E5D1CDF, 0x46E718D8}, "class id");
  checks.Equal(desc.IsPublic(), 1, "listed in the class list");
  UtilityObject first = desc.CreateUtility();
  first.Release();
  checks.True(desc.CreateUtility().address() == first.address(),
              "every creation gives the same utility, also after Release");
  checks.Equal(context.host.calls().initCustomControls, 1,
               "InitCustomControls calls when the module was loaded");
}

void TestPanel(UiTestContext& context, Checks& checks) {
  WindowsHost& host = context.host;
  Panel panel(context);
  HWND page = panel.Open();
  if (!checks.True(page != nullptr, "OpenPanel added a page")) return;
  const HWND owner = host.mainWindow();
  const HostPage& added = host.pages().back();
  checks.Equal(host.calls().addPanelPage, 1, "pages added with a category");
  checks.Equal(added.category, 4000, "page category");
  checks.Equal(added.title, context.module.Description(), "page title");
  checks.True(added.instance == ModuleOf(context.module.RawClassDesc(0)),
              "the page is made from the module's own resources");
  checks.True(GetParent(page) == host.commandPanel(), "the page sits in the command panel");

  const LONG_PTR style = GetWindowLongPtrA(page, GWL_STYLE);
  checks.True(Has(style, WS_CHILD | WS_VISIBLE) && !Has(style, WS_CAPTION),
              "the page is a visible child without a title");
  CheckDialogFrame(page, 108, 448, "page", checks);
  CheckControls(page, kPageControls, std::size(kPageControls), "page", checks);
  CheckFreshPanel(page, 198, "at opening", checks);

  const auto lines = ui::ListLines(Item(page, kFrameList));
  if (lines.size() == 198) {
    checks.Equal(lines[0], "stand01", "line 0");
    checks.Equal(lines[40], "run1", "line 40");
    checks.Equal(lines[197], "death308", "line 197");
  }
  UpdateWindow(page);
  ui::Pump(50);
  CheckBanner(page, added.instance, checks);

  ui::DialogWatcher watcher(checks);
  // Start and End with no line chosen change nothing.
  ui::SetStep("Start with no line selected");
  ui::Click(Item(page, kStartButton));
  ui::Click(Item(page, kEndButton));
  checks.Equal(ui::WindowText(Item(page, kStartText)), "", "Start with no line selected");
  checks.Equal(ui::WindowText(Item(page, kEndText)), "", "End with no line selected");

  ui::SetStep("choosing Start and End");
  ui::SelectLine(Item(page, kFrameList), 40);
  ui::Click(Item(page, kStartButton));
  checks.Equal(ui::WindowText(Item(page, kStartText)), "run1", "Start Frame after Start on line 40");
  ui::SelectLine(Item(page, kFrameList), 39);
  ui::Click(Item(page, kEndButton));
  checks.Equal(ui::WindowText(Item(page, kEndText)), "stand40", "End Frame after End on line 39");

  // End before Start: refused with a message, and no Save dialog.
  ui::SetStep("Save md2 with End before Start");
  ExpectMessage(watcher, checks, owner, kOrderMessage, "Input error");
  ui::Click(Item(page, kSaveButton));
  watcher.Finish("Save md2 with End before Start");

  // The host's keyboard shortcuts stop while Scale or Skin Name has the
  // focus, not while First Frame has it.
  ui::SetStep("typing into the edit boxes");
  const HostCallCounts before = host.calls();
  ui::Type(Item(page, kScaleEdit), "2.5");
  ui::Type(Item(page, kSkinNameEdit), "hero");
  ui::Type(Item(page, kFirstFrameEdit), "7");
  checks.Equal(host.calls().disableAccelerators - before.disableAccelerators, 2,
               "shortcuts stopped when Scale and Skin Name took the focus");
  checks.Equal(host.calls().enableAccelerators - before.enableAccelerators, 2,
               "shortcuts restarted when they lost it");
  checks.Equal(ui::WindowText(Item(page, kScaleEdit)), "2.5", "typed Scale");
  ui::Click(Item(page, kSaveBmpBox));
  checks.True(IsDlgButtonChecked(page, kSaveBmpBox) == BST_CHECKED, "Save BMP texture ticks");

  ui::SetStep("mouse over the page");
  const int forwarded = host.calls().forwardPanelMouse;
  SendMessageA(page, WM_MOUSEMOVE, 0, MAKELPARAM(5, 300));
  SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 300));
  SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(5, 300));
  checks.Equal(host.calls().forwardPanelMouse - forwarded, 3, "mouse messages handed to the host");

  // The About box: modal, no owner, and only its OK button closes it.
  ui::SetStep("the About box");
  bool aboutChecked = false;
  watcher.Expect(kAboutTitle, [&](HWND about, int tick) {
    if (tick == 0) {
      const LONG_PTR s = GetWindowLongPtrA(about, GWL_STYLE);
      checks.True(Has(s, WS_POPUP | WS_CAPTION | WS_SYSMENU), "About box: a pop-up with caption and system menu");
      checks.True(Has(GetWindowLongPtrA(about, GWL_EXSTYLE), WS_EX_DLGMODALFRAME), "About box: modal frame");
      checks.True(GetWindow(about, GW_OWNER) == nullptr, "About box has no owner");
      CheckDialogFrame(about, 238, 119, "About box", checks);
      CheckControls(about, kAboutControls, std::size(kAboutControls), "About box", checks);
      HWND credit = GetWindow(GetWindow(about, GW_CHILD), GW_HWNDNEXT);
      HWND product = GetWindow(credit, GW_HWNDNEXT);
      checks.True(!ui::WindowText(credit).empty(), "About box: credit text");
      checks.True(ui::WindowText(product).find("Vexo") != std::string::npos,
                  "About box names Vexo: " + ui::WindowText(product));
      ui::PressCancel(about);  // Esc
      PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
      return false;
    }
    if (tick < 8) return false;
    checks.True(IsWindowVisible(about) != 0, "About box stays open on Esc and on the close command");
    aboutChecked = true;
    ui::Click(GetDlgItem(about, IDOK));
    return true;
  });
  ui::Click(Item(page, kAboutButton));
  watcher.Finish("About");
  checks.True(aboutChecked, "About box checked");

  // Closing and opening again resets everything but the frame list.
  panel.Close();
  checks.Equal(host.calls().deletePanelPage, 1, "pages deleted");
  checks.True(!IsWindow(page), "the page is gone after ClosePanel");
  page = panel.Open();
  if (!checks.True(page != nullptr, "the panel opens again")) return;
  CheckFreshPanel(page, 198, "after opening again", checks);
  panel.Close();
}

void TestExport(UiTestContext& context, Checks& checks) {
  using namespace reference;
  WindowsHost& host = context.host;
  Panel panel(context);
  HWND page = panel.Open();
  if (!checks.True(page != nullptr, "OpenPanel added a page")) return;
  const HWND owner = host.mainWindow();
  ui::DialogWatcher watcher(checks);
  const std::string modelName = std::string(kModelName) + ".md2";
  const std::string model = context.workDir + "\\" + modelName;
  auto reference = [&context](const std::string& name) { return context.referenceDir + "\\" + name; };

  // A cancelled Save dialog writes nothing and says nothing.
  ui::SetStep("Save md2, cancelled");
  ExpectSaveDialog(watcher, checks, context.workDir, nullptr);
  ui::Click(Item(page, kSaveButton));
  watcher.Finish("Save md2, cancelled");
  checks.True(!FileExists(model), "nothing written after a cancel");

  // The export, set up as a user would.
  ui::SetStep("setting up the export");
  ui::SelectLine(Item(page, kFrameList), kStartLine);
  ui::Click(Item(page, kStartButton));
  ui::SelectLine(Item(page, kFrameList), kEndLine);
  ui::Click(Item(page, kEndButton));
  ui::Type(Item(page, kFirstFrameEdit), kFirstFrameText);
  ui::Type(Item(page, kScaleEdit), kScaleText);
  ui::Type(Item(page, kSkinNameEdit), kSkinName);
  ui::Click(Item(page, kSaveBmpBox));
  ui::Click(Item(page, kSavePcxBox));
  ui::SetStep("Save md2");
  ExpectSaveDialog(watcher, checks, context.workDir, modelName.c_str());
  ui::Click(Item(page, kSaveButton));
  watcher.Finish("Save md2");
  CompareWithReference(model, reference(modelName), checks);
  // The skins go to the current folder, the one the Save dialog left.
  const std::string skinFolder = CurrentFolder();
  checks.Equal(skinFolder, context.workDir, "current folder after the Save dialog");
  for (const char* skin : {"skin.bmp", "skin.pcx"}) {
    CompareWithReference(skinFolder + "\\" + skin, reference(skin), checks);
  }
  CompareWithReference("C:\\tris.asc", reference("tris.asc"), checks, true);

  // The model on disk no longer fits the scene once a node is left out.
  ui::SetStep("Save md2 over a model of another mesh");
  bool found = false;
  const auto before = ReadBytes(model, found);
  if (MemoryNode* flag = host.scene().FindNode("flag")) flag->Select(false);
  ExpectSaveDialog(watcher, checks, context.workDir, modelName.c_str());
  ExpectMessage(watcher, checks, owner,
                "Cannot save model.\n(Is existing model of same vertex and face count?)",
                "File Error");
  ui::Click(Item(page, kSaveButton));
  watcher.Finish("Save md2 over a model of another mesh");
  checks.True(ReadBytes(model, found) == before, "the refused model is left as it was");

  // Nothing selected: nothing to save.
  ui::SetStep("Save md2 with nothing selected");
  host.scene().ForEachNode([](MemoryNode& node) { node.Select(false); });
  ExpectSaveDialog(watcher, checks, context.workDir, "nothing.md2");
  ExpectMessage(watcher, checks, owner,
                "Nothing to save. \n(Are all objects to save selected and mapped?)", "Scene Error");
  ui::Click(Item(page, kSaveButton));
  watcher.Finish("Save md2 with nothing selected");
  checks.True(!FileExists(context.workDir + "\\nothing.md2"),
              "no model written when nothing is selected");
  panel.Close();
}

void TestImport(UiTestContext& context, Checks& checks) {
  WindowsHost& host = context.host;
  Panel panel(context);
  HWND page = panel.Open();
  if (!checks.True(page != nullptr, "OpenPanel added a page")) return;
  const HWND owner = host.mainWindow();
  ui::DialogWatcher watcher(checks);
  const std::vector<std::string> names = {"walk1", "walk2", "idle", "attack"};
  const std::string& dir = context.workDir;
  checks.True(WriteFrameListModel(dir + "\\frames.md2", names), "test model written");
  checks.True(WriteFrameListModel(dir + "\\other.md2", {"x"}, "IDPO"), "test file written");

  // The dialog's name is cut at its first "." and given ".md2".
  ui::SetStep("importing a frame list");
  ExpectSaveDialog(watcher, checks, context.workDir, "frames.pcx");
  ui::Click(Item(page, kImportButton));
  watcher.Finish("Import new frame list");
  checks.True(ui::ListLines(Item(page, kFrameList)) == names, "the list shows the imported names");

  ui::SetStep("importing a file that is no model");
  ExpectSaveDialog(watcher, checks, context.workDir, "other.md2");
  ExpectMessage(watcher, checks, owner, "Cannot load new frame list", "File Error");
  ui::Click(Item(page, kImportButton));
  watcher.Finish("Import of a file that is no model");
  checks.True(ui::ListLines(Item(page, kFrameList)) == names, "a failed import keeps the list");

  ui::SetStep("cancelling an import");
  ExpectSaveDialog(watcher, checks, context.workDir, nullptr);
  ui::Click(Item(page, kImportButton));
  watcher.Finish("Import cancelled");
  checks.True(ui::ListLines(Item(page, kFrameList)) == names, "a cancelled import keeps the list");

  // The imported list outlives the panel; the settings do not.
  panel.Close();
  page = panel.Open();
  if (!checks.True(page != nullptr, "the panel opens again")) return;
  CheckFreshPanel(page, static_cast<int>(names.size()), "after opening again", checks);
  checks.True(ui::ListLines(Item(page, kFrameList)) == names, "the imported list is still shown");

  // A new model gets one frame per imported name.
  ui::SetStep("Save md2 with the imported list");
  ExpectSaveDialog(watcher, checks, context.workDir, "imported.md2");
  ui::Click(Item(page, kSaveButton));
  watcher.Finish("Save md2 with the imported list");
  const auto written = FrameNamesOf(dir + "\\imported.md2");
  checks.True(written.has_value(), "imported.md2 is a model");
  checks.True(written && *written == names, "the new model's frames carry the imported names");
  panel.Close();
}

// Modules for host releases 3 and 2 add their page without a category.
// The descriptor's and the utility's slots by number, as a host built with
// the host's own compiler calls them (see tests/support/host_slot_calls.h),
// for the module of any release.
void TestSlots(UiTestContext& context, Checks& checks) {
  using test_support::CallSlot;
  const int release = context.module.hostRelease();
  void* desc = context.module.RawClassDesc(0);
  if (!checks.True(desc != nullptr, "LibClassDesc(0) gives a descriptor")) return;
  const auto slot = [release](int n) { return test_support::DescriptorSlot(release, n); };
  ui::SetStep("calling the descriptor's slots by number");
  checks.Equal(CallSlot<int>(desc, slot(1)), 1, "slot 1: listed in the class list");
  void* utility = CallSlot<void*>(desc, slot(2), 0);
  checks.True(utility != nullptr && CallSlot<void*>(desc, slot(2), 1) == utility,
              "slot 2: every creation gives the same utility");
  checks.Equal(CallSlot<int>(desc, slot(3), static_cast<void*>(nullptr)), 0, "slot 3: begin creation");
  checks.Equal(CallSlot<int>(desc, slot(4), static_cast<void*>(nullptr)), 0, "slot 4: end creation");
  checks.Equal(CallSlot<const char*>(desc, slot(5)), "Vexo", "slot 5: class name");
  checks.Equal(CallSlot<std::uint32_t>(desc, slot(6)), 0x1020, "slot 6: super-class");
  Class_ID id;
  checks.True(CallSlot<Class_ID*>(desc, slot(7), &id) == &id &&
                  id == Class_ID{0x4E5D1CDF, 0x46E718D8},
              "slot 7: the class id, through the caller's pointer");
  checks.Equal(CallSlot<const char*>(desc, slot(8)), "Quake Export", "slot 8: category");
  if (release >= 3) {
    checks.True(CallSlot<void*>(desc, 0, 1u) == desc, "slot 0: the destructor frees nothing");
  }
  if (!utility) return;
  ui::SetStep("calling the utility's slots by number");
  HostInterface* host = &context.host;
  CallSlot<void>(utility, 0, host, static_cast<void*>(nullptr));
  ui::Pump(50);
  checks.True(context.host.CurrentPage() != nullptr, "utility slot 0 opens the panel");
  CallSlot<void>(utility, 1, host, static_cast<void*>(nullptr));
  ui::Pump(20);
  checks.True(context.host.CurrentPage() == nullptr, "utility slot 1 closes it");
  CallSlot<void>(utility, 2, host, static_cast<void*>(nullptr));
  CallSlot<void>(utility, 3);
  if (release >= 3) {
    alignas(CStr) unsigned char copy[sizeof(CStr)];
    CallSlot<void>(utility, 4, new (copy) CStr("-silent"));
  }
  checks.True(CallSlot<void*>(desc, slot(2), 0) == utility, "the utility outlives its Release");
}

void TestOlderRelease(UiTestContext& context, Checks& checks) {
  WindowsHost& host = context.host;
  const int release = context.module.hostRelease();
  checks.True(release == 3 || release == 2, "a module of host release 3 or 2");
  Panel panel(context);
  HWND page = panel.Open();
  if (!checks.True(page != nullptr, "OpenPanel added a page")) return;
  checks.Equal(host.calls().addPanelPage, 0, "pages added with a category");
  checks.Equal(host.calls().addPanelPageWithoutCategory, 1, "pages added without a category");
  CheckControls(page, kPageControls, std::size(kPageControls), "page", checks);
  CheckFreshPanel(page, 198, "at opening", checks);
  ui::DialogWatcher watcher(checks);
  ui::SelectLine(Item(page, kFrameList), 1);
  ui::Click(Item(page, kStartButton));
  ui::SelectLine(Item(page, kFrameList), 0);
  ui::Click(Item(page, kEndButton));
  ExpectMessage(watcher, checks, host.mainWindow(), kOrderMessage, "Input error");
  ui::Click(Item(page, kSaveButton));
  watcher.Finish("Save md2 with End before Start");
  panel.Close();
  checks.Equal(host.calls().deletePanelPage, 1, "pages deleted");
}

}  // namespace

const std::vector<UiTest>& UiTests() {
  static const std::vector<UiTest> tests = {
      {"registration", "exports, class descriptor and utility of the loaded module", TestRegistration},
      {"slots", "the descriptor's and the utility's slots by number, for a module of any release",
       TestSlots},
      {"panel", "the page's controls, banner, Start/End, messages, About box, reopening", TestPanel},
      {"export", "Save md2 through the Save dialog; files equal the native build's", TestExport},
      {"import", "Import new frame list, its failures, and a model with the imported list", TestImport},
      {"older-release", "the panel of a release 3 or 2 module", TestOlderRelease},
  };
  return tests;
}

}  // namespace vexo
