#pragma once
// What the library manager reads from a film file: the actions of its
// embedded database, to copy into the registration database, and its
// preferences. The player engine has readers of the same names that behave
// otherwise, so these live in the manager's namespace.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One row of the CD database's action table, 496 bytes, in the byte layout
// that the CD data files also carry (little-endian numbers). Texts are
// NUL-terminated. It lives outside the manager's namespace so that a call
// with it finds each program's own readers, not the manager's by its
// argument's namespace.
struct ActionRecord {
  int32_t actionID;
  int32_t reserved;
  int32_t actionType;
  char actionText[254];  // the command text
  char aliasRoot[30];
  char sprite[200];      // the action's identifier
};
static_assert(sizeof(ActionRecord) == 496, "an action record is stored as 496 bytes");
static_assert(offsetof(ActionRecord, actionText) == 12, "command text at 12");
static_assert(offsetof(ActionRecord, aliasRoot) == 266, "alias root at 266");
static_assert(offsetof(ActionRecord, sprite) == 296, "sprite at 296");

class DataHandler_;

namespace manager_data {

// The record is shared by both programs' readers and databases.
using ::ActionRecord;

using Preferences = std::map<std::string, std::string>;

// Whether the file can be opened for reading.
bool FileExists(const std::string& path);

// Appends one record per entry of the film's "Actions" root, in identifier
// order: the identifier as sprite, the rebuilt command text as text, each
// cut to its field and terminated. The other fields are zero, for the
// caller to fill. A film without user data appends nothing. Open and store
// errors reach the caller.
void ImportFilmActions(const std::string& path, std::vector<ActionRecord>& records);

// For a film with user data: stores the entries of its "Preferences" root
// in the map (none when it has no such root) and answers true. A film
// without user data answers false and leaves the map as it was.
bool ReadStoredPreferences(const std::string& path, Preferences& preferences);

// The preferences of a film without user data: the texts of its 'AANM' and
// 'AACY' items when it has them, then the fixed defaults.
void StoreFilmDefaults(Preferences& preferences, const std::optional<std::string>& name,
                       const std::optional<std::string>& copyright);

// The two readers above over a film that is open already: they read it from
// its start, and close it.
void ImportFilmActions(std::unique_ptr<DataHandler_> film, std::vector<ActionRecord>& records);
bool ReadStoredPreferences(std::unique_ptr<DataHandler_> film, Preferences& preferences);

// A user-data item's text: its bytes up to the first NUL, or all of them.
std::string UserDataItemText(const char* data, std::size_t size);

}  // namespace manager_data
