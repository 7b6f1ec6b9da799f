#pragma once
// The settings file shared by the three programs: "glintharbour.ini" in the
// Windows directory (a file name without a folder is looked for there).
// Section and key names are compared without regard to case.
//
// These take plain texts: the framework has a reader of its own under the
// same name for std::string arguments, which keeps a stored empty value.
#include <cstdint>
#include <string>

constexpr const char* kIniFile = "glintharbour.ini";
constexpr const char* kIniSection = "Glintharbour";
constexpr const char* kIniHelpSection = "Help";

// Appends the key's value (at most 255 characters) to `result`; a missing
// key or an empty value appends `defaultValue` instead.
void ReadIniString(const char* section, const char* key, const char* defaultValue,
                   std::string& result, const char* file);
// -1 when the key is missing.
int32_t ReadIniInt(const char* section, const char* key, const char* file);
// True when Windows reports the value written.
bool WriteIniString(const char* section, const char* key, const char* value, const char* file);

// Whether the folder named by a key of section "Glintharbour" exists; a
// missing key names the folder "None".
bool CheckIniStringKey(const char* key);
// A flag outside 0..1 becomes `defaultValue`.
void RepairIniFlag(const char* key, int32_t defaultValue);
// A value below 0 or not below `bound` becomes `defaultValue`.
void RepairIniInt(const char* key, int32_t bound, int32_t defaultValue);

// Checks the file at start-up and repairs bad values of section
// "Glintharbour". False, after a message to the user, when the file or the
// `Path` or `DBPath` folder is missing; nothing is repaired then.
bool ValidateIniSettings();
