#include "CP_TreeList_Application.h"

#include "CDDatabase.h"
#include "CP_MenuBar.h"
#include "CP_Window.h"
#include "CP_SDIApp_Document.h"
#include "FilmInstallation.h"
#include "GH_Diagnostics.h"
#include "GH_MainWindow.h"
#include "GH_AboutBox.h"
#include "GH_CDDriveAndHelp.h"
#include "GH_LibraryGlobals.h"
#include "GH_Settings.h"
#include "store/LinkPersistentClasses.h"

namespace {

struct ScreenSize {
  int32_t height;
  const char* text;
};

constexpr ScreenSize kScreenSizes[] = {
    {480, "640 x 480"},   {600, "800 x 600"},   {768, "1024 x 768"},
    {864, "1152 x 864"},  {1024, "1280 x 1024"}, {1200, "1600 x 1200"},
};

}  // namespace

CP_TreeList_Application::CP_TreeList_Application() {
  LinkPersistentClasses();
  SettleCDDrive();
  cdDatabase = new CDDatabase("Config Tool");
  cdDatabase->ReportUnreadableTables();
  SetUpOnFirstStart();
  ReloadItemList();
  cdDatabase->ReportDamagedTables();
  std::vector<std::string> recorded;
  InstallNewFilmsCollect(*cdDatabase, recorded);
  const bool removed = cdDatabase->RemoveMissingInstalledFilms();
  std::string alias;
  int32_t cdItemId = 0;
  int32_t filmCount = 0;
  const int32_t registered = cdDatabase->RegisterCD(alias, cdItemId, filmCount);
  // Reading every row again is the larger part of a start with many films:
  // only a start that changed rows does it.
  if (!recorded.empty() || removed || (registered != 2 && registered != 4)) ReloadItemList();
  cdDatabase->ReportWriteFailures();
}

CP_TreeList_Application::~CP_TreeList_Application() {
  // Closing may tell of a damaged table: what runs under that box must not
  // reach the database being closed.
  CDDatabase* closing = cdDatabase;
  cdDatabase = nullptr;
  delete closing;  // closes the tables
}

// The drive's root ends in a backslash in memory only; the file keeps what
// was written there.
void CP_TreeList_Application::SettleCDDrive() {
  cdDriveRoot.clear();
  ReadIniString(kIniSection, "CDDrive", "", cdDriveRoot, kIniFile);
  if (cdDriveRoot.empty()) {
    FindCDDrive(cdDriveRoot);
    WriteIniString(kIniSection, "CDDrive", cdDriveRoot.c_str(), kIniFile);
  }
  if (!cdDriveRoot.empty() && cdDriveRoot.back() != '\\') cdDriveRoot += '\\';
}

// The first start is the one whose only drive row, the films folder's, has
// no path yet.
void CP_TreeList_Application::SetUpOnFirstStart() {
  // Records nothing when no films folder can be had: an empty path would
  // wipe the stored films folder setting.
  if (RecordFilmsFolderDrive(*cdDatabase)) ChooseInitialScreenSize();
}

void CP_TreeList_Application::ReloadItemList() {
  if (cdDatabase) cdDatabase->LoadItems(itemList);
}

std::string CP_TreeList_Application::ScreenSizeForHeight(int32_t height) {
  std::string chosen;
  for (const ScreenSize& size : kScreenSizes)
    if (size.height <= height) chosen = size.text;
  return chosen;
}

void CP_TreeList_Application::ChooseInitialScreenSize() {
  WriteIniString(kIniSection, "AutoResize", "0", kIniFile);
  WriteIniString(kIniSection, "ScreenSize", ScreenSizeForHeight(GetSystemMetrics(SM_CYSCREEN)).c_str(), kIniFile);
}

CP_Document* CP_TreeList_Application::MakeNewDocument() {
  document = nullptr;
  document = new CP_SDIApp_Document(this);
  return document;
}

int32_t CP_TreeList_Application::ExecuteCommand(int32_t command) {
  switch (command) {
    case kCmdAddCD:
    case kCmdPlaySelected:
      if (document) document->ExecuteCommand(command);
      return 1;
    case kCmdEditCD:
      EditCDDrive(cdDriveRoot, document != nullptr, [this] {
        if (document) document->RegisterInsertedCD();
      });
      return 1;
    case kCmd_About:
      if (CP_Window* window = FindMainWindow(mainWindowTitle)) GH_AboutBox().Run(window->GetHWND());
      return 1;
    case kCmdHelpContents:
      OpenHelpContents();
      return 1;
    default:
      if (OpenWebPage(command)) return 1;
      return CP_DocApplication::ExecuteCommand(command);
  }
}

void CP_TreeList_Application::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  if (!bar) return;
  for (int32_t enabled : {2000, 2001, 2002, 2003, 2005, 2500, 2501, 2502, 2503, 2504}) bar->EnableCommand(enabled);
  CP_DocApplication::GetCommandStatus(command, menu);
}
