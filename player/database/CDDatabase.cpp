#include "database/CDDatabase.h"

#include <cstring>

#include "CP_FileSpec.h"
#include "CP_FileSystem.h"
#include "GH_IniFile.h"
#include "database/TableFields.h"
#include "document/GH_Globals.h"

using namespace tablefields;

namespace {

const char* const kSection = "Glintharbour";
const char* const kRoradezuVuru = "Roradezu Vuru";

}  // namespace

char* TrimTrailingBlanks(char* text) {
  std::size_t length = std::strlen(text);
  while (length > 0 && text[length - 1] == ' ') text[--length] = '\0';
  return text;
}

std::string& TrimTrailingBlanks(std::string& text) {
  const std::size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

CDDatabase::CDDatabase(const std::string& applicationName) : fApplicationName(applicationName) {
  fInitResult = C4Init(&fEngine, nullptr, C4_VERSION, 0, 0);
  fEngine.autoOpen = 1;
  fEngine.errorReport = 0;
  C4InitDone(&fEngine);

  fSettingsFile = fApplicationName == kRoradezuVuru ? "RoradezuVuru.INI" : "Glintharbour.ini";
  std::string dbPath;
  ReadIniString(kSection, "DBPath", "C:", dbPath, fSettingsFile);
  fFolder = dbPath;

  if (fInitResult == 0) {
    const bool roradezu = fApplicationName == kRoradezuVuru;
    struct Slot {
      const char* table;
      const char* tag;
      C4Table** handle;
      bool wanted;
    };
    // In this order; a table that does not open does not stop the others.
    const Slot slots[] = {
        {"GH_ConfigDB", "ITEMID", &fConfigTable, true},
        {"GH_DriveDB", "ALIASROOT", &fDriveTable, true},
        {"GH_ActionDB", "ACTIONIDX", &fActionTable, true},
        {"GH_Track", "TRIDX", &fTrackTable, true},
        {"GH_FunctionDB", "FIDX", &fFunctionTable, roradezu},
        {"GH_ParameterDB", "PIDX", &fParameterTable, roradezu},
    };
    for (const Slot& slot : slots) {
      if (!slot.wanted) continue;
      const std::string path = dbPath + "\\" + slot.table;
      *slot.handle = C4Open(&fEngine, path.c_str());
      if (*slot.handle)
        C4SelectTag(*slot.handle, C4FindTag(*slot.handle, slot.tag));
      else
        fUnreadable.push_back(slot.table);
    }
  }
  AdoptMovieDirectory();
}

// The films folder chosen in the settings becomes the films-folder drive
// row's PATH while that row has none yet.
void CDDatabase::AdoptMovieDirectory() {
  std::string movieDirectory;
  ReadIniString(kSection, "MovieDirectory", "Empty", movieDirectory, fSettingsFile);
  if (!CP_FileSystem::DirectoryExists(CP_FileSpec(movieDirectory, true))) return;
  DriveRecord record;
  record.label = FilmsFolderName;
  if (FindDriveRecord(record) != 0 || record.path.size() > 1) return;
  record.path = movieDirectory;
  // A row that cannot be written is noted, for the start to tell.
  (void)SelectMovieDirectoryDrive(record);
}

CDDatabase::~CDDatabase() {
  // Every change to the usage rows was flushed as it was made.
  if (fTrackTable) C4Close(fTrackTable);
  if (fApplicationName == "Config Tool") {
    PackAndClose(fConfigTable);
    PackAndClose(fDriveTable);
    PackAndClose(fActionTable);
  }
  if (fApplicationName == kRoradezuVuru) {
    PackAndClose(fFunctionTable);
    PackAndClose(fParameterTable);
  }
  C4Release(&fEngine);
  ReportWriteFailures();
}

void CDDatabase::PackAndClose(C4Table*& table) {
  if (!table) return;
  // A pack that failed may have moved rows: the memo file is not touched.
  if (!Failed(table, gh_library::TableStep::Pack, C4Pack(table)))
    Failed(table, gh_library::TableStep::Compaction, C4CompactMemo(table));
  Failed(table, gh_library::TableStep::Write, C4Close(table));
  table = nullptr;
}

bool CDDatabase::FlushItems() {
  return fConfigTable && Failed(fConfigTable, gh_library::TableStep::Write, C4Flush(fConfigTable));
}

void CDDatabase::WriteItemFields(const PlaylistEntry& e) {
  C4Table* t = fConfigTable;
  if (!t) return;
  SetNumber(t, "PARENT_ID", e.parentId);
  SetNumber(t, "PARENTTYPE", e.parentType);
  SetNumber(t, "SORTORDER", e.sortOrder);
  SetNumber(t, "ITEMTYPE", e.itemType);
  SetText(t, "ITEMTEXT", e.itemText);
  SetNumber(t, "ICONRESID", e.iconResId);
  SetNumber(t, "LOOP", e.loop);
  SetNumber(t, "RATE", e.rate);
  SetNumber(t, "VOLUME", e.volume);
  SetNumber(t, "PLAY", e.play);
  SetNumber(t, "TKLOCAL", e.tkLocal);
  SetNumber(t, "TKGLOBAL", e.tkGlobal);
  SetNumber(t, "TKBKG", e.tkBkg);
  SetText(t, "FileName", e.fileName);
  SetText(t, "AliasRoot", e.aliasRoot);
  SetText(t, "ORIGIN", e.origin);
  SetMemo(t, "FILEPATH", e.filePath);
  SetMemo(t, "VOLUMENAME", e.volumeName);
}

bool CDDatabase::AppendItem(PlaylistEntry& entry, bool flush) {
  C4Table* t = fConfigTable;
  if (!t) return true;
  const int32_t started = C4AppendStart(t, 1);
  if (Failed(t, gh_library::TableStep::Write, started) || started != 0) return true;
  WriteItemFields(entry);
  const int32_t appended = AppendNumbered(t, "ITEM_ID", entry.itemId);
  const bool failed = Failed(t, gh_library::TableStep::Write, appended) || appended != 0;
  const bool unflushed = flush && FlushItems();
  return failed || unflushed;
}

void CDDatabase::ReadItem(PlaylistEntry& e) {
  C4Table* t = fConfigTable;
  if (!t) return;
  GetNumber(t, "ITEM_ID", e.itemId);
  GetNumber(t, "PARENT_ID", e.parentId);
  GetNumber(t, "PARENTTYPE", e.parentType);
  GetNumber(t, "SORTORDER", e.sortOrder);
  GetNumber(t, "ITEMTYPE", e.itemType);
  GetMemo(t, "ITEMTEXT", e.itemText);
  GetNumber(t, "ICONRESID", e.iconResId);
  GetNumber(t, "LOOP", e.loop);
  GetNumber(t, "RATE", e.rate);
  GetNumber(t, "VOLUME", e.volume);
  GetNumber(t, "PLAY", e.play);
  GetNumber(t, "TKLOCAL", e.tkLocal);
  GetNumber(t, "TKGLOBAL", e.tkGlobal);
  GetNumber(t, "TKBKG", e.tkBkg);
  GetText(t, "FileName", e.fileName);
  GetText(t, "AliasRoot", e.aliasRoot);
  GetText(t, "ORIGIN", e.origin);
  GetMemo(t, "FILEPATH", e.filePath);
  GetMemo(t, "VOLUMENAME", e.volumeName);
}

bool CDDatabase::LookupItem(PlaylistEntry& entry) {
  C4Table* t = fConfigTable;
  if (!t) return true;
  C4First(t);
  if (C4Seek(t, NumberKey(entry.itemId).c_str()) != 0) return true;
  ReadItem(entry);
  return false;
}

int32_t CDDatabase::LastItemID() {
  C4Table* t = fConfigTable;
  if (!t) return 0;
  C4SelectTag(t, C4FindTag(t, "ITEMID"));
  const int32_t code = C4Last(t);
  // No row: the next row is numbered 1.
  if (code == C4_EOF) return 0;
  if (code != 0) return code;
  int32_t last = 0;
  GetNumber(t, "ITEM_ID", last);
  return last;
}

int32_t CDDatabase::ReadAllItems(std::vector<PlaylistEntry>& list) {
  C4Table* t = fConfigTable;
  if (!t) return 2;
  C4SelectTag(t, C4FindTag(t, "ITEMID"));
  list.clear();
  C4First(t);
  while (!C4AtEnd(t)) {
    if (!C4IsDeleted(t)) {
      PlaylistEntry entry;
      ReadItem(entry);
      list.push_back(entry);
    }
    // A skip that fails leaves the row where it was: the walk must end.
    if (C4Skip(t, 1) != 0) break;
  }
  return 0;
}
