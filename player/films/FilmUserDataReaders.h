#pragma once
// The engine's read-only view of a film's own data: its sprite bindings,
// its preferences, its version and single values. Each call opens the film,
// reads it and closes it again; nothing is cached, shown or written.
#include <map>
#include <string>
#include <vector>

#include "database/CDRecords.h"

// Appends one record per binding of the film's "Actions" root, in sprite
// name order, with SPRITE and ACTIONTEXT filled (cut to their buffers).
// Records appended before a store error stay; the vector is never cleared.
void ImportFilmActions(const std::string& filmPath, std::vector<ActionRecord>& records);

// The film's "Preferences" root; for a film without user data (or one whose
// data cannot be read), its movie's 'AANM' and 'AACY' items and the fixed
// defaults. A film with user data but no such root gives an empty map.
void ReadFilmPreferences(const std::string& filmPath, std::map<std::string, std::string>& values);

// The value of "Version", else the empty text.
std::string ReadFilmVersion(const std::string& filmPath);

// The value of the key (case counts), else the empty text.
std::string LookupFilmUserValue(const std::string& key, const std::string& filmPath);
