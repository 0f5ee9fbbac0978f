// Stand-in for the common-controls header: only InitCommonControls.
#pragma once

#include <windows.h>

extern "C" {
VEXO_WIN32_API void InitCommonControls(void);
}
