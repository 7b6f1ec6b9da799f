#pragma once
// The library manager's process-wide values that most of its code shares.
#include "CP_Win.h"

#include <string>

// Title of the main window; other programs look for it too. Tests give it
// a title of their own process so that test programs running side by side
// do not find each other's main windows.
extern std::string mainWindowTitle;
// Label of the films folder's drive record and alias root of its items.
extern const std::string filmsFolderAlias;
// The configured CD drive root ("D:\"), empty when there is none.
extern std::string cdDriveRoot;

// The module that holds the program's dialogs, bitmaps and icons.
HINSTANCE ManagerInstance();
// Gives a dialog the program's dialog icon, large and small; every dialog
// does so when it starts.
void SetDialogIcon(HWND dialog);
// The paint message of a dialog that draws nothing itself: only validates.
void ValidateDialogPaint(HWND dialog);
