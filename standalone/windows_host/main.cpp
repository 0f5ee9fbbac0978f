// vexo_windows_host: loads Dorvane.dlu like the modelling host does and
// shows its panel beside an in-memory scene.
//
//   vexo_windows_host [--module FILE] [--textures DIR]
//       opens the panel on the demo scene (its bitmaps written into DIR,
//       default: the current folder) until the window is closed
//   vexo_windows_host --test NAME [--module FILE] [--reference DIR] [--watchdog S]
//       runs one self-test in the current folder (--list names them); a
//       test still running after S seconds (default 60) is ended
//   vexo_windows_host --show-until FILE [--ready FILE] [--module FILE]
//       opens the panel, writes the main window's place on the screen
//       ("left top width height") into the ready file, and closes once
//       FILE exists (at most 60 s): for screenshots
//
// Exit codes: 0 success, 1 a test failed, 2 bad use or the module could not
// be loaded, 3 the watchdog ended a stalled run.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <optional>
#include <string>

#include "standalone/demo_scene.h"
#include "standalone/module_loader.h"
#include "standalone/windows_host/windows_host.h"
#include "tests/standalone/windows_host/comparison_scene.h"
#include "tests/standalone/windows_host/panel_ui_tests.h"
#include "tests/standalone/windows_host/ui_driver.h"

namespace {

constexpr DWORD kTestWatchdogMs = 60000;
constexpr DWORD kShowLimitMs = 60000;

struct Options {
  std::string module;
  std::string test;
  std::string reference;
  std::string textures = ".";
  std::string showUntil;
  std::string ready;
  DWORD watchdogMs = kTestWatchdogMs;
  bool list = false;
};

int Usage(const char* message) {
  std::fprintf(stderr, "vexo_windows_host: %s\n", message);
  std::fprintf(stderr,
               "usage: vexo_windows_host [--module FILE] [--textures DIR]\n"
               "       vexo_windows_host --test NAME [--module FILE] [--reference DIR] [--watchdog S]\n"
               "       vexo_windows_host --list\n"
               "       vexo_windows_host --show-until FILE [--ready FILE] [--module FILE]\n");
  return 2;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  const auto slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

std::string CurrentFolder() {
  char path[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, path);
  std::string folder(path, n);
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

std::optional<Options> Parse(int argc, char** argv, std::string& error) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      into = argv[++i];
      return true;
    };
    bool ok = true;
    if (arg == "--module") {
      ok = value(o.module);
    } else if (arg == "--test") {
      ok = value(o.test);
    } else if (arg == "--reference") {
      ok = value(o.reference);
    } else if (arg == "--textures") {
      ok = value(o.textures);
    } else if (arg == "--show-until") {
      ok = value(o.showUntil);
    } else if (arg == "--ready") {
      ok = value(o.ready);
    } else if (arg == "--watchdog") {
      std::string seconds;
      ok = value(seconds);
      const long s = ok ? std::strtol(seconds.c_str(), nullptr, 10) : 0;
      if (ok && s <= 0) {
        error = "--watchdog needs a number of seconds";
        return std::nullopt;
      }
      o.watchdogMs = static_cast<DWORD>(s) * 1000;
    } else if (arg == "--list") {
      o.list = true;
    } else {
      error = "unknown argument " + arg;
      return std::nullopt;
    }
    if (!ok) return std::nullopt;
  }
  if (o.module.empty()) o.module = ProgramFolder() + "\\Dorvane.dlu";
  return o;
}

int RunTest(const Options& options, vexo::WindowsHost& host, vexo::PluginModule& module) {
  const vexo::UiTest* test = nullptr;
  for (const vexo::UiTest& t : vexo::UiTests()) {
    if (options.test == t.name) test = &t;
  }
  if (!test) return Usage(("no test named " + options.test).c_str());
  vexo::UiTestContext context{host, module, CurrentFolder(), options.reference};
  vexo::ui::Checks checks;
  std::printf("RUN  %s: %s\n", test->name, test->summary);
  std::fflush(stdout);
  try {
    test->run(context, checks);
  } catch (const std::exception& e) {
    checks.Fail(std::string("stopped by an error: ") + e.what());
  }
  for (const std::string& failure : checks.failures()) std::printf("  failed: %s\n", failure.c_str());
  const bool passed = checks.failures().empty();
  std::printf("%s %s (%d checks, %zu failed)\n", passed ? "PASS" : "FAIL", test->name,
              checks.checked(), checks.failures().size());
  std::fflush(stdout);
  return passed ? 0 : 1;
}

int Show(const Options& options, vexo::WindowsHost& host, vexo::PluginModule& module) {
  vexo::UtilityObject utility = module.Class(0).CreateUtility();
  utility.OpenPanel(&host, nullptr);
  if (!options.showUntil.empty()) {
    vexo::ui::Pump(300);
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
      vexo::ui::Pump(100);
    }
    utility.ClosePanel(&host, nullptr);
    return 0;
  }
  const int code = host.RunMessageLoop();
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<Options> options = Parse(argc, argv, error);
  if (!options) return Usage(error.c_str());
  if (options->list) {
    for (const vexo::UiTest& t : vexo::UiTests()) std::printf("%-14s %s\n", t.name, t.summary);
    return 0;
  }
  if (!options->test.empty()) vexo::ui::StartWatchdog(options->watchdogMs);

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  const bool testing = !options->test.empty();
  if (!testing && options->showUntil.empty()) {
    CreateDirectoryA(options->textures.c_str(), nullptr);
    if (!vexo::WriteDemoTextures(options->textures, error)) {
      std::fprintf(stderr, "vexo_windows_host: %s\n", error.c_str());
      return 2;
    }
  }
  // The tests export the scene that the native reference export exports,
  // with the bitmaps in the current folder.
  vexo::WindowsHost host(GetModuleHandleA(nullptr),
                         testing ? vexo::MakeComparisonScene(".")
                                 : vexo::MakeDemoScene(options->textures));
  if (!host.CreateMainWindow("Vexo - Windows host")) {
    std::fprintf(stderr, "vexo_windows_host: cannot create the main window (error %lu)\n",
                 static_cast<unsigned long>(host.lastError()));
    return 2;
  }
  try {
    // Loaded after the host exists: the module's entry point calls the SDK,
    // which answers for the registered host.
    vexo::PluginModule module(options->module);
    const int code = testing ? RunTest(*options, host, module) : Show(*options, host, module);
    // Pages still open belong to the module: they go before it is unloaded.
    host.DestroyMainWindow();
    return code;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vexo_windows_host: %s\n", e.what());
    return 2;
  }
}
