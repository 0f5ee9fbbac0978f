// Windows user-interface calls that the stand-in provides.
#pragma once

extern "C" {
VEXO_WIN32_API void InitCommonControls(void);
}
