// What the user is told when the CD database's tables cannot be read,
// written or compacted: the program goes on and leaves their files alone.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CDDatabase.h"

namespace {

const char* const kCaption = "Glintharbour International";

// Why a table file cannot be written, as the system tells it.
std::string WriteProblem(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return "it is read-only";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> owned(file, CloseHandle);
    return "writing to it failed";
  }
  const DWORD error = GetLastError();
  if (error == ERROR_ACCESS_DENIED) return "access is denied";
  if (error == ERROR_WRITE_PROTECT) return "the disk is write-protected";
  char text[256] = {};
  if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                     nullptr) == 0)
    return "error " + std::to_string(error);
  std::string reason = text;
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == '.'))
    reason.pop_back();
  return reason;
}

// One box for every damaged table, so that it is said once.
std::string DamagedTablesText(const std::string& folder, const std::vector<std::string>& tables) {
  std::string text;
  for (const std::string& t : tables)
    text += "The library's table " + t + ".dbf in the folder \"" + folder + "\" is damaged: some of the texts it keeps in " +
            t + ".fpt cannot be read.\r\n";
  return text + (tables.size() == 1 ? "\r\nIts files are left as they are." : "\r\nTheir files are left as they are.");
}

}  // namespace

void CDDatabase::ReportUnreadableTables() const {
  if (fUnreadable.empty()) return;
  std::string names;
  for (const std::string& table : fUnreadable) names += "\r\n" + table + ".dbf";
  const std::string text = "These tables of the library in the folder \"" + fFolder +
                           "\" cannot be read; they are missing or damaged:\r\n" + names +
                           "\r\n\r\nThe program goes on without them and leaves their files as they are.";
  MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
}

void CDDatabase::ReportUnchangeableLibrary() {
  if (fToldUnchangeable) return;
  fToldUnchangeable = true;
  const std::string table = "GH_ConfigDB.dbf";
  const std::string text = "The library cannot be changed: its table " + table + " in the folder \"" + fFolder +
                           "\" cannot be written (" + WriteProblem(fFolder + "\\" + table) +
                           ").\r\n\r\nNew films found in the film folders are not recorded.";
  MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
}

void CDDatabase::ReportDamagedTables(const std::vector<std::string>& names) {
  // Marked told before the box: what runs under it must not tell again.
  std::vector<std::string> untold;
  for (const std::string& name : names) {
    if (std::find(fToldDamaged.begin(), fToldDamaged.end(), name) != fToldDamaged.end()) continue;
    fToldDamaged.push_back(name);
    untold.push_back(name);
  }
  if (untold.empty()) return;
  MessageBoxA(nullptr, DamagedTablesText(fFolder, untold).c_str(), kCaption, MB_OK | MB_ICONWARNING);
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
