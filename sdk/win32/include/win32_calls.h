// Windows user-interface calls that the stand-in provides.
#pragma once

extern "C" {
VEXO_WIN32_API void InitCommonControls(void);
VEXO_WIN32_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
}

#define MB_OK 0x00000000L
