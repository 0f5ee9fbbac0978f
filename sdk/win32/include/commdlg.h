// Stand-in for the common-dialog header: the Save dialog, with Windows'
// structure layout.
#pragma once

#include <windows.h>

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
} OPENFILENAMEA, *LPOPENFILENAMEA;

// The size of the structure before the Windows 2000 fields: what a program
// written for the classic dialog passes (76 bytes in a 32-bit program).
#define OPENFILENAME_SIZE_VERSION_400A \
  (offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(((OPENFILENAMEA*)0)->lpTemplateName))

// Extended error codes.
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003

extern "C" {
VEXO_WIN32_API BOOL GetSaveFileNameA(LPOPENFILENAMEA dialog);
VEXO_WIN32_API DWORD CommDlgExtendedError(void);
}
