// Moving rows of the three tables in and out of their in-memory records.
#include <cstdlib>
#include <cstring>

#include "CDDatabase.h"
#include "CP_FileSystem.h"
#include "TableFields.h"

using namespace cdfields;

namespace {

// Every text of an item read from the table is held to this length.
constexpr size_t kItemTextLimit = 499;

// Visits the rows from the first until the end; `visit` answers true to stop.
template <typename Visit>
void WalkRows(C4Table* table, Visit visit) {
  if (!table) return;
  C4First(table);
  while (!C4AtEnd(table)) {
    if (visit()) return;
    if (C4Skip(table, 1) != 0) return;
  }
}

// A text of a fixed array that a file may have filled to its last byte.
template <size_t N>
std::string ArrayText(const char (&text)[N]) {
  return std::string(text, strnlen(text, N - 1));
}

// The number after the first "[" of a CD row's text: its film count.
int32_t FilmCountOfText(const std::string& text) {
  const size_t bracket = text.find('[');
  if (bracket == std::string::npos) return 0;
  return int32_t(std::strtol(text.c_str() + bracket + 1, nullptr, 10));
}

// The file a film row shows, spelled so that two rows showing one file
// spell it alike: its drive's folder, its own folder and its name, folded
// as file names are (names on Windows match in any letter case) with single
// backslashes. A row whose alias root has no drive row keeps the alias root
// in the folder's place, so that it matches only rows of that alias root.
std::string FileOfRow(const PlaylistEntry& row, const std::vector<DriveRecord>& drives) {
  std::string path = "?" + row.AliasRoot;
  for (const DriveRecord& drive : drives)
    if (drive.LABEL == row.AliasRoot) {
      path = drive.PATH;
      break;
    }
  path += "\\" + row.FILEPATH + "\\" + row.FileName;
  std::string file;
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c == '\\' && !file.empty() && file.back() == '\\') continue;
    file += c;
  }
  return CP_FileSystem::FileNameKey(file);
}

}  // namespace

// ---- items -----------------------------------------------------------------

void CDDatabase::WriteItemFields(const PlaylistEntry& e) {
  C4Table* t = fConfig;
  if (!t) return;
  WriteNumber(t, "PARENT_ID", e.PARENT_ID);
  WriteNumber(t, "PARENTTYPE", e.PARENTTYPE);
  WriteNumber(t, "SORTORDER", e.SORTORDER);
  WriteNumber(t, "ITEMTYPE", e.ITEMTYPE);
  WriteText(t, "ITEMTEXT", e.ITEMTEXT);
  WriteNumber(t, "ICONRESID", e.ICONRESID);
  WriteNumber(t, "LOOP", e.LOOP);
  WriteNumber(t, "RATE", e.RATE);
  WriteNumber(t, "VOLUME", e.VOLUME);
  WriteNumber(t, "PLAY", e.PLAY);
  WriteNumber(t, "TKLOCAL", e.TKLOCAL);
  WriteNumber(t, "TKGLOBAL", e.TKGLOBAL);
  WriteNumber(t, "TKBKG", e.TKBKG);
  WriteText(t, "FileName", e.FileName);
  WriteText(t, "AliasRoot", e.AliasRoot);
  WriteText(t, "ORIGIN", e.ORIGIN);
  WriteMemo(t, "FILEPATH", e.FILEPATH);
  WriteMemo(t, "VOLUMENAME", e.VOLUMENAME);
}

void CDDatabase::ReadItem(PlaylistEntry& e) {
  C4Table* t = fConfig;
  if (!t) return;
  ReadNumber(t, "ITEM_ID", e.ITEM_ID);
  ReadNumber(t, "PARENT_ID", e.PARENT_ID);
  ReadNumber(t, "PARENTTYPE", e.PARENTTYPE);
  ReadNumber(t, "SORTORDER", e.SORTORDER);
  ReadNumber(t, "ITEMTYPE", e.ITEMTYPE);
  ReadText(t, "ITEMTEXT", e.ITEMTEXT, kItemTextLimit);
  ReadNumber(t, "ICONRESID", e.ICONRESID);
  ReadNumber(t, "LOOP", e.LOOP);
  ReadNumber(t, "RATE", e.RATE);
  ReadNumber(t, "VOLUME", e.VOLUME);
  ReadNumber(t, "PLAY", e.PLAY);
  ReadNumber(t, "TKLOCAL", e.TKLOCAL);
  ReadNumber(t, "TKGLOBAL", e.TKGLOBAL);
  ReadNumber(t, "TKBKG", e.TKBKG);
  ReadText(t, "FileName", e.FileName, kItemTextLimit);
  ReadText(t, "AliasRoot", e.AliasRoot, kItemTextLimit);
  ReadText(t, "ORIGIN", e.ORIGIN, kItemTextLimit);
  ReadMemo(t, "FILEPATH", e.FILEPATH, kItemTextLimit);
  ReadMemo(t, "VOLUMENAME", e.VOLUMENAME, kItemTextLimit);
}

bool CDDatabase::AppendItem(PlaylistEntry& entry, bool flush) {
  if (!fConfig) return true;
  // A change an earlier call left pending is written (or noted) first, so
  // that the append below finds the table as it is.
  Failed(fConfig, gh_library::TableStep::Write, C4Flush(fConfig));
  int32_t code = C4AppendStart(fConfig, 1);
  if (Failed(fConfig, gh_library::TableStep::Write, code) || code != 0) return true;
  WriteItemFields(entry);
  code = AppendNumbered(fConfig, "ITEM_ID", entry.ITEM_ID);
  const bool failed = Failed(fConfig, gh_library::TableStep::Write, code) || code != 0;
  const bool unflushed = flush && FlushItems();
  return failed || unflushed;
}

bool CDDatabase::UpdateItem(const PlaylistEntry& entry, bool flush) {
  if (!fConfig) return true;
  // The move writes a change an earlier call left pending.
  Failed(fConfig, gh_library::TableStep::Write, C4First(fConfig));
  if (C4Seek(fConfig, NumberKey(entry.ITEM_ID).c_str()) != 0) return true;
  WriteItemFields(entry);
  return flush && FlushItems();
}

bool CDDatabase::DeleteItem(const PlaylistEntry& entry, bool pack) {
  if (!fConfig) return true;
  Failed(fConfig, gh_library::TableStep::Write, C4First(fConfig));
  // Only a row that has the number is marked: after a failed seek no row
  // is current, and none other may go.
  if (C4Seek(fConfig, NumberKey(entry.ITEM_ID).c_str()) != 0) return true;
  if (C4MarkDeleted(fConfig) != 0) return true;
  if (!pack) return false;
  // Written before the pack, so that a mark that cannot be written is told
  // as what it is.
  if (FlushItems()) return true;
  const int32_t code = C4Pack(fConfig);
  return Failed(fConfig, gh_library::TableStep::Pack, code) || code != 0;
}

bool CDDatabase::FlushItems() { return fConfig && Failed(fConfig, gh_library::TableStep::Write, C4Flush(fConfig)); }

bool CDDatabase::FindItem(PlaylistEntry& entry) {
  if (!fConfig) return true;
  if (C4Seek(fConfig, NumberKey(entry.ITEM_ID).c_str()) != 0) return true;
  ReadItem(entry);
  return false;
}

int32_t CDDatabase::LastItemId() {
  if (!fConfig) return 0;
  SelectTag(fConfig, "ITEMID");
  if (C4Last(fConfig) != 0) return 0;
  int32_t id = 0;
  ReadNumber(fConfig, "ITEM_ID", id);
  return id;
}

int32_t CDDatabase::LoadItems(PlaylistEntries& items) {
  if (!fConfig) return 2;
  SelectTag(fConfig, "ITEMID");
  items.clear();
  WalkRows(fConfig, [&] {
    if (!C4IsDeleted(fConfig)) {
      PlaylistEntry entry;
      ReadItem(entry);
      items.push_back(std::move(entry));
    }
    return false;
  });
  return 0;
}

// Rows are compared by the file they show, not by their titles: a film
// recorded twice under two titles shows one file, and two films of one
// title may show two.
int32_t CDDatabase::CountItemCopies(const PlaylistEntry& entry) {
  std::vector<DriveRecord> drives;
  LoadDrives(drives);
  const std::string file = FileOfRow(entry, drives);
  int32_t count = 0;
  WalkRows(fConfig, [&] {
    PlaylistEntry row;
    ReadItem(row);
    if (row.ITEMTYPE == kItemFilm && FileOfRow(row, drives) == file) ++count;
    return false;
  });
  return count;
}

bool CDDatabase::FindCDByVolumeName(const std::string& volumeName, std::string& aliasRoot, int32_t& itemId,
                                    int32_t& filmCount) {
  bool found = false;
  WalkRows(fConfig, [&] {
    PlaylistEntry row;
    ReadItem(row);
    if (row.ITEMTYPE != kItemCD || row.VOLUMENAME != volumeName) return false;
    aliasRoot = row.AliasRoot;
    itemId = row.ITEM_ID;
    filmCount = FilmCountOfText(row.ITEMTEXT);
    found = true;
    return true;
  });
  return found;
}

bool CDDatabase::SeekAliasRoot(const std::string& aliasRoot, int32_t& itemId) {
  if (!fConfig) return false;
  SelectTag(fConfig, "ALIASROOT");
  const bool found = C4Seek(fConfig, aliasRoot.c_str()) == 0;
  if (found) ReadNumber(fConfig, "ITEM_ID", itemId);
  SelectTag(fConfig, "ITEMID");
  return found;
}

int32_t CDDatabase::ItemIdByAliasRoot(const std::string& aliasRoot) {
  int32_t id = 0;
  return SeekAliasRoot(aliasRoot, id) ? id : 1;
}

int32_t CDDatabase::CountFilms(int32_t parentId) {
  int32_t count = 0;
  WalkRows(fConfig, [&] {
    int32_t type = 0, parent = 0;
    ReadNumber(fConfig, "ITEMTYPE", type);
    ReadNumber(fConfig, "PARENT_ID", parent);
    if (type == kItemFilm && parent == parentId) ++count;
    return false;
  });
  return count;
}

bool IsItemTextListed(const std::string& itemText, const std::string& aliasRoot) {
  for (const PlaylistEntry& e : itemList)
    if (e.ITEMTEXT == itemText && e.AliasRoot == aliasRoot) return true;
  return false;
}

// ---- drives ----------------------------------------------------------------

void CDDatabase::WriteDriveRecord(const DriveRecord& d) {
  if (!fDrive) return;
  WriteNumber(fDrive, "DRIVEID", d.DRIVEID);
  WriteText(fDrive, "DRIVENAME", d.DRIVENAME);
  WriteText(fDrive, "LABEL", d.LABEL);
  WriteText(fDrive, "PATH", d.PATH);
}

void CDDatabase::ReadDriveRecord(DriveRecord& d) {
  if (!fDrive) return;
  ReadNumber(fDrive, "DRIVEID", d.DRIVEID);
  ReadText(fDrive, "DRIVENAME", d.DRIVENAME, std::string::npos);
  ReadText(fDrive, "LABEL", d.LABEL, std::string::npos);
  ReadText(fDrive, "PATH", d.PATH, std::string::npos);
}

bool CDDatabase::FindDriveRecord(DriveRecord& drive) {
  if (!fDrive) return true;
  C4First(fDrive);
  if (C4Seek(fDrive, drive.LABEL.c_str()) != 0) return true;
  ReadDriveRecord(drive);
  return false;
}

bool CDDatabase::UpdateDriveRecord(const DriveRecord& drive) {
  if (WriteDriveRow(drive, false) != DriveRowCheck::Writable) return true;
  // The setting follows the row only once the row holds the folder.
  if (drive.DRIVENAME == filmsFolderAlias)
    WritePrivateProfileStringA("Glintharbour", "MovieDirectory", drive.PATH.c_str(),
                               cdDatabaseSettingsFile.c_str());
  return false;
}

DriveRowCheck CDDatabase::CheckDriveRecordUpdate(const DriveRecord& drive) { return WriteDriveRow(drive, true); }

DriveRowCheck CDDatabase::WriteDriveRow(const DriveRecord& drive, bool trial) {
  DriveRecord own;
  own.LABEL = drive.LABEL;
  if (FindDriveRecord(own)) return DriveRowCheck::Missing;
  WriteDriveRecord(drive);
  const bool fits = RowHoldsDrive(drive);
  // The row's own values go back as changes, so that the flush still
  // tries the write: a table that cannot be written fails it.
  if (trial || !fits) WriteDriveRecord(own);
  if (C4Flush(fDrive) != 0) return DriveRowCheck::Unwritable;
  return fits ? DriveRowCheck::Writable : DriveRowCheck::TooLong;
}

bool CDDatabase::RowHoldsDrive(const DriveRecord& drive) {
  DriveRecord held = drive;  // a field the table lacks stays as given
  ReadDriveRecord(held);
  auto same = [](const std::string& a, const std::string& b) { return TrimTrailingBlanks(a) == TrimTrailingBlanks(b); };
  return held.DRIVEID == drive.DRIVEID && same(held.DRIVENAME, drive.DRIVENAME) && same(held.LABEL, drive.LABEL) &&
         same(held.PATH, drive.PATH);
}

int32_t CDDatabase::LoadDrives(std::vector<DriveRecord>& drives) {
  if (!fDrive) return 2;
  drives.clear();
  WalkRows(fDrive, [&] {
    if (!C4IsDeleted(fDrive)) {
      DriveRecord drive;
      ReadDriveRecord(drive);
      drives.push_back(std::move(drive));
    }
    return false;
  });
  return 0;
}

std::string CDDatabase::FilmsFolderPath() {
  std::string path;
  WalkRows(fDrive, [&] {
    DriveRecord drive;
    ReadDriveRecord(drive);
    if (drive.DRIVENAME != filmsFolderAlias) return false;
    path = drive.PATH;
    return true;
  });
  return path;
}

// ---- actions ---------------------------------------------------------------

void CDDatabase::WriteActionRecord(const ActionRecord& a) {
  if (!fAction) return;
  WriteNumber(fAction, "ACTIONID", a.actionID);
  WriteNumber(fAction, "ACTIONTYPE", a.actionType);
  // The arrays may come straight from a CD's data file, unterminated.
  WriteText(fAction, "ACTIONTEXT", ArrayText(a.actionText));
  WriteText(fAction, "ALIASROOT", ArrayText(a.aliasRoot));
  WriteText(fAction, "SPRITE", ArrayText(a.sprite));
}

void CDDatabase::ReadActionRecord(ActionRecord& a) {
  if (!fAction) return;
  ReadNumber(fAction, "ACTIONID", a.actionID);
  ReadNumber(fAction, "ACTIONTYPE", a.actionType);
  ReadText(fAction, "ACTIONTEXT", a.actionText, sizeof a.actionText);
  ReadText(fAction, "ALIASROOT", a.aliasRoot, sizeof a.aliasRoot);
  ReadText(fAction, "SPRITE", a.sprite, sizeof a.sprite);
}

bool CDDatabase::FindMatchingAction(const char* aliasRoot, const char* sprite, int32_t actionType,
                                    ActionRecord& found) {
  bool matched = false;
  WalkRows(fAction, [&] {
    ActionRecord row{};
    ReadActionRecord(row);
    if (std::strcmp(row.aliasRoot, aliasRoot) != 0 || std::strcmp(row.sprite, sprite) != 0 ||
        row.actionType != actionType)
      return false;
    found = row;
    matched = true;
    return true;
  });
  return matched;
}

bool CDDatabase::FindActionRecord(const char* aliasRoot, const char* sprite, int32_t actionType) {
  ActionRecord row{};
  return !FindMatchingAction(aliasRoot, sprite, actionType, row);
}

bool CDDatabase::AppendActionRecord(ActionRecord& action) { return StoreAction(action) == ActionStored::Failed; }

CDDatabase::ActionStored CDDatabase::StoreAction(ActionRecord& action) {
  if (!fAction) return ActionStored::Failed;
  const std::string aliasRoot = ArrayText(action.aliasRoot);
  const std::string sprite = ArrayText(action.sprite);
  ActionRecord existing{};
  if (FindMatchingAction(aliasRoot.c_str(), sprite.c_str(), action.actionType, existing)) {
    // The row that has these three values is the one to rewrite; the number
    // the action arrived with belongs to its source, not to this table.
    action.actionID = existing.actionID;
    // A film recorded again mostly brings the command the row holds already:
    // rewriting it would change no byte and cost a locked write.
    if (ArrayText(existing.actionText) == ArrayText(action.actionText)) return ActionStored::Rewritten;
    return UpdateActionRecord(action) ? ActionStored::Failed : ActionStored::Rewritten;
  }
  int32_t code = C4AppendStart(fAction, 1);
  if (Failed(fAction, gh_library::TableStep::Write, code) || code != 0) return ActionStored::Failed;
  WriteActionRecord(action);
  code = AppendNumbered(fAction, "ACTIONID", action.actionID);
  const bool failed = Failed(fAction, gh_library::TableStep::Write, code) || code != 0;
  const bool unflushed = Failed(fAction, gh_library::TableStep::Write, C4Flush(fAction));
  return failed || unflushed ? ActionStored::Failed : ActionStored::Appended;
}

bool CDDatabase::UpdateActionRecord(const ActionRecord& action) {
  if (!fAction) return true;
  Failed(fAction, gh_library::TableStep::Write, C4First(fAction));
  if (C4Seek(fAction, NumberKey(action.actionID).c_str()) != 0) return true;
  WriteActionRecord(action);
  return Failed(fAction, gh_library::TableStep::Write, C4Flush(fAction));
}
