// What a running host does with the Windows stand-in that a user would do
// on Windows: it answers the dialogs the user would answer (the Save
// dialog, message boxes, modal dialogs), acts on the controls (clicks,
// typing, focus, list selection), makes its own windows, and sees what was
// painted. The resource registration at the top is what the generated
// resource file of a module calls when the module is loaded.
//
// Plug-in code never includes this header: it only uses the Windows calls.
#pragma once

#include <commdlg.h>
#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vexo::win32 {

// ---- Resources, registered per module instance ----------------------------

// One control of a dialog template, as the resource compiler leaves it.
struct ControlTemplate {
  const char* windowClass;  // "BUTTON", "EDIT", "STATIC", "LISTBOX", ...
  const char* text;
  int id;  // -1 for controls without an id
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;  // dialog units
};

struct DialogTemplate {
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;  // dialog units
  const char* caption;
  WORD pointSize;        // with DS_SETFONT
  const char* typeface;  // with DS_SETFONT
  const ControlTemplate* controls;
  int controlCount;
};

// The templates and bitmap bits must stay valid until the module's
// resources are unregistered. `dib` is a bitmap resource: the BMP file
// without its 14-byte file header.
VEXO_WIN32_API void RegisterDialogTemplate(HINSTANCE module, WORD id, const DialogTemplate* dialog);
VEXO_WIN32_API void RegisterBitmap(HINSTANCE module, WORD id, const unsigned char* dib,
                                   std::size_t size);
VEXO_WIN32_API void UnregisterModuleResources(HINSTANCE module);
VEXO_WIN32_API const DialogTemplate* FindDialogTemplate(HINSTANCE module, WORD id);
// The bits of a registered bitmap (null when there is none).
VEXO_WIN32_API const unsigned char* FindBitmapResource(HINSTANCE module, WORD id, std::size_t* size);

// ---- Windows and controls --------------------------------------------------

// A top-level window of the host with no procedure of its own (the command
// panel that pages are added to, for instance).
VEXO_WIN32_API HWND CreateHostWindow(const std::string& title);

// How a window was made: its class ("#32770" for dialogs), id, styles and
// rectangle in dialog units as its template gave them.
struct WindowInfo {
  std::string windowClass;
  std::string text;
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect = {0, 0, 0, 0};  // left, top, right, bottom in dialog units
  WORD pointSize = 0;
  std::string typeface;
};
VEXO_WIN32_API WindowInfo DescribeWindow(HWND window);
// Child windows in creation (template) order.
VEXO_WIN32_API std::vector<HWND> ChildWindows(HWND window);
// The lines of a list box, in list order.
VEXO_WIN32_API std::vector<std::string> ListLines(HWND dialog, int id);

// What the user does. Each sends the messages Windows would send: focus
// changes first (EN_KILLFOCUS to the edit that had the focus, EN_SETFOCUS
// to an edit that gets it), then the control's own notification. They
// return false (and send nothing) for a missing or disabled control.
//
// Clicks a button: an automatic check box toggles, and the dialog gets
// WM_COMMAND (id, BN_CLICKED). A group box cannot be clicked.
VEXO_WIN32_API bool ClickButton(HWND dialog, int id);
// Clicks line `index` of a list box (LBN_SELCHANGE when it notifies).
VEXO_WIN32_API bool ClickListLine(HWND dialog, int id, int index);
// Moves the keyboard focus to a control (Tab or a click into it).
VEXO_WIN32_API bool FocusControl(HWND dialog, int id);
// Focuses an edit and replaces its text (EN_CHANGE).
VEXO_WIN32_API bool TypeText(HWND dialog, int id, const std::string& text);
// The keys a dialog handles itself: Enter presses the default push button
// (IDOK when there is none), Esc sends IDCANCEL.
VEXO_WIN32_API void PressEnter(HWND dialog);
VEXO_WIN32_API void PressEscape(HWND dialog);
// The caption's close button: WM_SYSCOMMAND SC_CLOSE, then WM_CLOSE, then
// IDCANCEL, each only when the procedure left the one before unhandled.
VEXO_WIN32_API void CloseFromCaption(HWND dialog);
// The window was uncovered: it gets WM_PAINT.
VEXO_WIN32_API void Repaint(HWND window);

// ---- Dialogs the user answers ----------------------------------------------

// Called once a modal dialog has handled WM_INITDIALOG; acts on the dialog
// like the user. When it returns without the dialog having been ended,
// DialogBoxParamA gives up and fails (-1), since on Windows it would wait
// for ever. Without a handler every modal dialog fails that way.
using ModalDialogHandler = std::function<void(HWND dialog)>;
VEXO_WIN32_API void SetModalDialogHandler(ModalDialogHandler handler);

// Answers the Save dialog: the chosen path, or nothing to cancel. It sees
// the structure the program passed. Without a handler the dialog is
// cancelled.
using SaveFileNameHandler = std::function<std::optional<std::string>(const OPENFILENAMEA& dialog)>;
VEXO_WIN32_API void SetSaveFileNameHandler(SaveFileNameHandler handler);

struct MessageBoxCall {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};
// Answers a message box with the id of the button pressed. Without a
// handler every box is answered IDOK. Every box is also logged.
using MessageBoxHandler = std::function<int(const MessageBoxCall& box)>;
VEXO_WIN32_API void SetMessageBoxHandler(MessageBoxHandler handler);
VEXO_WIN32_API std::vector<MessageBoxCall> MessageBoxLog();
VEXO_WIN32_API void ClearMessageBoxLog();

// ---- Painting and graphics objects -----------------------------------------

// One BitBlt: where it drew and the bitmap selected into its source.
struct BlitRecord {
  HWND window;  // the window of the destination painting context
  int x, y, width, height;
  int sourceX, sourceY;
  DWORD rop;
  int bitmapWidth, bitmapHeight, bitmapBitsPerPixel;
};
struct PaintLog {
  int beginPaint = 0;
  int endPaint = 0;
  std::vector<BlitRecord> blits;
};
VEXO_WIN32_API PaintLog Painting();
VEXO_WIN32_API void ClearPaintLog();

// Bitmaps and memory contexts made and not yet deleted.
VEXO_WIN32_API int LiveBitmaps();
VEXO_WIN32_API int LiveMemoryContexts();

// Forgets the handlers, the logs and every window (without sending them
// anything), as at process start. Registered resources stay.
VEXO_WIN32_API void ResetUserInterface();

}  // namespace vexo::win32
