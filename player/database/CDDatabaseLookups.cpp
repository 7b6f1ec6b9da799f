// Drive rows and the look-ups of the CD database.
#include <cstdio>
#include <cstring>

#include "CP_Win.h"
#include "database/CDDatabase.h"
#include "database/TableFields.h"
#include "document/GH_Globals.h"

using namespace tablefields;

void CDDatabase::WriteDriveRecord(const DriveRecord& r) {
  C4Table* t = fDriveTable;
  if (!t) return;
  SetNumber(t, "DRIVEID", r.driveId);
  SetText(t, "DRIVENAME", r.driveName);
  SetText(t, "LABEL", r.label);
  SetText(t, "PATH", r.path);
}

void CDDatabase::ReadDriveRecord(DriveRecord& r) {
  C4Table* t = fDriveTable;
  if (!t) return;
  GetNumber(t, "DRIVEID", r.driveId);
  GetText(t, "DRIVENAME", r.driveName);
  GetText(t, "LABEL", r.label);
  GetText(t, "PATH", r.path);
}

int32_t CDDatabase::FindDriveRecord(DriveRecord& record) {
  C4Table* t = fDriveTable;
  if (!t) return 1;
  C4First(t);
  if (C4Seek(t, record.label.c_str()) != 0) return 1;
  ReadDriveRecord(record);
  return 0;
}

int32_t CDDatabase::SelectMovieDirectoryDrive(const DriveRecord& record) {
  C4Table* t = fDriveTable;
  if (!t) return 1;
  C4First(t);
  if (C4Seek(t, record.label.c_str()) != 0) return 1;
  WriteDriveRecord(record);
  // The setting follows the row: a row that was not written leaves the
  // setting naming the folder the row still names.
  if (Failed(t, gh_library::TableStep::Write, C4Flush(t))) return 1;
  if (record.driveName == FilmsFolderName) {
    WritePrivateProfileStringA("Glintharbour", "MovieDirectory", record.path.c_str(), "Glintharbour.ini");
  }
  return 0;
}

bool CDDatabase::FindCDItemByVolume(const std::string& label, std::string& aliasRoot, int32_t& itemId,
                                    int32_t& filmCount) {
  C4Table* t = fConfigTable;
  if (!t) return false;
  C4First(t);
  PlaylistEntry row;
  bool found = false;
  while (!C4AtEnd(t)) {
    ReadItem(row);
    if (row.itemType == 1 && row.volumeName == label) {
      found = true;
      break;
    }
    if (C4Skip(t, 1) != 0) break;
  }
  if (!found) return false;
  itemId = row.itemId;
  aliasRoot = row.aliasRoot;
  const std::size_t bracket = row.itemText.find('[');
  if (bracket != std::string::npos) {
    int count = 0;
    if (std::sscanf(row.itemText.c_str() + bracket + 1, "%d", &count) == 1) filmCount = count;
  }
  return true;
}

int32_t CDDatabase::FindItemByAlias(const std::string& aliasRoot) {
  C4Table* t = fConfigTable;
  if (!t) return 1;
  C4SelectTag(t, C4FindTag(t, "ALIASROOT"));
  PlaylistEntry row;
  const bool found = C4Seek(t, aliasRoot.c_str()) == 0;
  if (found) ReadItem(row);
  C4SelectTag(t, C4FindTag(t, "ITEMID"));
  return found ? row.itemId : 1;
}

std::string CDDatabase::AliasForVolume(const std::string& label) {
  C4Table* t = fConfigTable;
  if (!t) return std::string();
  C4SelectTag(t, C4FindTag(t, "ITEMID"));
  C4First(t);
  while (!C4AtEnd(t)) {
    if (!C4IsDeleted(t)) {
      std::string alias, volume;
      int32_t type = 0;
      GetMemo(t, "AliasRoot", alias);
      GetMemo(t, "VOLUMENAME", volume);
      GetNumber(t, "ITEMTYPE", type);
      if (volume == label && type == 1) return alias;
    }
    if (C4Skip(t, 1) != 0) break;
  }
  return std::string();
}

int32_t CDDatabase::ActionExists(const std::string& aliasRoot, const std::string& sprite, int32_t kind) {
  int32_t actionId = 0;
  return FindActionRowId(aliasRoot, sprite, kind, actionId) ? 0 : 1;
}

bool CDDatabase::FindActionRowId(const std::string& aliasRoot, const std::string& sprite, int32_t kind,
                                 int32_t& actionId) {
  C4Table* t = fActionTable;
  if (!t) return false;
  if (C4First(t) != 0) return false;
  for (;;) {
    ActionRecord row{};
    ReadActionRecord(row);
    if (BufferText(row.aliasRoot) == aliasRoot && BufferText(row.sprite) == sprite && row.actionType == kind) {
      actionId = row.actionID;
      return true;
    }
    if (C4Skip(t, 1) != 0) return false;
  }
}

int32_t CDDatabase::ReadAllDrives(std::vector<DriveRecord>& drives) {
  C4Table* t = fDriveTable;
  if (!t) return 2;
  drives.clear();
  C4First(t);
  while (!C4AtEnd(t)) {
    if (!C4IsDeleted(t)) {
      DriveRecord record;
      ReadDriveRecord(record);
      drives.push_back(record);
    }
    if (C4Skip(t, 1) != 0) break;
  }
  return 0;
}
