#include "GH_AboutBox.h"

#include "GH_Globals.h"
#include "GH_Resources.h"

INT_PTR GH_AboutBox::Run(HWND owner) {
  return DialogBoxParamA(ManagerInstance(), MAKEINTRESOURCEA(GH_DIALOG_ABOUT), owner, AboutBoxProc,
                         0);
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDialogIcon(dialog);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDOK) return 0;
      EndDialog(dialog, 1);
      return 1;
    // The OK button lies below the visible area: a click anywhere on the
    // picture or a key closes the box instead.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
      EndDialog(dialog, 1);
      return 1;
    case WM_PAINT:
      ValidateDialogPaint(dialog);
      return 0;
    default:
      return 0;
  }
}
