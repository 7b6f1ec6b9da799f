#include "GH_MainWindow.h"

#include "CP_Desktop.h"
#include "CP_Volume.h"
#include "CP_Win.h"
#include "GH_Globals.h"

#include <cctype>

CP_Window* FindMainWindow(const std::string& title) {
  HWND window = FindWindowA(nullptr, title.c_str());
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  if (!window || !desktop) return nullptr;
  return desktop->FindWindowByHandle(window);
}

std::string GetVolumeName(const char* root) {
  char name[128] = {};
  char fileSystem[128] = {};
  DWORD serial = 0, maxComponent = 0, flags = 0;
  GetVolumeInformationA(root, name, sizeof name, &serial, &maxComponent, &flags, fileSystem,
                        sizeof fileSystem);
  name[sizeof name - 1] = '\0';
  if (name[0]) return name;

  // The shell names the drive like "Compact Disc (D:)"; registration knows an
  // empty drive by that name without the drive part.
  if (cdDriveRoot.empty()) return std::string();
  const char letter = char(std::toupper(static_cast<unsigned char>(cdDriveRoot[0])));
  if (letter < 'A' || letter > 'Z') return std::string();
  const std::string display = CP_Volume(int16_t(letter - 'A')).GetDisplayName();
  constexpr size_t kDriveSuffix = 5;  // " (D:)"
  if (display.size() < kDriveSuffix) return std::string();
  return display.substr(0, display.size() - kDriveSuffix);
}

std::string GetVolumeName(const std::string& root) { return GetVolumeName(root.c_str()); }
