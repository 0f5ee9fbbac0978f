// vexo_windows_tests: the Windows host's self-tests. Each runs in the
// process that owns the panel's windows, drives the real panel of a module
// under the host and checks what it shows and writes (scripts/test-windows.sh
// runs them under Wine).
//
//   vexo_windows_tests --test NAME [--module FILE] [--reference DIR] [--watchdog S]
//       runs one self-test in the current folder; a test still running
//       after S seconds (default 60) is ended
//   vexo_windows_tests --list
//       names the tests
//
// Exit codes: 0 the test passed, 1 it failed, 2 bad use or the module could
// not be loaded, 3 the watchdog ended a stalled run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#include "standalone/module_loader.h"
#include "standalone/windows_host/windows_host.h"
#include "tests/standalone/windows_host/comparison_scene.h"
#include "tests/standalone/windows_host/panel_ui_tests.h"
#include "tests/standalone/windows_host/ui_driver.h"

namespace {

constexpr DWORD kTestWatchdogMs = 60000;

struct Options {
  std::string module;
  std::string test;
  std::string reference;
  DWORD watchdogMs = kTestWatchdogMs;
  bool list = false;
};

int Usage(const char* message) {
  std::fprintf(stderr, "vexo_windows_tests: %s\n", message);
  std::fprintf(stderr,
               "usage: vexo_windows_tests --test NAME [--module FILE] [--reference DIR] [--watchdog S]\n"
               "       vexo_windows_tests --list\n");
  return 2;
}

std::string CurrentFolder() {
  char path[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, path);
  std::string folder(path, n);
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

// Throws vexo::Error for a command line it cannot take.
Options Parse(int argc, char** argv) {
  Options o;
  std::string watchdog;
  vexo::ParseCommandLine(argc, argv,
                         {{"--module", &o.module},
                          {"--test", &o.test},
                          {"--reference", &o.reference},
                          {"--watchdog", &watchdog},
                          {"--list", nullptr, &o.list}});
  if (!watchdog.empty()) {
    const long s = std::strtol(watchdog.c_str(), nullptr, 10);
    if (s <= 0) throw vexo::Error("--watchdog needs a number of seconds");
    o.watchdogMs = static_cast<DWORD>(s) * 1000;
  }
  if (!o.list && o.test.empty()) throw vexo::Error("name a test with --test, or --list them");
  if (o.module.empty()) o.module = vexo::ModuleBesideProgram();
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

}  // namespace

int main(int argc, char** argv) {
  std::optional<Options> options;
  try {
    options = Parse(argc, argv);
  } catch (const vexo::Error& e) {
    return Usage(e.what());
  }
  if (options->list) {
    for (const vexo::UiTest& t : vexo::UiTests()) std::printf("%-14s %s\n", t.name, t.summary);
    return 0;
  }
  vexo::ui::StartWatchdog(options->watchdogMs);

  // The tests export the scene that the native reference export exports,
  // with the bitmaps in the current folder.
  vexo::WindowsHost host(GetModuleHandleA(nullptr), vexo::MakeComparisonScene("."));
  return vexo::RunWithModule(host, options->module, "vexo_windows_tests", [&](vexo::PluginModule& module) {
    return RunTest(*options, host, module);
  });
}
