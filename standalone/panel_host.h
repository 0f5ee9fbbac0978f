// A host with a command panel: the pages that plug-ins add are real dialogs
// of the Windows stand-in, made from the plug-in module's own templates as
// children of the host's command-panel window, so their dialog procedures
// see the messages they would see in the modelling host.
//
//   vexo::PanelHost host;                 // registers itself, like MemoryHost
//   utility.OpenPanel(&host, nullptr);    // the plug-in adds its page
//   HWND page = host.pages().back().window;
//   vexo::win32::ClickButton(page, 1014); // the user presses a button
//
// Pages still open when the host is destroyed are destroyed with it, so a
// module must stay loaded until its panel is closed or the host is gone.
#pragma once

#include <string>
#include <vector>

#include "standalone/memory_host.h"

namespace vexo {

// A page as the host files it.
struct PanelPage {
  HWND window;
  HINSTANCE instance;  // the module whose template the page was made from
  std::string title;
  bool hasCategory;  // added with the release-4 form
  int category;
};

class PanelHost : public MemoryHost {
 public:
  explicit PanelHost(MemoryScene scene = MemoryScene());
  ~PanelHost() override;

  // The window that pages are children of.
  HWND commandPanel() const { return commandPanel_; }
  // Pages currently added, oldest first.
  const std::vector<PanelPage>& pages() const { return pages_; }

  HWND AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc, LPCSTR title,
                    LPARAM param, DWORD flags, int category) override;
  HWND AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc, LPCSTR title,
                    LPARAM param, DWORD flags) override;
  void DeletePanelPage(HWND page) override;

 private:
  HWND AddPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc, LPCSTR title,
               LPARAM param, bool hasCategory, int category);

  HWND commandPanel_;
  std::vector<PanelPage> pages_;
};

}  // namespace vexo
