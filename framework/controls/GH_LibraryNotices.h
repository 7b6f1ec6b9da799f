#pragma once
// What both programs tell the user when the library's tables cannot be
// read, written or compacted. Each box names the tables and their folder;
// the program goes on and leaves the files as they are.
#include <cstdint>
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

// A CD's registration stopped because the table `table` (a name without
// extension) in `folder` would not take a row. `removed`: every row the
// registration had added was taken out again, so that the CD is registered
// whole when it is next inserted.
void TellRegistrationFailed(const std::string& volume, const std::string& folder, const std::string& table,
                            bool removed);
// The version-2 description of a CD could not be read, so nothing of it
// was registered.
void TellUnreadableCDDescription(const std::string& volume);
// A CD's description lists more items than a registration takes.
void TellCutCDDescription(const std::string& volume, int kept);

}  // namespace gh_library

namespace gh_library {

// What a table operation that failed was doing, and why it failed.
enum class TableStep { Write, Pack, Compaction };
enum class TableFault {
  Unwritable,       // the system refused; the reason is asked of it
  TextNotCleared,   // a text to clear leads nowhere in the memo file, so it stays
  PackedMeanwhile,  // another program packed the table under the change
  Damaged,          // the table contradicts itself
};

// The failed table operations of one action, told in one box at its end.
class TableFailures {
 public:
  void Note(const std::string& table, TableStep step, TableFault fault);
  // Notes the table engine's answer when it is a failure (negative); true
  // then.
  bool NoteAnswer(const std::string& table, TableStep step, int32_t answer);
  // Tells what was noted since the last call, in one box, and forgets it;
  // true when anything was noted. A table the user heard of this run is not
  // told again for a pack or compaction: those retry at every close, and
  // the reason is known.
  bool TellNoted(const std::string& folder);
  // The user heard of the table's failures (from another box, say): what
  // was noted of it is not told.
  void MarkTold(const std::string& table);
  bool WasTold(const std::string& table) const;

 private:
  struct Failure {
    std::string table;
    TableStep step;
    TableFault fault;
  };
  std::vector<Failure> fNoted;
  std::vector<std::string> fTold;
};

// A memo file found damaged when it was to be compacted is left as it is.
// `rowsRemoved`: the pack just before removed deleted rows from the table.
void TellDamagedMemoAtCompaction(const std::string& folder, const std::string& table, bool rowsRemoved);

}  // namespace gh_library
