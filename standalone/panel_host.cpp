#include "standalone/panel_host.h"

#include <algorithm>
#include <utility>

#include "vexo_win32_host.h"

namespace vexo {

PanelHost::PanelHost(MemoryScene scene)
    : MemoryHost(std::move(scene)), commandPanel_(win32::CreateHostWindow("Command Panel")) {}

PanelHost::~PanelHost() { DestroyWindow(commandPanel_); }

HWND PanelHost::AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc,
                             LPCSTR title, LPARAM param, DWORD /*flags*/, int category) {
  ++calls_.addPanelPage;
  return AddPage(instance, dialogTemplate, dialogProc, title, param, true, category);
}

HWND PanelHost::AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc,
                             LPCSTR title, LPARAM param, DWORD /*flags*/) {
  ++calls_.addPanelPageWithoutCategory;
  return AddPage(instance, dialogTemplate, dialogProc, title, param, false, 0);
}

// The page is made and initialised (WM_INITDIALOG) before this returns.
HWND PanelHost::AddPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc,
                        LPCSTR title, LPARAM param, bool hasCategory, int category) {
  const HWND page = CreateDialogParamA(instance, dialogTemplate, commandPanel_, dialogProc, param);
  if (page) pages_.push_back(PanelPage{page, instance, title ? title : "", hasCategory, category});
  return page;
}

void PanelHost::DeletePanelPage(HWND page) {
  ++calls_.deletePanelPage;
  const auto it = std::find_if(pages_.begin(), pages_.end(),
                               [page](const PanelPage& p) { return p.window == page; });
  if (it == pages_.end()) return;  // not one of ours
  pages_.erase(it);
  DestroyWindow(page);
}

}  // namespace vexo
