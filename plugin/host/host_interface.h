// The host's interface as handed to the utility when its panel opens.
#pragma once

#include <windows.h>

#include "plugin/host/scene_objects.h"

class HostInterface {
 public:
  virtual ~HostInterface() = default;
  // Adds a roll-up page to the command panel, made from dialogTemplate in
  // module instance, with dialogProc as its dialog procedure. The page's
  // WM_INITDIALOG has been handled when this returns. The first form is
  // the one of host release 4 (with a category); releases 3 and 2 call the
  // second.
  virtual HWND AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc,
                            LPCSTR title, LPARAM param, DWORD flags, int category) = 0;
  virtual HWND AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc,
                            LPCSTR title, LPARAM param, DWORD flags) = 0;
  virtual void DeletePanelPage(HWND page) = 0;
  // Lets the host see mouse messages of the page (for panel scrolling).
  virtual void ForwardPanelMouse(HWND page, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual SceneNode* TopNode() = 0;
};

// SDK functions of the user-interface side of the host.
VEXO_SDK_API void InitCustomControls(HINSTANCE instance);
VEXO_SDK_API void DisableAccelerators();
VEXO_SDK_API void EnableAccelerators();
