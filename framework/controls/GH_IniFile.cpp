#include "GH_IniFile.h"

#include "CP_Win.h"

void ReadIniString(const std::string& section, const std::string& key, const std::string& defaultValue,
                   std::string& result, const std::string& fileName) {
  char value[256] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), value, sizeof value,
                           fileName.c_str());
  result = value;
}
