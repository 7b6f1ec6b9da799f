#pragma once
// The settings file that the engine shares with the library manager:
// "glintharbour.ini" in the Windows folder, section "Glintharbour". Every
// setting is read from and written to the file at the moment it is needed.
#include "GH_IniFile.h"  // ReadIniString: the key's text, at most 255 characters

#include <cstdint>
#include <string>

extern const char* const kSettingsFile;     // "glintharbour.ini"
extern const char* const kSettingsSection;  // "Glintharbour"

// The key's decimal value; -1 when the key is missing, 0 when its text does
// not start with a number.
int32_t ReadIniInt(const std::string& section, const std::string& key, const std::string& fileName);
// Creates the file, section or key as needed; false when the write failed.
bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& fileName);

// True when the key of the engine's section names an existing folder.
bool CheckIniStringKey(const std::string& key);
// Writes `defaultValue` unless the key holds 0 or 1.
void RepairIniFlag(const std::string& key, int32_t defaultValue);
// Writes `defaultValue` unless the key holds 0 up to, not including, `limit`.
void RepairIniInt(const std::string& key, int32_t limit, int32_t defaultValue);

// The start-up check: fails, with a message to the user and nothing
// written, when the file is missing or Path or DBPath names no folder;
// otherwise repairs every value the programs could not use.
bool ValidateIniSettings();
