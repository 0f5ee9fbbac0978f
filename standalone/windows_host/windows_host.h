// A small Windows host for the plug-in: a main window with a scene view and
// a command-panel area, the in-memory scene behind the host interface, and
// roll-up pages made from the module's dialog templates with the real
// dialog manager.
//
//   vexo::WindowsHost host(GetModuleHandleA(nullptr), vexo::MakeDemoScene("."));
//   host.CreateMainWindow("Vexo");
//   vexo::PluginModule module("Dorvane.dlu");      // after the host exists:
//   auto utility = module.Class(0).CreateUtility(); // the module's entry point
//   utility.OpenPanel(&host, nullptr);             // calls InitCustomControls
//   host.RunMessageLoop();
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "standalone/memory_host.h"
#include "standalone/module_loader.h"

namespace vexo {

// Handles the messages that are waiting, for about `milliseconds` (0: only
// those waiting now). A WM_QUIT is posted again for the loop that owns it.
void PumpMessages(DWORD milliseconds = 0);

// Dorvane.dlu in the folder of the running program.
std::string ModuleBesideProgram();

class WindowsHost;

// The command line of a Windows program: "--name value" options stored in
// their strings and "--name" switches set true. Throws Error for an
// unknown argument or a missing value.
struct CommandLineOption {
  const char* name;
  std::string* value;  // null for a switch
  bool* set = nullptr;
};
void ParseCommandLine(int argc, char** argv, const std::vector<CommandLineOption>& options);

// The body of a program that hosts the module: makes the host's main window
// (titled "Vexo - Windows host"), loads the module after the host exists
// (its entry point calls the SDK, which answers for the registered host),
// runs `body`, and closes the window, with the pages the module made,
// before the module is unloaded. A failure is printed as "program: why"
// and gives exit code 2; otherwise the result is body's.
int RunWithModule(WindowsHost& host, const std::string& modulePath, const char* program,
                  const std::function<int(PluginModule&)>& body);

// One roll-up page as the host keeps it.
struct HostPage {
  HWND window = nullptr;
  HINSTANCE instance = nullptr;  // whose resources the page was made from
  HWND titleBar = nullptr;  // a label with the page title above the page
  std::string title;
  int category = -1;        // -1: added without a category (host releases 3 and 2)
};

class WindowsHost : public MemoryHost {
 public:
  WindowsHost(HINSTANCE instance, MemoryScene scene);
  ~WindowsHost() override;

  // Creates and shows the main window. False (with the system's error
  // number in lastError()) when the window cannot be made.
  bool CreateMainWindow(const char* title);
  // Destroys the main window with every page in it.
  void DestroyMainWindow();
  HWND mainWindow() const { return main_; }
  HWND commandPanel() const { return commandPanel_; }
  DWORD lastError() const { return lastError_; }

  // The pages that are open now, top to bottom.
  const std::vector<HostPage>& pages() const { return pages_; }
  // The window of the most recently added page that is still open, or null.
  HWND CurrentPage() const;

  // Lists the scene's nodes (selected ones marked) in the scene view.
  void ShowSceneNodes();

  // Runs the message loop until the main window is closed. Returns the
  // exit code posted with WM_QUIT.
  int RunMessageLoop();

  // Host interface.
  HWND AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc, LPCSTR title,
                    LPARAM param, DWORD flags, int category) override;
  HWND AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc, LPCSTR title,
                    LPARAM param, DWORD flags) override;
  void DeletePanelPage(HWND page) override;

  // Width of the command-panel area in pixels.
  static constexpr int kCommandPanelWidth = 190;

 private:
  HWND CreatePage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc, LPCSTR title,
                  LPARAM param, int category);
  void LayOutPages();
  void LayOutMainWindow();
  static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND main_ = nullptr;
  HWND sceneView_ = nullptr;
  HWND commandPanel_ = nullptr;
  HFONT font_ = nullptr;
  DWORD lastError_ = 0;
  std::vector<HostPage> pages_;
};

}  // namespace vexo
