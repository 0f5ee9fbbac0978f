// The About box: a modal dialog that only its OK button (or Enter) closes.
#include "panel/panel.h"
#include "plugin/module_instance.h"
#include "resources/resource.h"

int ShowAbout() {
  DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutProc, 0);
  return 1;
}

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_DESTROY:
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return TRUE;
    }
    case WM_COMMAND:
      // Esc and the caption's close button send IDCANCEL, which is ignored.
      if (LOWORD(wParam) == IDOK) EndDialog(window, 0);
      return FALSE;
    default:
      return FALSE;
  }
}
