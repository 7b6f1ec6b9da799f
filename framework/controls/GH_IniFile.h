#pragma once
// The programs' settings reader over a settings file in the Windows folder
// (a file name without a folder is looked for there).
#include <string>

// The key's value, at most 255 characters; the default when the section or
// the key is missing.
void ReadIniString(const std::string& section, const std::string& key, const std::string& defaultValue,
                   std::string& result, const std::string& fileName);
