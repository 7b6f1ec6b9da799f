#include "actions/GH_ActionSupport.h"

#include "CP_FourCC.h"
#include "CP_Window.h"
#include "films/GH_FilmOpening.h"
#include "panes/CP_QT_MoviePane.h"
#include "utility/GH_Settings.h"
#include "utility/GH_WindowLookup.h"

std::string ReadPathFolder() {
  const std::string path = ReadPathFolderOrCurrent();
  return path.empty() ? "\\" : path;
}

std::string ReadPathFolderOrCurrent() {
  std::string path;
  ReadIniString(kSettingsSection, "Path", "none", path, kSettingsFile);
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

Movie OpenMainPaneFilm() {
  CP_Window* window = FindWindowByTitle("MainVideoWindow");
  if (!window) return nullptr;
  auto* pane = dynamic_cast<CP_QT_MoviePane*>(window->FindSubPaneById(CP_FourCC("MAIN"), false));
  if (!pane) return nullptr;
  Movie movie = nullptr;
  LoadMovieFromFileSpec(pane->GetFilmSpec(), movie);
  return movie;
}

void HideWindowTitled(const std::string& title) {
  if (CP_Window* window = FindWindowByTitle(title)) window->Hide();
}
