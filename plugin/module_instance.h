// Module-wide values: the instance handle under which the module's dialogs
// and bitmaps are found, and the one-time initialisation of the controls.
#pragma once

#include <windows.h>

// The instance handle of this module: the one the entry point stored, or,
// before any entry (code linked straight into a program, as in tests), the
// identity of the binary this code is part of.
HINSTANCE ModuleInstance();

// The identity of the binary this code is linked into: its image base on
// Windows, elsewhere the address of its `__dso_handle` (every shared object
// and every executable has its own). Resource registration uses the same
// identity, so resources are looked up by this handle.
HINSTANCE ThisModuleHandle();

// The work of the platform entry point, on every call: store the instance
// and, on the first call only, initialise the host's custom controls and
// the common controls.
void EnterModule(HINSTANCE instance);
