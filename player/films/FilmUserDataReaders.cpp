#include "films/FilmUserDataReaders.h"

#include "store/Exception.h"
#include "store/library/FilmDataReaders.h"
#include "store/library/FilmDataReadersQT.h"

namespace {

// The film's stored preferences; false for a film without user data.
// Store errors reach the caller.
bool ReadStored(const std::string& filmPath, std::map<std::string, std::string>& values) {
  return manager_data::ReadStoredPreferences(filmPath, values);
}

std::string StoredValue(const std::string& key, const std::string& filmPath) {
  try {
    std::map<std::string, std::string> values;
    if (!ReadStored(filmPath, values)) return std::string();
    const auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
  } catch (const Exception&) {
    return std::string();
  } catch (const Signal&) {
    return std::string();  // the film's data ends early: damaged like any other
  }
}

}  // namespace

void ImportFilmActions(const std::string& filmPath, std::vector<ActionRecord>& records) {
  try {
    manager_data::ImportFilmActions(filmPath, records);
  } catch (const Exception&) {
    // The bindings read before the damage stay.
  } catch (const Signal&) {
  }
}

void ReadFilmPreferences(const std::string& filmPath, std::map<std::string, std::string>& values) {
  values.clear();
  bool stored = false;
  try {
    stored = ReadStored(filmPath, values);
  } catch (const Exception&) {
    stored = false;  // what was copied stays; the defaults overwrite equal keys
  } catch (const Signal&) {
    stored = false;
  }
  if (!stored) manager_data::ReadFilmDefaults(filmPath, values);
}

std::string ReadFilmVersion(const std::string& filmPath) { return StoredValue("Version", filmPath); }

std::string LookupFilmUserValue(const std::string& key, const std::string& filmPath) {
  return StoredValue(key, filmPath);
}
