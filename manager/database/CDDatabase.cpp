#include "CDDatabase.h"

#include <cstring>

#include "CP_FileSpec.h"
#include "CP_FileSystem.h"
#include "GH_Settings.h"
#include "TableFields.h"

using namespace cdfields;

std::string cdDatabaseSettingsFile = "Glintharbour.ini";
CDDatabase* cdDatabase = nullptr;
PlaylistEntries itemList;

namespace {

const char kSection[] = "Glintharbour";
const char kConfigTool[] = "Config Tool";
const char kRoradezuVuru[] = "Roradezu Vuru";

std::string DatabaseSetting(const char* key, const char* fallback) {
  std::string value;
  ReadIniString(kSection, key, fallback, value, cdDatabaseSettingsFile.c_str());
  return value;
}

}  // namespace

CDDatabase::CDDatabase(const std::string& applicationName) : fApplicationName(applicationName) {
  std::memset(&fEngine, 0, sizeof fEngine);
  fInitResult = C4Init(&fEngine, nullptr, C4_VERSION, 0, 0);
  fEngine.autoOpen = 1;
  fEngine.errorReport = 0;
  C4InitDone(&fEngine);
  const bool roradezu = fApplicationName == kRoradezuVuru;
  if (roradezu) cdDatabaseSettingsFile = "RoradezuVuru.INI";
  const std::string folder = DatabaseSetting("DBPath", "C:");
  fFolder = folder;

  if (fInitResult == 0) {
    auto open = [&](C4Table*& table, const char* name, const char* tag) {
      table = C4Open(&fEngine, (folder + "\\" + name).c_str());
      if (table)
        SelectTag(table, tag);
      else
        fUnreadable.push_back(name);
    };
    open(fConfig, "GH_ConfigDB", "ITEMID");
    open(fDrive, "GH_DriveDB", "ALIASROOT");
    open(fAction, "GH_ActionDB", "ACTIONIDX");
    open(fTrack, "GH_Track", "TRIDX");
    if (roradezu) {
      open(fFunction, "GH_FunctionDB", "FIDX");
      open(fParameter, "GH_ParameterDB", "PIDX");
    }
  }
  FillFilmsFolderDrivePath();
}

CDDatabase::~CDDatabase() {
  if (fTrack) {
    C4Close(fTrack);
    fTrack = nullptr;
  }
  if (fApplicationName == kConfigTool) {
    PackAndClose(fConfig, "GH_ConfigDB");
    PackAndClose(fDrive, "GH_DriveDB");
    PackAndClose(fAction, "GH_ActionDB");
  }
  if (fApplicationName == kRoradezuVuru) {
    PackAndClose(fFunction, "GH_FunctionDB");
    PackAndClose(fParameter, "GH_ParameterDB");
  }
  // The release closes, without a pack, whatever is still open.
  C4Release(&fEngine);
  ReportWriteFailures();
}

void CDDatabase::SelectTag(C4Table* table, const char* tag) {
  if (table) C4SelectTag(table, C4FindTag(table, tag));
}

void CDDatabase::FillFilmsFolderDrivePath() {
  const std::string folder = DatabaseSetting("MovieDirectory", "Empty");
  if (!CP_FileSystem::DirectoryExists(CP_FileSpec(folder, true))) return;
  DriveRecord drive;
  drive.LABEL = filmsFolderAlias;
  if (FindDriveRecord(drive)) return;
  if (drive.PATH.size() <= 1) {
    drive.PATH = folder;
    // The row was just found: only its write can fail. Told at the end of
    // the start; the row keeps its empty path.
    if (UpdateDriveRecord(drive)) NoteFailedWrite("GH_DriveDB");
  }
}
