// The host's self-tests: each drives the plug-in's real panel in this
// process as a user would and checks what the user sees and what lands on
// disk.
#pragma once

#include <string>
#include <vector>

#include "standalone/module_loader.h"
#include "standalone/windows_host/windows_host.h"
#include "tests/standalone/windows_host/ui_driver.h"

namespace vexo {

struct UiTestContext {
  WindowsHost& host;
  PluginModule& module;
  std::string workDir;       // Windows path of the current folder, where files are written
  std::string referenceDir;  // files the native build wrote for the same export
};

struct UiTest {
  const char* name;
  const char* summary;
  void (*run)(UiTestContext& context, ui::Checks& checks);
};

// Every test, by name.
const std::vector<UiTest>& UiTests();

}  // namespace vexo
