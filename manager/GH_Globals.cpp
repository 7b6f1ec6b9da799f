#include "GH_Globals.h"

#include "CP_Framework.h"
#include "GH_Resources.h"

std::string mainWindowTitle = "Glintharbour Player";
const std::string filmsFolderAlias = "Glintharbour Films";
std::string cdDriveRoot;

HINSTANCE ManagerInstance() { return gCP_Instance ? gCP_Instance : GetModuleHandleA(nullptr); }

void SetDialogIcon(HWND dialog) {
  // Icons from LoadIconA are shared and never destroyed.
  HICON icon = LoadIconA(ManagerInstance(), MAKEINTRESOURCEA(GH_ICON_DIALOG));
  SendMessageA(dialog, WM_SETICON, ICON_BIG, LPARAM(icon));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, LPARAM(icon));
}

void ValidateDialogPaint(HWND dialog) {
  PAINTSTRUCT paint;
  BeginPaint(dialog, &paint);
  EndPaint(dialog, &paint);
}
