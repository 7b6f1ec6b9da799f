// What the user is told when the CD database's tables cannot be read,
// written or compacted: the program goes on and leaves their files alone.
#include <algorithm>
#include <string>
#include <vector>

#include "CDDatabase.h"
#include "GH_LibraryNotices.h"

void CDDatabase::ReportUnreadableTables() const { gh_library::TellUnreadableTables(fFolder, fUnreadable); }

void CDDatabase::ReportUnchangeableLibrary() {
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

void CDDatabase::PackAndCompact(C4Table* table, const char* name) {
  C4Pack(table);
  const int32_t code = C4CompactMemo(table);
  if (code == C4_DAMAGED || code == C4_TRUNCATED) ReportDamagedTables({name});
}

void CDDatabase::PackAndClose(C4Table*& table, const char* name) {
  if (!table) return;
  PackAndCompact(table, name);
  C4Close(table);
  table = nullptr;
}
