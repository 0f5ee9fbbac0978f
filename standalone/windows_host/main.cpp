// vexo_windows_host: loads Dorvane.dlu like the modelling host does and
// shows its panel beside an in-memory scene.
//
//   vexo_windows_host [--module FILE] [--textures DIR]
//       opens the panel on the demo scene (its bitmaps written into DIR,
//       default: the current folder) until the window is closed
//   vexo_windows_host --show-until FILE [--ready FILE] [--module FILE]
//       opens the panel, writes the main window's place on the screen
//       ("left top width height") into the ready file, and closes once
//       FILE exists (at most 60 s): for screenshots
//
// Exit codes: 0 success, 2 bad use or the module could not be loaded. Its
// self-tests are a program of their own (tests/standalone/windows_host).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "standalone/demo_scene.h"
#include "standalone/module_loader.h"
#include "standalone/windows_host/windows_host.h"

namespace {

constexpr DWORD kShowLimitMs = 60000;

struct Options {
  std::string module;
  std::string textures = ".";
  std::string showUntil;
  std::string ready;
};

int Usage(const char* message) {
  std::fprintf(stderr, "vexo_windows_host: %s\n", message);
  std::fprintf(stderr,
               "usage: vexo_windows_host [--module FILE] [--textures DIR]\n"
               "       vexo_windows_host --show-until FILE [--ready FILE] [--module FILE]\n");
  return 2;
}

// Throws vexo::Error for a command line it cannot take.
Options Parse(int argc, char** argv) {
  Options o;
  vexo::ParseCommandLine(argc, argv,
                         {{"--module", &o.module},
                          {"--textures", &o.textures},
                          {"--show-until", &o.showUntil},
                          {"--ready", &o.ready}});
  if (o.module.empty()) o.module = vexo::ModuleBesideProgram();
  return o;
}

// Opens the panel until the main window is closed, or, for a screenshot,
// until the file named by --show-until exists.
int Show(const Options& options, vexo::WindowsHost& host, vexo::PluginModule& module) {
  vexo::UtilityObject utility = module.Class(0).CreateUtility();
  utility.OpenPanel(&host, nullptr);
  if (options.showUntil.empty()) return host.RunMessageLoop();

  vexo::PumpMessages(300);
  RECT r;
  GetWindowRect(host.mainWindow(), &r);
  if (!options.ready.empty()) {
    std::ofstream ready(options.ready + ".part");
    ready << r.left << ' ' << r.top << ' ' << (r.right - r.left) << ' ' << (r.bottom - r.top)
          << '\n';
    ready.close();
    MoveFileA((options.ready + ".part").c_str(), options.ready.c_str());
  }
  const DWORD start = GetTickCount();
  while (GetFileAttributesA(options.showUntil.c_str()) == INVALID_FILE_ATTRIBUTES &&
         GetTickCount() - start < kShowLimitMs && host.mainWindow()) {
    vexo::PumpMessages(100);
  }
  utility.ClosePanel(&host, nullptr);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Options> options;
  try {
    options = Parse(argc, argv);
  } catch (const vexo::Error& e) {
    return Usage(e.what());
  }

  if (options->showUntil.empty()) {
    CreateDirectoryA(options->textures.c_str(), nullptr);
    try {
      vexo::WriteDemoTextures(options->textures);
    } catch (const vexo::Error& e) {
      std::fprintf(stderr, "vexo_windows_host: %s\n", e.what());
      return 2;
    }
  }
  vexo::WindowsHost host(GetModuleHandleA(nullptr), vexo::MakeDemoScene(options->textures));
  return vexo::RunWithModule(host, options->module, "vexo_windows_host",
                             [&](vexo::PluginModule& module) { return Show(*options, host, module); });
}
