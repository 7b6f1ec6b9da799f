#include "GH_Settings.h"

#include "CP_FileSpec.h"
#include "CP_FileSystem.h"
#include "CP_Win.h"

#include <cstdio>

void ReadIniString(const char* section, const char* key, const char* defaultValue,
                   std::string& result, const char* file) {
  char value[256] = {};
  GetPrivateProfileStringA(section, key, "", value, sizeof value, file);
  result += value[0] ? value : defaultValue;
}

int32_t ReadIniInt(const char* section, const char* key, const char* file) {
  return int32_t(GetPrivateProfileIntA(section, key, -1, file));
}

bool WriteIniString(const char* section, const char* key, const char* value, const char* file) {
  return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

bool CheckIniStringKey(const char* key) {
  std::string folder;
  ReadIniString(kIniSection, key, "None", folder, kIniFile);
  return CP_FileSystem::DirectoryExists(CP_FileSpec(folder, true));
}

namespace {

void WriteIniInt(const char* key, int32_t value) {
  WriteIniString(kIniSection, key, std::to_string(value).c_str(), kIniFile);
}

bool IniFileExists() {
  char folder[256] = {};
  GetWindowsDirectoryA(folder, sizeof folder);
  const std::string path = std::string(folder) + "\\" + kIniFile;
  FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return false;
  std::fclose(file);
  return true;
}

}  // namespace

void RepairIniFlag(const char* key, int32_t defaultValue) {
  const int32_t value = ReadIniInt(kIniSection, key, kIniFile);
  if (value < 0 || value > 1) WriteIniInt(key, defaultValue);
}

void RepairIniInt(const char* key, int32_t bound, int32_t defaultValue) {
  const int32_t value = ReadIniInt(kIniSection, key, kIniFile);
  if (value < 0 || value >= bound) WriteIniInt(key, defaultValue);
}

bool ValidateIniSettings() {
  const int32_t screenW = GetSystemMetrics(SM_CXSCREEN);
  const int32_t screenH = GetSystemMetrics(SM_CYSCREEN);

  const bool passed = IniFileExists() && CheckIniStringKey("Path") && CheckIniStringKey("DBPath");
  if (!passed) {
    MessageBoxA(nullptr,
                "There is a problem with your ini settings. The file is missing or corrupt.\r\n\r\n"
                "Please Re-Install Glintharbour. Thanks!",
                "Glintharbour International", MB_OK);
    return false;
  }

  RepairIniFlag("Mute", 0);
  RepairIniFlag("AutoResize", 0);
  RepairIniFlag("Randomize", 1);
  RepairIniInt("MainWindow_W", screenW, (screenW / 4) * 3);
  RepairIniInt("MainWindow_H", screenH, (screenH / 4) * 3);
  const int32_t w = ReadIniInt(kIniSection, "MainWindow_W", kIniFile);
  const int32_t h = ReadIniInt(kIniSection, "MainWindow_H", kIniFile);
  // The bound 0 replaces every stored value: the window starts centred.
  RepairIniInt("LastWindowX", 0, screenW / 2 - w / 2);
  RepairIniInt("LastWindowY", 0, screenH / 2 - h / 2);
  RepairIniInt("Volume", 10, 5);
  RepairIniFlag("EmptyWasteBasket", 1);
  RepairIniFlag("DissmissOnKeyDown", 1);
  if (ReadIniInt(kIniSection, "QTPaneHeight", kIniFile) <= 0)
    WriteIniString(kIniSection, "QTPaneHeight", "200", kIniFile);
  if (ReadIniInt(kIniSection, "TreeTableWidth", kIniFile) <= 0)
    WriteIniString(kIniSection, "TreeTableWidth", "150", kIniFile);
  return true;
}
