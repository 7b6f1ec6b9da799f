#include "GH_LibraryNotices.h"

#include "C4Dll.h"
#include "CP_Win.h"

#include <algorithm>
#include <memory>

namespace {

const char* const kCaption = "Glintharbour International";

void Tell(const std::string& text) { MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONWARNING); }

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

}  // namespace

namespace gh_library {

void TellUnreadableTables(const std::string& folder, const std::vector<std::string>& tables) {
  if (tables.empty()) return;
  std::string names;
  for (const std::string& table : tables) names += "\r\n" + table + ".dbf";
  Tell("These tables of the library in the folder \"" + folder + "\" cannot be read; they are missing or damaged:\r\n" +
       names + "\r\n\r\nThe program goes on without them and leaves their files as they are.");
}

void TellDamagedTables(const std::string& folder, const std::vector<std::string>& tables) {
  if (tables.empty()) return;
  std::string text;
  for (const std::string& t : tables)
    text += "The library's table " + t + ".dbf in the folder \"" + folder +
            "\" is damaged: some of the texts it keeps in " + t + ".fpt cannot be read.\r\n";
  Tell(text + (tables.size() == 1 ? "\r\nIts files are left as they are." : "\r\nTheir files are left as they are."));
}

void TellUnchangeableLibrary(const std::string& folder) {
  const std::string table = "GH_ConfigDB.dbf";
  Tell("The library cannot be changed: its table " + table + " in the folder \"" + folder + "\" cannot be written (" +
       WriteProblem(folder + "\\" + table) + ").\r\n\r\nNew films found in the film folders are not recorded.");
}

std::string UnwritableTableText(const std::string& folder, const std::string& table) {
  return "The library's table " + table + ".dbf in the folder \"" + folder + "\" cannot be written (" +
         WriteProblem(folder + "\\" + table + ".dbf") + ").";
}

void TellFilmsNotRenamed(const std::string& folder,
                         const std::vector<std::pair<std::string, std::string>>& films) {
  if (films.empty()) return;
  const std::string table = "GH_ConfigDB.dbf";
  std::string text = "The library cannot be changed: its table " + table + " in the folder \"" + folder +
                     "\" cannot be written (" + WriteProblem(folder + "\\" + table) +
                     ").\r\n\r\nThese movies were renamed outside the program; the library keeps their old file "
                     "names:\r\n";
  for (const auto& film : films) text += "\r\n\"" + film.first + "\" is now \"" + film.second + "\"";
  Tell(text);
}

void TellRegistrationFailed(const std::string& volume, const std::string& folder, const std::string& table,
                            bool removed) {
  const std::string file = table + ".dbf";
  Tell("The CD \"" + volume + "\" could not be registered: the library's table " + file + " in the folder \"" +
       folder + "\" cannot be written (" + WriteProblem(folder + "\\" + file) + ").\r\n\r\n" +
       (removed ? "Nothing of it was recorded; it will be registered again when it is next inserted."
                : "Part of it could not be taken out of the library again: delete the CD in the library and "
                  "insert it again to register it whole."));
}

void TellUnreadableCDDescription(const std::string& volume) {
  Tell("The CD \"" + volume + "\" could not be registered: its description GHICD.esk cannot be read or is "
       "damaged.");
}

void TellCutCDDescription(const std::string& volume, int kept) {
  Tell("The description of the CD \"" + volume + "\" lists more than " + std::to_string(kept) +
       " items. Only the first " + std::to_string(kept) + " were registered.");
}

}  // namespace gh_library

namespace {

std::string TablePlace(const std::string& folder, const std::string& table) {
  return "The library's table " + table + ".dbf in the folder \"" + folder + "\"";
}

std::string FaultReason(const std::string& folder, const std::string& table, gh_library::TableFault fault) {
  using gh_library::TableFault;
  switch (fault) {
    case TableFault::Unwritable: return WriteProblem(folder + "\\" + table + ".dbf");
    case TableFault::TextNotCleared: return "a text to be cleared cannot be found in " + table + ".fpt";
    case TableFault::PackedMeanwhile: return "another program packed it meanwhile";
    case TableFault::Damaged: break;
  }
  return "it is damaged";
}

std::string FailureLine(const std::string& folder, const std::string& table, gh_library::TableStep step,
                        gh_library::TableFault fault) {
  using gh_library::TableFault;
  using gh_library::TableStep;
  const std::string place = TablePlace(folder, table);
  if (step == TableStep::Write && fault == TableFault::TextNotCleared)
    return place + " is damaged: a text it keeps in " + table +
           ".fpt could not be cleared, since its place in that file cannot be found. The text was not cleared.";
  const std::string reason = " (" + FaultReason(folder, table, fault) + ").";
  if (step == TableStep::Pack) return place + " could not be packed" + reason;
  if (step == TableStep::Compaction)
    return place + " could not have the texts it keeps in " + table + ".fpt compacted" + reason;
  return place + " could not be written" + reason + " The change was not kept.";
}

}  // namespace

namespace gh_library {

void TableFailures::Note(const std::string& table, TableStep step, TableFault fault) {
  fNoted.push_back({table, step, fault});
}

bool TableFailures::NoteAnswer(const std::string& table, TableStep step, int32_t answer) {
  if (answer >= 0) return false;
  TableFault fault = TableFault::Unwritable;
  // A row write answers "damaged" only for a text it could not clear.
  if (answer == C4_DAMAGED) fault = step == TableStep::Write ? TableFault::TextNotCleared : TableFault::Damaged;
  if (answer == C4_TRUNCATED) fault = TableFault::Damaged;
  if (answer == C4_PACKED) fault = TableFault::PackedMeanwhile;
  Note(table, step, fault);
  return true;
}

bool TableFailures::TellNoted(const std::string& folder) {
  if (fNoted.empty()) return false;
  // Taken before the box: what runs under it may note failures of its own.
  const std::vector<Failure> noted = std::move(fNoted);
  fNoted.clear();
  std::vector<std::string> lines;
  for (const Failure& f : noted) {
    if (f.step != TableStep::Write && WasTold(f.table)) continue;
    const std::string line = FailureLine(folder, f.table, f.step, f.fault);
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
  }
  for (const Failure& f : noted) MarkTold(f.table);
  if (lines.empty()) return true;
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n\r\n") + line;
  Tell(text);
  return true;
}

void TableFailures::MarkTold(const std::string& table) {
  fNoted.erase(std::remove_if(fNoted.begin(), fNoted.end(), [&](const Failure& f) { return f.table == table; }),
               fNoted.end());
  if (!WasTold(table)) fTold.push_back(table);
}

bool TableFailures::WasTold(const std::string& table) const {
  return std::find(fTold.begin(), fTold.end(), table) != fTold.end();
}

void TellDamagedMemoAtCompaction(const std::string& folder, const std::string& table, bool rowsRemoved) {
  const std::string what = rowsRemoved ? "The rows deleted from " + table + ".dbf were removed; " + table +
                                             ".fpt was left as it is."
                                       : "Its files are left as they are.";
  Tell(TablePlace(folder, table) + " is damaged: some of the texts it keeps in " + table +
       ".fpt cannot be read.\r\n\r\n" + what);
}

}  // namespace gh_library
