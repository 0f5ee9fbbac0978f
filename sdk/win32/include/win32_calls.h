// Windows user-interface calls that the stand-in provides, with Windows'
// signatures. What a running host sees of them (and how it answers the
// dialogs the user would answer) is in vexo_win32_host.h.
#pragma once

extern "C" {

// Dialogs from templates. Templates are found by instance and id.
VEXO_WIN32_API HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent,
                                       DLGPROC dialogProc, LPARAM initParam);
VEXO_WIN32_API INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                                       DLGPROC dialogProc, LPARAM initParam);
VEXO_WIN32_API BOOL EndDialog(HWND dialog, INT_PTR result);
VEXO_WIN32_API BOOL DestroyWindow(HWND window);
VEXO_WIN32_API BOOL IsWindow(HWND window);
VEXO_WIN32_API HWND GetParent(HWND window);
VEXO_WIN32_API HWND GetDlgItem(HWND dialog, int id);
VEXO_WIN32_API int GetDlgCtrlID(HWND control);
VEXO_WIN32_API HWND SetFocus(HWND window);
VEXO_WIN32_API HWND GetFocus(void);

// Messages and control contents.
VEXO_WIN32_API LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
VEXO_WIN32_API LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                           LPARAM lParam);
VEXO_WIN32_API BOOL SetWindowTextA(HWND window, LPCSTR text);
VEXO_WIN32_API int GetWindowTextA(HWND window, LPSTR buffer, int size);
VEXO_WIN32_API int GetWindowTextLengthA(HWND window);
VEXO_WIN32_API BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
VEXO_WIN32_API UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
VEXO_WIN32_API BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
VEXO_WIN32_API UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
VEXO_WIN32_API UINT IsDlgButtonChecked(HWND dialog, int id);
VEXO_WIN32_API BOOL CheckDlgButton(HWND dialog, int id, UINT check);

// Message boxes.
VEXO_WIN32_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Bitmaps and painting.
VEXO_WIN32_API HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR bitmapName);
VEXO_WIN32_API BOOL DeleteObject(HGDIOBJ object);
VEXO_WIN32_API HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
VEXO_WIN32_API BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
VEXO_WIN32_API HDC CreateCompatibleDC(HDC dc);
VEXO_WIN32_API BOOL DeleteDC(HDC dc);
VEXO_WIN32_API HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
VEXO_WIN32_API BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source,
                           int sourceX, int sourceY, DWORD rop);
}
