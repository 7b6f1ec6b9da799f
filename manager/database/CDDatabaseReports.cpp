// What the user is told when the CD database's tables cannot be read,
// written or compacted: the program goes on and leaves their files alone.
#include <algorithm>
#include <string>
#include <vector>

#include "CDDatabase.h"
#include "GH_LibraryNotices.h"

void CDDatabase::ReportUnreadableTables() const { gh_library::TellUnreadableTables(fFolder, fUnreadable); }

void CDDatabase::ReportUnchangeableLibrary() {
  // This box says why the item table's writes failed.
  fFailures.MarkTold("GH_ConfigDB");
  if (fToldUnchangeable) return;
  fToldUnchangeable = true;
  gh_library::TellUnchangeableLibrary(fFolder);
}

void CDDatabase::ReportFilmsNotRenamed(const std::vector<std::pair<std::string, std::string>>& films) const {
  gh_library::TellFilmsNotRenamed(fFolder, films);
}

void CDDatabase::ReportDamagedTables(const std::vector<std::string>& names) {
  // Marked told before the box: what runs under it must not tell again.
  std::vector<std::string> untold;
  for (const std::string& name : names) {
    if (std::find(fToldDamaged.begin(), fToldDamaged.end(), name) != fToldDamaged.end()) continue;
    fToldDamaged.push_back(name);
    untold.push_back(name);
  }
  gh_library::TellDamagedTables(fFolder, untold);
}

void CDDatabase::ReportDamagedTables() {
  const struct {
    C4Table* table;
    const char* name;
  } tables[] = {{fConfig, "GH_ConfigDB"}, {fDrive, "GH_DriveDB"}, {fAction, "GH_ActionDB"}, {fTrack, "GH_Track"}};
  std::vector<std::string> damaged;
  for (const auto& t : tables)
    if (t.table && C4Damaged(t.table)) damaged.push_back(t.name);
  ReportDamagedTables(damaged);
}

bool CDDatabase::ReportWriteFailures() { return fFailures.TellNoted(fFolder); }

void CDDatabase::NoteFailedWrite(const char* table) {
  fFailures.Note(table, gh_library::TableStep::Write, gh_library::TableFault::Unwritable);
}

bool CDDatabase::Failed(C4Table* table, gh_library::TableStep step, int32_t code) {
  return fFailures.NoteAnswer(TableName(table), step, code);
}

const char* CDDatabase::TableName(C4Table* table) const {
  if (table == fConfig) return "GH_ConfigDB";
  if (table == fDrive) return "GH_DriveDB";
  if (table == fAction) return "GH_ActionDB";
  if (table == fTrack) return "GH_Track";
  if (table == fFunction) return "GH_FunctionDB";
  return "GH_ParameterDB";
}

bool CDDatabase::PackAndCompact(C4Table* table, const char* name) {
  const int32_t rows = C4Count(table);
  // A pack that failed may have moved rows: the memo file is not touched.
  if (Failed(table, gh_library::TableStep::Pack, C4Pack(table))) return true;
  const int32_t code = C4CompactMemo(table);
  if (code != C4_DAMAGED && code != C4_TRUNCATED) return Failed(table, gh_library::TableStep::Compaction, code);
  // Marked told before the box: what runs under it must not tell again.
  if (std::find(fToldDamaged.begin(), fToldDamaged.end(), name) == fToldDamaged.end()) {
    fToldDamaged.push_back(name);
    gh_library::TellDamagedMemoAtCompaction(fFolder, name, C4Count(table) < rows);
  }
  return true;
}

void CDDatabase::PackAndClose(C4Table*& table, const char* name) {
  if (!table) return;
  PackAndCompact(table, name);
  Failed(table, gh_library::TableStep::Write, C4Close(table));
  table = nullptr;
}
