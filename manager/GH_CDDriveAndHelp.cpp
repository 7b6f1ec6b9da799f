#include "GH_CDDriveAndHelp.h"

#include "CP_Alert.h"
#include "CP_Callback.h"
#include "CP_URLHandler.h"
#include "CP_Volume.h"
#include "CP_Window.h"
#include "GH_FilmsFolder.h"
#include "GH_Globals.h"
#include "GH_MainWindow.h"
#include "GH_Resources.h"
#include "GH_Settings.h"

#include <shellapi.h>

namespace {

struct WebPage {
  int32_t command;
  const char* key;
  const char* path;  // after the host; null: the host name alone
};

const WebPage kWebPages[] = {
    {2002, "URLSupport", nullptr},
    {2003, "URLHome", "/"},
    {2500, "URLHome", "/sprite/KX3/home.html?sw"},
    {2501, "URLTrailers", "/sprite/KX3/films.html"},
    {2502, "URLSubscribe", "/sprite/KX3/newsletter.html"},
    {2503, "URLTechnical", "/sprite/KX3/support.html"},
    {2504, "URLRequest", "/sprite/KX3/tech_request.html"},
};

const WebPage* FindWebPage(int32_t command) {
  for (const WebPage& page : kWebPages)
    if (page.command == command) return &page;
  return nullptr;
}

void AddBackslash(std::string& path) {
  if (path.empty() || path.back() != '\\') path += '\\';
}

}  // namespace

void FindCDDrive(std::string& result) {
  CP_VolumeIterator end;
  CP_VolumeIterator drives(1);
  for (++drives; drives != end; ++drives) {
    const CP_Volume volume = *drives;
    if (!volume.IsNotCDROM()) {
      result += char('A' + volume.GetDriveNumber());
      result += ":\\";
      return;
    }
  }
}

INT_PTR CALLBACK CDDriveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CP_GuardCallback([&] {
        SetDialogIcon(dialog);
        char drive[256] = {};
        GetPrivateProfileStringA(kIniSection, "CDDrive", "", drive, sizeof drive,
                                 "Glintharbour.ini");
        // Built as a string: a long setting must not run past a fixed buffer.
        const std::string text = std::string("The current CD Drive Setting is:\r\n\"") + drive +
                                 "\".\r\n\r\nDo you want to change it?";
        SetDlgItemTextA(dialog, GH_ITEM_CDDRIVE_TEXT, text.c_str());
      });
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          EndDialog(dialog, 1);
          return 1;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return 1;
        default:
          return 0;
      }
    case WM_PAINT:
      ValidateDialogPaint(dialog);
      return 0;
    default:
      return 0;
  }
}

void EditCDDrive(std::string& driveRoot, bool hasDocument,
                 const std::function<void()>& registerInsertedCD) {
  CP_Window* main = FindMainWindow(mainWindowTitle);
  if (!main) {
    MessageBoxA(nullptr, "Cannot Find Main window. Please re-install.",
                "Glintharbour International", MB_OK);
    return;
  }
  std::string drive;
  ReadIniString(kIniSection, "CDDrive", "", drive, kIniFile);
  if (drive.empty()) FindCDDrive(drive);

  if (hasDocument) {
    // Only "Yes" goes on; "No" and a dialog that could not be made stop.
    if (DialogBoxParamA(ManagerInstance(), MAKEINTRESOURCEA(GH_DIALOG_CDDRIVE), main->GetHWND(),
                        CDDriveDialogProc, 0) != 1) {
      CP_RethrowPendingException();
      return;
    }
    // The chooser opens at the current directory.
    SetCurrentDirectoryA(drive.c_str());
    if (!ChooseFolderForMainWindow("Choose directory for CD Drive", drive)) return;
    AddBackslash(drive);
    WriteIniString(kIniSection, "CDDrive", drive.c_str(), kIniFile);
    driveRoot = drive;
    if (registerInsertedCD) registerInsertedCD();
    // Looked up again: registration may have shown and closed windows.
    CP_Window* owner = FindMainWindow(mainWindowTitle);
    const std::string text = "CD drive location successfully set to: " + driveRoot;
    MessageBoxA(owner ? owner->GetHWND() : nullptr, text.c_str(), "Glintharbour International",
                MB_OK);
  } else if (drive.empty()) {
    ShowAlert("No CD Drive configured; use text editor to edit GLINTHARBOUR.INI", 16);
  }
}

std::string HelpFilePath() {
  std::string path;
  ReadIniString(kIniSection, "Path", "", path, kIniFile);
  AddBackslash(path);
  return path + "help\\Glintharbour KX3 Help.hlp";
}

void OpenHelpContents() {
  ShellExecuteA(nullptr, "open", HelpFilePath().c_str(), nullptr, nullptr, 0);
}

bool IsWebPageCommand(int32_t command) { return FindWebPage(command) != nullptr; }

std::string WebPageAddress(int32_t command) {
  const WebPage* page = FindWebPage(command);
  if (!page) return std::string();
  const std::string fallback =
      page->path ? std::string("http://") + kMakerHost + page->path : std::string(kMakerHost);
  std::string address;
  ReadIniString(kIniHelpSection, page->key, fallback.c_str(), address, kIniFile);
  return address;
}

bool OpenWebPage(int32_t command) {
  if (!IsWebPageCommand(command)) return false;
  CP_URLHandler handler(WebPageAddress(command));
  handler.Open();
  return true;
}
