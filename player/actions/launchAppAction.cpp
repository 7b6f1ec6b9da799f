#include "actions/launchAppAction.h"

#include "CP_View.h"
#include "CP_Window.h"
#include "CP_FourCC.h"
#include "CP_Win.h"
#include "panes/CP_QT_MoviePane.h"
#include "utility/GH_Settings.h"
#include "utility/GH_WindowLookup.h"

#include <shellapi.h>

namespace {

// The main video pane, when the engine shows one.
CP_QT_MoviePane* FindMainPane() {
  CP_Window* window = FindWindowByTitle("MainVideoWindow");
  if (!window) return nullptr;
  return dynamic_cast<CP_QT_MoviePane*>(window->FindSubPaneById(int32_t(CP_FourCC("MAIN")), false));
}

}  // namespace

launchAppAction::launchAppAction(ActionParameters& parameters) : MultimediaAction(parameters) {
  fParameters = parameters;
}

std::string LaunchBaseFolder(bool playsFromCurrentFolder) {
  std::string base;
  if (playsFromCurrentFolder) {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    base = folder;
  } else {
    ReadIniString(kSettingsSection, "CDDrive", "none", base, kSettingsFile);
  }
  if (!base.empty() && base.back() != '\\') base += '\\';
  return base;
}

void launchAppAction::Execute() {
  CP_QT_MoviePane* mainPane = FindMainPane();
  const std::string base = LaunchBaseFolder(mainPane && mainPane->GetPlayMode() == 2);

  std::string program, file, params, relative, singleInstance = "0";
  for (const auto& entry : fParameters) {
    if (entry.first == "File") {
      program = base + entry.second;
      file = entry.second;
    } else if (entry.first == "Params") {
      params = entry.second;
    } else if (entry.first == "CDPathRelative") {
      relative = entry.second;
    } else if (entry.first == "SingleInstance") {
      singleInstance = entry.second;
    }
  }
  if (relative == "0") program = file;
  if (program.empty()) return;
  if (singleInstance == "1" && ActivateRunningProgram(program.c_str())) return;

  ShellExecuteA(nullptr, "open", program.c_str(), params.empty() ? nullptr : params.c_str(), nullptr,
                SW_SHOWNORMAL);
  // The shell's start may have taken the focus: the main film goes on.
  if (mainPane) mainPane->StartIdleCalls();
}

void launchAppAction::Describe(std::ostream& out) {
  DescribeLaunch();
  MultimediaAction::Describe(out);
}
