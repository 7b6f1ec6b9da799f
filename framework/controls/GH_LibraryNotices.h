#pragma once
// What both programs tell the user when the library's tables cannot be
// read, written or compacted. Each box names the tables and their folder;
// the program goes on and leaves the files as they are.
#include <string>
#include <utility>
#include <vector>

namespace gh_library {

// Tables (names without extension) that did not open.
void TellUnreadableTables(const std::string& folder, const std::vector<std::string>& tables);
// Tables whose memo texts could not all be read.
void TellDamagedTables(const std::string& folder, const std::vector<std::string>& tables);
// The item table cannot be written; the reason is asked of the system.
void TellUnchangeableLibrary(const std::string& folder);
// The sentence that says a table (name without extension) cannot be
// written, and why, for a box of the caller's own.
std::string UnwritableTableText(const std::string& folder, const std::string& table);
// Films renamed outside the programs whose rows could not take the new file
// names: each a title and the file's new name.
void TellFilmsNotRenamed(const std::string& folder,
                         const std::vector<std::pair<std::string, std::string>>& films);

}  // namespace gh_library
