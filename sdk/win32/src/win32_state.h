// Process-wide state of the Windows stand-in: the windows with their
// controls' contents, the graphics objects, the registered resources and
// the host's handlers. One user-interface thread, as on Windows' side of
// the plug-in; nothing is locked.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vexo_win32_host.h"

namespace vexo::win32 {

enum class WindowKind { Host, Dialog, Control };
enum class ControlKind { Other, Button, Edit, Static, ListBox };

struct Window {
  WindowKind kind = WindowKind::Host;
  ControlKind control = ControlKind::Other;
  HWND parent = nullptr;
  std::vector<HWND> children;
  WindowInfo info;
  DLGPROC proc = nullptr;
  bool destroying = false;
  // Modal dialogs.
  bool modal = false;
  bool ended = false;
  INT_PTR endResult = 0;
  // Buttons.
  UINT check = BST_UNCHECKED;
  // List boxes.
  std::vector<std::string> lines;
  int selection = -1;
};

enum class GdiKind { Bitmap, MemoryContext, PaintContext };

struct GdiObject {
  GdiKind kind = GdiKind::Bitmap;
  // Bitmaps.
  int width = 0, height = 0, bitsPerPixel = 0;
  bool stock = false;
  int selectedInto = 0;  // number of contexts holding it
  // Contexts.
  HGDIOBJ selected = nullptr;
  HWND window = nullptr;
};

struct BitmapResource {
  const unsigned char* dib;
  std::size_t size;
};

struct Win32State {
  int commonControlsInitialised = 0;

  std::map<std::uintptr_t, std::unique_ptr<Window>> windows;
  std::map<std::uintptr_t, GdiObject> gdiObjects;
  std::uintptr_t nextHandle = 0x10010;  // windows and graphics objects share one range
  HWND focus = nullptr;
  HGDIOBJ stockBitmap = nullptr;

  std::map<std::pair<HINSTANCE, WORD>, const DialogTemplate*> dialogTemplates;
  std::map<std::pair<HINSTANCE, WORD>, BitmapResource> bitmaps;

  ModalDialogHandler modalHandler;
  SaveFileNameHandler saveFileNameHandler;
  MessageBoxHandler messageBoxHandler;
  std::vector<MessageBoxCall> messageBoxes;
  PaintLog paintLog;
  DWORD commonDialogError = 0;
};

// Never destroyed, so modules that unregister their resources while the
// process exits still find it.
Win32State& State();

std::uintptr_t NewHandle();
Window* FindWindowByHandle(HWND window);
GdiObject* FindGdiObject(const void* handle);

}  // namespace vexo::win32
