// What the user is told when the CD database's tables cannot be read or
// written: the program goes on without them and leaves their files alone.
#include <string>
#include <vector>

#include "GH_LibraryNotices.h"
#include "database/CDDatabase.h"

void CDDatabase::ReportUnreadableTables() const { gh_library::TellUnreadableTables(fFolder, fUnreadable); }

// One box for every damaged table, so that the start says it once.
void CDDatabase::ReportDamagedTables() const {
  const struct {
    C4Table* table;
    const char* name;
  } tables[] = {{fConfigTable, "GH_ConfigDB"}, {fDriveTable, "GH_DriveDB"}, {fActionTable, "GH_ActionDB"},
                {fTrackTable, "GH_Track"}};
  std::vector<std::string> damaged;
  for (const auto& t : tables)
    if (t.table && C4Damaged(t.table)) damaged.push_back(t.name);
  gh_library::TellDamagedTables(fFolder, damaged);
}

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

bool CDDatabase::ReportWriteFailures() { return fFailures.TellNoted(fFolder); }

bool CDDatabase::Failed(C4Table* table, gh_library::TableStep step, int32_t code) {
  return fFailures.NoteAnswer(TableName(table), step, code);
}

const char* CDDatabase::TableName(C4Table* table) const {
  if (table == fConfigTable) return "GH_ConfigDB";
  if (table == fDriveTable) return "GH_DriveDB";
  if (table == fActionTable) return "GH_ActionDB";
  if (table == fTrackTable) return "GH_Track";
  if (table == fFunctionTable) return "GH_FunctionDB";
  return "GH_ParameterDB";
}
