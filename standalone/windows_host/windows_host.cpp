#include "standalone/windows_host/windows_host.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

namespace vexo {

std::string ModuleBesideProgram() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  const auto slash = folder.find_last_of("\\/");
  return (slash == std::string::npos ? "." : folder.substr(0, slash)) + "\\Dorvane.dlu";
}

void ParseCommandLine(int argc, char** argv, const std::vector<CommandLineOption>& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto option = std::find_if(options.begin(), options.end(),
                                     [&](const CommandLineOption& o) { return arg == o.name; });
    if (option == options.end()) throw Error("unknown argument " + arg);
    if (!option->value) {
      if (option->set) *option->set = true;
      continue;
    }
    if (i + 1 >= argc) throw Error(arg + " needs a value");
    *option->value = argv[++i];
  }
}

int RunWithModule(WindowsHost& host, const std::string& modulePath, const char* program,
                  const std::function<int(PluginModule&)>& body) {
  if (!host.CreateMainWindow("Vexo - Windows host")) {
    std::fprintf(stderr, "%s: cannot create the main window (error %lu)\n", program,
                 static_cast<unsigned long>(host.lastError()));
    return 2;
  }
  try {
    PluginModule module(modulePath);
    const int code = body(module);
    host.DestroyMainWindow();
    return code;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", program, e.what());
    return 2;
  }
}

void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (milliseconds) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}
namespace {

constexpr char kMainWindowClass[] = "VexoHostWindow";
constexpr char kCommandPanelClass[] = "VexoCommandPanel";
constexpr int kTitleBarHeight = 18;
constexpr int kPageGap = 4;

// Registers a window class once per instance.
bool RegisterOnce(HINSTANCE instance, const char* name, WNDPROC proc, int background) {
  WNDCLASSA wc{};
  if (GetClassInfoA(instance, name, &wc)) return true;
  wc = WNDCLASSA{};
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0;
}

bool RegisterClasses(HINSTANCE instance, WNDPROC mainProc) {
  return RegisterOnce(instance, kMainWindowClass, mainProc, COLOR_APPWORKSPACE) &&
         RegisterOnce(instance, kCommandPanelClass, DefWindowProcA, COLOR_BTNFACE);
}

}  // namespace

WindowsHost::WindowsHost(HINSTANCE instance, MemoryScene scene)
    : MemoryHost(std::move(scene)), instance_(instance) {}

WindowsHost::~WindowsHost() {
  DestroyMainWindow();
  if (font_) DeleteObject(font_);
}

void WindowsHost::DestroyMainWindow() {
  if (main_ && IsWindow(main_)) DestroyWindow(main_);
  main_ = nullptr;
}

bool WindowsHost::CreateMainWindow(const char* title) {
  // The pages' controls are the system's common controls.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (!RegisterClasses(instance_, &WindowsHost::MainWindowProc)) {
    lastError_ = GetLastError();
    return false;
  }
  // Client area: the scene view beside a command panel tall enough for the
  // plug-in's page at the usual dialog font.
  RECT frame{0, 0, 420 + kCommandPanelWidth, 760};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRect(&frame, style, FALSE);
  main_ = CreateWindowExA(0, kMainWindowClass, title, style, 0, 0, frame.right - frame.left,
                          frame.bottom - frame.top, nullptr, nullptr, instance_, this);
  if (!main_) {
    lastError_ = GetLastError();
    return false;
  }
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font_ = CreateFontIndirectA(&metrics.lfMessageFont);
  }
  sceneView_ = CreateWindowExA(WS_EX_CLIENTEDGE, "ListBox", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 0,
                               0, main_, nullptr, instance_, nullptr);
  commandPanel_ = CreateWindowExA(0, kCommandPanelClass, nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, main_,
                                  nullptr, instance_, nullptr);
  if (!sceneView_ || !commandPanel_) {
    lastError_ = GetLastError();
    return false;
  }
  if (font_) SendMessageA(sceneView_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  LayOutMainWindow();
  ShowSceneNodes();
  ShowWindow(main_, SW_SHOWNORMAL);
  UpdateWindow(main_);
  return true;
}

void WindowsHost::ShowSceneNodes() {
  if (!sceneView_) return;
  SendMessageA(sceneView_, LB_RESETCONTENT, 0, 0);
  scene().ForEachNode([this](MemoryNode& node) {
    int depth = 0;
    for (const MemoryNode* p = node.parent(); p; p = p->parent()) ++depth;
    std::string line(static_cast<std::size_t>(depth) * 4, ' ');
    line += node.name();
    if (node.selected()) line += "   [selected]";
    if (!node.material()) line += "   (no material)";
    SendMessageA(sceneView_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  });
}

HWND WindowsHost::CurrentPage() const { return pages_.empty() ? nullptr : pages_.back().window; }

int WindowsHost::RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // Keyboard navigation inside the pages (Tab between controls).
    bool handled = false;
    for (const HostPage& page : pages_) {
      if (IsDialogMessageA(page.window, &msg)) {
        handled = true;
        break;
      }
    }
    if (handled) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

HWND WindowsHost::AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc,
                               LPCSTR title, LPARAM param, DWORD, int category) {
  ++calls_.addPanelPage;
  return CreatePage(instance, dialogTemplate, dialogProc, title, param, category);
}

HWND WindowsHost::AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc,
                               LPCSTR title, LPARAM param, DWORD) {
  ++calls_.addPanelPageWithoutCategory;
  return CreatePage(instance, dialogTemplate, dialogProc, title, param, -1);
}

HWND WindowsHost::CreatePage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc,
                             LPCSTR title, LPARAM param, int category) {
  if (!commandPanel_) return nullptr;
  // The page's WM_INITDIALOG runs inside this call, as the plug-in expects.
  HWND page = CreateDialogParamA(instance, dialogTemplate, commandPanel_, dialogProc, param);
  if (!page) {
    lastError_ = GetLastError();
    return nullptr;
  }
  HostPage entry;
  entry.window = page;
  entry.instance = instance;
  entry.title = title ? title : "";
  entry.category = category;
  entry.titleBar = CreateWindowExA(0, "Static", entry.title.c_str(),
                                   WS_CHILD | WS_VISIBLE | SS_CENTER | SS_SUNKEN | SS_ENDELLIPSIS,
                                   0, 0, 0, 0, commandPanel_, nullptr, instance_, nullptr);
  if (entry.titleBar && font_) {
    SendMessageA(entry.titleBar, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  pages_.push_back(std::move(entry));
  LayOutPages();
  ShowWindow(page, SW_SHOW);
  return page;
}

void WindowsHost::DeletePanelPage(HWND page) {
  ++calls_.deletePanelPage;
  auto it = std::find_if(pages_.begin(), pages_.end(),
                         [page](const HostPage& p) { return p.window == page; });
  if (it == pages_.end()) return;
  if (it->titleBar) DestroyWindow(it->titleBar);
  if (IsWindow(it->window)) DestroyWindow(it->window);
  pages_.erase(it);
  LayOutPages();
}

void WindowsHost::LayOutPages() {
  int y = 0;
  for (const HostPage& page : pages_) {
    RECT r;
    GetWindowRect(page.window, &r);
    const int height = r.bottom - r.top;
    if (page.titleBar) {
      SetWindowPos(page.titleBar, nullptr, 2, y, kCommandPanelWidth - 4, kTitleBarHeight - 2,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    y += kTitleBarHeight;
    SetWindowPos(page.window, nullptr, 0, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    y += height + kPageGap;
  }
}

void WindowsHost::LayOutMainWindow() {
  RECT client;
  GetClientRect(main_, &client);
  const int panelLeft = std::max(0, static_cast<int>(client.right) - kCommandPanelWidth);
  if (sceneView_) MoveWindow(sceneView_, 4, 4, std::max(0, panelLeft - 8), client.bottom - 8, TRUE);
  if (commandPanel_) MoveWindow(commandPanel_, panelLeft, 0, kCommandPanelWidth, client.bottom, TRUE);
}

LRESULT CALLBACK WindowsHost::MainWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<WindowsHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_SIZE:
      if (host && host->main_ == window) host->LayOutMainWindow();
      return 0;
    case WM_DESTROY:
      if (host) {
        host->main_ = nullptr;
        host->sceneView_ = nullptr;
        host->commandPanel_ = nullptr;
        host->pages_.clear();
      }
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace vexo
