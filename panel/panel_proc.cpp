// The page's dialog procedure: the frame list with its Start and End
// choices, the import of a frame list, the settings the export reads when
// "Save md2" is pressed, the banner, and the About button.
#include <cmath>
#include <cstdint>

#include "base/decimal_number.h"
#include "errors/messages.h"
#include "export/ask_save_file_name.h"
#include "model/host_frame_time.h"
#include "panel/panel.h"
#include "plugin/export_utility.h"
#include "plugin/host/host_interface.h"
#include "plugin/module_instance.h"
#include "resources/resource.h"

namespace {

PanelState g_panel = {nullptr, 0, 0};

// Longest text read from an edit box.
constexpr int kTextSize = 256;

// Lists the table's names in slot order, so that a line's index is its slot.
void FillFrameList(HWND window, const FrameNameTable& table) {
  SendDlgItemMessageA(window, IDC_FRAME_LIST, LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < table.count; ++i)
    SendDlgItemMessageA(window, IDC_FRAME_LIST, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(table.names[i]));
}

// An imported list may be shorter than the chosen range, whose frames would
// then have no names and lie beyond the model's frames: the range goes back
// to the whole new list.
void KeepRangeInList(HWND window, PanelState& panel, std::int32_t count) {
  if (panel.startFrame < count && panel.endFrame < count) return;
  panel.startFrame = 0;
  panel.endFrame = count - 1;
  SetDlgItemTextA(window, IDC_START_FRAME_TEXT, "");
  SetDlgItemTextA(window, IDC_END_FRAME_TEXT, "");
}

// Start and End: the selected line becomes the first or last frame, and its
// name is shown beside the button. Nothing happens without a selection.
void ChooseFrame(HWND window, int textId, std::int32_t* frame) {
  const LRESULT line = SendDlgItemMessageA(window, IDC_FRAME_LIST, LB_GETCURSEL, 0, 0);
  if (line == LB_ERR) return;
  char name[kTextSize];
  const LRESULT length =
      SendDlgItemMessageA(window, IDC_FRAME_LIST, LB_GETTEXTLEN, static_cast<WPARAM>(line), 0);
  if (length == LB_ERR || length >= kTextSize) return;
  SendDlgItemMessageA(window, IDC_FRAME_LIST, LB_GETTEXT, static_cast<WPARAM>(line),
                      reinterpret_cast<LPARAM>(name));
  SetDlgItemTextA(window, textId, name);
  *frame = static_cast<std::int32_t>(line);
}

// An unsigned decimal number with optional spaces around it, up to
// UINT64_MAX (larger ones stop there); any other text gives 0. Read here
// rather than with GetDlgItemInt, whose answer for a minus sign differs
// between implementations of Windows.
std::uint64_t ReadUnsigned(HWND window, int id) {
  char text[kTextSize];
  GetDlgItemTextA(window, id, text, kTextSize);
  const char* p = text;
  while (*p == ' ') ++p;
  if (*p < '0' || *p > '9') return 0;
  std::uint64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    const std::uint64_t digit = static_cast<std::uint64_t>(*p - '0');
    value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
  }
  while (*p == ' ') ++p;
  return *p ? 0 : value;
}

// A decimal number (ReadDecimalNumber); any other text gives 0.
float ReadScale(HWND window) {
  char text[kTextSize];
  GetDlgItemTextA(window, IDC_SCALE, text, kTextSize);
  double value = 0.0;
  return ReadDecimalNumber(text, &value) ? static_cast<float>(value) : 0.0f;
}

// Whether every model frame of the range is sampled at a host time the
// host's time type holds.
bool FramesFitHostTime(std::uint64_t firstFrame, const PanelState& panel) {
  if (firstFrame > UINT32_MAX) return false;
  const std::int64_t last = std::int64_t(firstFrame) + (panel.endFrame - panel.startFrame);
  TimeValue time = 0;
  return HostFrameTime(last, &time);
}

INT_PTR SaveModelCommand(HWND window, ExportUtility& utility, const PanelState& panel) {
  const int saveBmp = IsDlgButtonChecked(window, IDC_SAVE_BMP) == BST_CHECKED;
  const int savePcx = IsDlgButtonChecked(window, IDC_SAVE_PCX) == BST_CHECKED;
  const float scale = ReadScale(window);
  const std::uint64_t firstFrame = ReadUnsigned(window, IDC_FIRST_FRAME);
  if (panel.endFrame < panel.startFrame) {
    MessageBoxA(window, kLastFrameBeforeFirst.text, kLastFrameBeforeFirst.caption, MB_OK);
    return FALSE;
  }
  // Numbers that no export could use are named before the Save dialog.
  if (!std::isfinite(scale)) {
    MessageBoxA(window, kScaleTooLarge.text, kScaleTooLarge.caption, MB_OK);
    return FALSE;
  }
  if (!FramesFitHostTime(firstFrame, panel)) {
    MessageBoxA(window, kFirstFrameTooLate.text, kFirstFrameTooLate.caption, MB_OK);
    return FALSE;
  }
  char skinName[kTextSize];
  GetDlgItemTextA(window, IDC_SKIN_NAME, skinName, kTextSize);
  utility.SaveModel(skinName, saveBmp, savePcx, static_cast<std::uint32_t>(firstFrame),
                    panel.startFrame, panel.endFrame, scale);
  return TRUE;
}

INT_PTR Command(HWND window, WORD id, WORD code) {
  ExportUtility& utility = TheExportUtility();
  PanelState& panel = g_panel;
  switch (id) {
    case IDC_IMPORT_FRAMES: {
      char path[kPathBufferSize];
      if (!AskSaveFileName(window, path, kModelFileFilter, kModelFileDialogTitle)) return FALSE;
      if (!utility.LoadFrameNames(path))
        MessageBoxA(window, kCannotLoadFrameList.text, kCannotLoadFrameList.caption, MB_OK);
      FillFrameList(window, utility.frameNames);
      KeepRangeInList(window, panel, utility.frameNames.count);
      return TRUE;
    }
    case IDC_SAVE_MD2:
      return SaveModelCommand(window, utility, panel);
    case IDC_START:
      ChooseFrame(window, IDC_START_FRAME_TEXT, &panel.startFrame);
      return TRUE;
    case IDC_END:
      ChooseFrame(window, IDC_END_FRAME_TEXT, &panel.endFrame);
      return TRUE;
    case IDC_ABOUT:
      ShowAbout();
      return TRUE;
    case IDC_SCALE:
    case IDC_SKIN_NAME:
      // The host's keyboard shortcuts would take the keys typed here.
      if (code == EN_SETFOCUS) DisableAccelerators();
      else if (code == EN_KILLFOCUS) EnableAccelerators();
      return TRUE;
    default:
      return TRUE;
  }
}

void PaintBanner(HWND window, HBITMAP banner) {
  PAINTSTRUCT paint;
  const HDC screen = BeginPaint(window, &paint);
  if (banner) {
    const HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ previous = SelectObject(memory, banner);
    BitBlt(screen, 0, 0, kBannerWidth, kBannerHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  EndPaint(window, &paint);
}

}  // namespace

PanelState& ThePanelState() { return g_panel; }

INT_PTR CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ExportUtility& utility = TheExportUtility();
  switch (message) {
    case WM_INITDIALOG:
      g_panel.bannerBitmap = LoadBitmapA(ModuleInstance(), MAKEINTRESOURCEA(IDB_BANNER));
      g_panel.startFrame = 0;
      g_panel.endFrame = utility.frameNames.count - 1;
      SetDlgItemInt(window, IDC_FIRST_FRAME, 0, FALSE);
      FillFrameList(window, utility.frameNames);
      return TRUE;
    case WM_DESTROY:
      if (g_panel.bannerBitmap) DeleteObject(g_panel.bannerBitmap);
      g_panel.bannerBitmap = nullptr;
      return TRUE;
    case WM_PAINT:
      PaintBanner(window, g_panel.bannerBitmap);
      return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      // The host scrolls its command panel with these.
      if (utility.hostInterface)
        utility.hostInterface->ForwardPanelMouse(window, message, wParam, lParam);
      return TRUE;
    case WM_COMMAND:
      return Command(window, LOWORD(wParam), HIWORD(wParam));
    default:
      return FALSE;
  }
}
