#include <commctrl.h>

#include "sdk/win32/src/win32_state.h"

extern "C" void InitCommonControls(void) { vexo::win32::State().commonControlsInitialised++; }
