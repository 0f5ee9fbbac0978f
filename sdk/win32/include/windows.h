// Stand-in for the Windows API on other platforms: the types and the
// subset of user-interface calls that the plug-in makes, with Windows'
// names and meanings. On Windows the real header is used instead.
#pragma once

#include <cstddef>
#include <cstdint>

#define VEXO_WIN32_STANDIN 1

#if defined(VEXO_BUILDING_WIN32)
#define VEXO_WIN32_API __attribute__((visibility("default")))
#else
#define VEXO_WIN32_API __attribute__((visibility("default")))
#endif

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef unsigned int UINT;
typedef long LONG;
typedef std::intptr_t INT_PTR;
typedef std::uintptr_t UINT_PTR;
typedef std::intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;

#define TRUE 1
#define FALSE 0

#define DECLARE_HANDLE(name) \
  struct name##__ {          \
    int unused;              \
  };                         \
  typedef struct name##__* name
DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HGDIOBJ_);
#undef DECLARE_HANDLE
typedef void* HGDIOBJ;
typedef HINSTANCE HMODULE;

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#define IS_INTRESOURCE(p) ((reinterpret_cast<std::uintptr_t>(p) >> 16) == 0)
#define LOWORD(l) (static_cast<WORD>(static_cast<std::uintptr_t>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<std::uintptr_t>(l) >> 16) & 0xffff))

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1

// The user-interface calls are declared in win32_calls.h, kept apart so
// this header stays a plain list of types.
#include "win32_calls.h"
