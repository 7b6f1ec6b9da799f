#include "actions/GH_ActionSupport.h"

#include "CP_FourCC.h"
#include "CP_Window.h"
#include "utility/GH_Settings.h"
#include "utility/GH_WindowLookup.h"

std::string ReadPathFolder() {
  std::string path;
  ReadIniString(kSettingsSection, "Path", "none", path, kSettingsFile);
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

Movie OpenMainPaneFilm() {
  CP_Window* window = FindWindowByTitle("MainVideoWindow");
  if (!window) return nullptr;
  CP_Pane* pane = window->FindSubPaneById(CP_FourCC("MAIN"), false);
  if (!pane) return nullptr;
  // The main video pane tells its film through its own class, which this
  // build does not hold yet: no film is at hand.
  return nullptr;
}

void HideWindowTitled(const std::string& title) {
  if (CP_Window* window = FindWindowByTitle(title)) window->Hide();
}
