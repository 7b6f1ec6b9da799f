#pragma once
// The CD drive setting, the help file and the maker's web pages of the
// library manager's menus.
#include "CP_Win.h"

#include <cstdint>
#include <functional>
#include <string>

// The maker's web site as the defaults and the Web menu name it.
constexpr const char* kMakerHost = "www.glintharbour.example";
constexpr const char* kMakerDomain = "glintharbour.example";

// Appends the root ("E:\") of the first CD-ROM drive; nothing when there is
// none.
void FindCDDrive(std::string& result);

// Lets the user point `driveRoot` (the configured CD drive) at another
// folder: asks first, then offers the folder chooser, records the choice in
// the settings and has the CD found there registered. Without a document
// only a missing setting is reported.
void EditCDDrive(std::string& driveRoot, bool hasDocument,
                 const std::function<void()>& registerInsertedCD);

INT_PTR CALLBACK CDDriveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The help file in the installation folder.
std::string HelpFilePath();
// Opens the help file with whatever the shell has for it; failures are
// Windows' own to show.
void OpenHelpContents();

// True for the commands that open a web page: 2002, 2003, 2500 to 2504.
bool IsWebPageCommand(int32_t command);
// The address a web-page command opens: its key in section "Help", or its
// default when the key is missing or empty. Empty for other commands.
std::string WebPageAddress(int32_t command);
// Opens the command's page in the browser; false for other commands.
bool OpenWebPage(int32_t command);
