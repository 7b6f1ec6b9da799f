#pragma once
// Shared by the CD database's tests: a folder of fresh tables with the
// database's settings pointed at it, raw looks at the tables, and films
// with their own data.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CDDatabase.h"
#include "TempDir.h"

namespace dbtest {

enum class Seed { None, Installation };

// A folder holding the six tables (empty, or with the rows an installation
// ships) and a settings file naming it as DBPath; the database's settings
// accesses go to that file while the folder lives.
class TableFolder {
 public:
  explicit TableFolder(Seed seed = Seed::None);
  ~TableFolder();
  TableFolder(const TableFolder&) = delete;
  TableFolder& operator=(const TableFolder&) = delete;

  const std::string& Path() const { return fPath; }
  std::string File(const std::string& name) const { return fDir.File(name); }
  // A sub-folder, made on the first call.
  std::string Folder(const std::string& name) const;
  void SetSetting(const std::string& key, const std::string& value) const;
  std::string Setting(const std::string& key) const;
  const std::string& SettingsFile() const { return fSettings; }

 private:
  TempDir fDir;
  std::string fPath;
  std::string fSettings;
  std::string fSavedSettingsFile;
};

// Every row of a table in record order, marked ones included, as field name
// to trimmed text; `deleted` tells the marked ones.
struct RawRow {
  bool deleted = false;
  std::map<std::string, std::string> fields;
};
std::vector<RawRow> RawRows(const std::string& folder, const std::string& table);

PlaylistEntry Film(const std::string& text, const std::string& aliasRoot, int32_t parent,
                   const std::string& fileName = std::string());
DriveRecord Drive(int32_t id, const std::string& name, const std::string& label, const std::string& path);
ActionRecord Action(int32_t id, int32_t type, const std::string& text, const std::string& aliasRoot,
                    const std::string& sprite);

// Takes the row that `key` finds on the table's selected tag out, as
// another program would: marked deleted, then the table packed.
void RemoveRow(C4Table* table, const std::string& key);

void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Writes a pointer that leads nowhere over a memo field of a row (in
// record order), as damage to the table leaves it.
void DamageMemoPointer(const std::string& folder, const std::string& table, uint32_t row, const char* field);

// A tiny film whose own data holds these preferences and actions
// (identifier, command text).
void WriteFilm(const std::string& path, const std::map<std::string, std::string>& preferences,
               const std::vector<std::pair<std::string, std::string>>& actions);

}  // namespace dbtest

namespace dbtest {

// A drive letter of its own over a fresh folder, with a volume label, for
// as long as the object lives. Made through Wine's mount manager as a CD-ROM
// drive (a registry entry alone gives a fixed disk): a CD drive is what the
// registration reads, and its label is how it knows a CD.
class TestCDDrive {
 public:
  // Over a Unix folder of the host when one is given ("/proc" has no free
  // space), over a fresh folder otherwise.
  explicit TestCDDrive(const std::string& label, const std::string& overUnixFolder = std::string());
  ~TestCDDrive();
  TestCDDrive(const TestCDDrive&) = delete;
  TestCDDrive& operator=(const TestCDDrive&) = delete;

  bool Ready() const { return fLetter != 0; }
  // "R:\" and the like.
  std::string Root() const;

 private:
  TempDir fDir;
  char fLetter = 0;
};

}  // namespace dbtest
