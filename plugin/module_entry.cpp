// The module's entry point: the platform calls it when the module is
// loaded (on Windows also on unloading and for every thread).
#include <windows.h>

#include "plugin/module_instance.h"

#if defined(_WIN32)

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reason;
  (void)reserved;
  EnterModule(instance);
  return TRUE;
}

#else

// Runs once when the module is loaded, before the host calls any export.
__attribute__((constructor)) static void OnModuleLoad() { EnterModule(ThisModuleHandle()); }

#endif
