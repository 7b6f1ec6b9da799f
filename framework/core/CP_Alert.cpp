#include "CP_Alert.h"

#include "CP_Desktop.h"
#include "CP_Framework.h"

#include <cctype>

int16_t ShowAlert(const std::string& text, int16_t style) {
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  if (desktop) desktop->BeforeModal();
  MessageBoxA(nullptr, text.c_str(), GetApplicationName().c_str(), UINT(int32_t(style)));
  if ((desktop = CP_Desktop::GetDesktop())) desktop->AfterModal();
  return 1;
}

std::string GetApplicationName() {
  char path[1025] = {};
  GetModuleFileNameA(gCP_Instance, path, sizeof path - 1);
  return ApplicationNameFromPath(path);
}

std::string ApplicationNameFromPath(const std::string& path) {
  std::string name = path;
  const size_t slash = name.rfind('\\');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return name;
  for (size_t i = dot; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c != 255) name[i] = char(std::tolower(c));
  }
  if (name.compare(dot, std::string::npos, ".exe") == 0) name.erase(dot);
  return name;
}
