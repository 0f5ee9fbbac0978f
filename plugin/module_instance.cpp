#include "plugin/module_instance.h"

#include <commctrl.h>

#include "plugin/host/host_interface.h"

#if defined(_WIN32)
extern "C" IMAGE_DOS_HEADER __ImageBase;
#else
extern "C" void* __dso_handle __attribute__((visibility("hidden")));
#endif

namespace {
HINSTANCE g_moduleInstance = nullptr;
int g_controlsInitialised = 0;
}  // namespace

HINSTANCE ThisModuleHandle() {
#if defined(_WIN32)
  return reinterpret_cast<HINSTANCE>(&__ImageBase);
#else
  return reinterpret_cast<HINSTANCE>(&__dso_handle);
#endif
}

HINSTANCE ModuleInstance() { return g_moduleInstance ? g_moduleInstance : ThisModuleHandle(); }

void EnterModule(HINSTANCE instance) {
  g_moduleInstance = instance;
  if (g_controlsInitialised) return;
  g_controlsInitialised = 1;
  InitCustomControls(instance);
  InitCommonControls();
}
