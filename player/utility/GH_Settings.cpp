#include "utility/GH_Settings.h"

#include "CP_FileSpec.h"
#include "CP_FileSystem.h"
#include "CP_Win.h"
#include "utility/GH_Utility.h"

const char* const kSettingsFile = "glintharbour.ini";
const char* const kSettingsSection = "Glintharbour";

int32_t ReadIniInt(const std::string& section, const std::string& key, const std::string& fileName) {
  return int32_t(GetPrivateProfileIntA(section.c_str(), key.c_str(), -1, fileName.c_str()));
}

bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& fileName) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName.c_str()) != 0;
}

namespace {

int32_t ReadSetting(const std::string& key) { return ReadIniInt(kSettingsSection, key, kSettingsFile); }

void WriteSetting(const std::string& key, int32_t value) {
  // A failed repair is left: the programs read the default again next time.
  WriteIniString(kSettingsSection, key, std::to_string(value), kSettingsFile);
}

void RepairIniPositive(const std::string& key, int32_t defaultValue) {
  if (ReadSetting(key) <= 0) WriteSetting(key, defaultValue);
}

}  // namespace

bool CheckIniStringKey(const std::string& key) {
  std::string value;
  ReadIniString(kSettingsSection, key, "None", value, kSettingsFile);
  return CP_FileSystem::DirectoryExists(CP_FileSpec(value, true));
}

void RepairIniFlag(const std::string& key, int32_t defaultValue) {
  const int32_t value = ReadSetting(key);
  if (value != 0 && value != 1) WriteSetting(key, defaultValue);
}

void RepairIniInt(const std::string& key, int32_t limit, int32_t defaultValue) {
  const int32_t value = ReadSetting(key);
  if (value < 0 || value >= limit) WriteSetting(key, defaultValue);
}

bool ValidateIniSettings() {
  const int32_t width = GetSystemMetrics(SM_CXSCREEN);
  const int32_t height = GetSystemMetrics(SM_CYSCREEN);

  char windowsFolder[256] = {};
  GetWindowsDirectoryA(windowsFolder, sizeof windowsFolder);
  bool ok = FileExists(std::string(windowsFolder) + "\\" + kSettingsFile);
  if (ok) ok = CheckIniStringKey("Path");
  if (ok) ok = CheckIniStringKey("DBPath");

  if (ok) {
    RepairIniFlag("Mute", 0);
    RepairIniFlag("AutoResize", 0);
    RepairIniFlag("Randomize", 1);
    RepairIniInt("MainWindow_W", width, width / 4 * 3);
    RepairIniInt("MainWindow_H", height, height / 4 * 3);
    const int32_t windowWidth = ReadSetting("MainWindow_W");
    const int32_t windowHeight = ReadSetting("MainWindow_H");
    // The bound 0 replaces every stored position: the main window starts
    // centred, as the library manager's own start leaves it.
    RepairIniInt("LastWindowX", 0, width / 2 - windowWidth / 2);
    RepairIniInt("LastWindowY", 0, height / 2 - windowHeight / 2);
    RepairIniInt("Volume", 10, 5);
    RepairIniFlag("EmptyWasteBasket", 1);
    RepairIniFlag("DissmissOnKeyDown", 1);
    RepairIniPositive("QTPaneHeight", 200);
    RepairIniPositive("TreeTableWidth", 150);
  } else {
    MessageBoxA(nullptr,
                "There is a problem with your ini settings. The file is missing or corrupt.\r\n\r\n"
                "Please Re-Install Glintharbour. Thanks!",
                "Glintharbour International", MB_OK);
  }
  return ok;
}
