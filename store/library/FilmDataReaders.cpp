#include "FilmDataReaders.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "ActionTable.h"
#include "FilmUserData.h"
#include "FilmUserDataHeader.h"
#include "LibrarySchema.h"
#include "StringMaps.h"
#include "store/DataHandler.h"

namespace manager_data {

namespace {

// A text longer than the field is cut so that the NUL still fits.
template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text) {
  const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

std::unique_ptr<DataHandler_> OpenFilm(const std::string& path) {
  return std::make_unique<FileDataHandler>(ToBackslashPath(path), FileDataHandler::kRead);
}

// The film with its header read and its position back at the start; null
// when the film has no user data (no block, or a header of the older kind).
std::unique_ptr<DataHandler_> WithUserData(std::unique_ptr<DataHandler_> film) {
  UserDataAtomHeader header(0, 0, 0);
  if (!ReadFilmUserDataHeader(film.get(), header) || header.GetUserDataVersion() == 0) {
    return nullptr;
  }
  film->Seek(0, SeekFrom::Start);
  return film;
}

}  // namespace

bool FileExists(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return false;
  std::fclose(file);
  return true;
}

void ImportFilmActions(const std::string& path, std::vector<ActionRecord>& records) {
  ImportFilmActions(OpenFilm(path), records);
}

void ImportFilmActions(std::unique_ptr<DataHandler_> opened, std::vector<ActionRecord>& records) {
  std::unique_ptr<DataHandler_> film = WithUserData(std::move(opened));
  if (!film) return;
  // Declared in this order so the database goes before the user data.
  FilmUserData userData(film.release(), false);
  std::unique_ptr<Database> database(userData.GetDatabase());
  RootRef<ActionTable> actions(database.get(), kActionsRoot);
  if (!actions) return;
  for (const auto& entry : *actions.Get()) {
    ActionRecord record{};
    CopyText(record.sprite, entry.first.text);
    CopyText(record.actionText, entry.second.GetText());
    records.push_back(record);
  }
}

bool ReadStoredPreferences(const std::string& path, Preferences& preferences) {
  return ReadStoredPreferences(OpenFilm(path), preferences);
}

bool ReadStoredPreferences(std::unique_ptr<DataHandler_> opened, Preferences& preferences) {
  std::unique_ptr<DataHandler_> film = WithUserData(std::move(opened));
  if (!film) return false;
  FilmUserData userData(film.release(), false);
  std::unique_ptr<Database> database(userData.GetDatabase());
  RootRef<Dictionary> stored(database.get(), kPreferencesRoot);
  if (stored) {
    for (const auto& entry : *stored.Get()) preferences[entry.first] = entry.second;
  }
  return true;
}

void StoreFilmDefaults(Preferences& preferences, const std::optional<std::string>& name,
                       const std::optional<std::string>& copyright) {
  if (name) preferences[kNameKey] = *name;
  if (copyright) preferences[kCopyrightKey] = *copyright;
  preferences[kAliasRootKey] = "";
  preferences[kOriginKey] = "";
  preferences[kTrkBackgroundKey] = "0";
  preferences[kTrkGlobalKey] = "3";
  preferences[kTrkLocalKey] = "3";
  preferences["version"] = "2";
}

std::string UserDataItemText(const char* data, std::size_t size) {
  if (size == 0) return std::string();
  const void* end = std::memchr(data, '\0', size);
  return std::string(data, end ? static_cast<const char*>(end) - data : size);
}

}  // namespace manager_data
