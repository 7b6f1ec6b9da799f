#include "actions/playQTAudioAction.h"

#include "CP_Commander.h"
#include "CP_FourCC.h"
#include "CP_Utilities.h"
#include "CP_Window.h"
#include "actions/GH_ActionSupport.h"
#include "document/GH_Globals.h"
#include "films/GH_FilmOpening.h"
#include "panes/GH_QT_Audio_MoviePane.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

#include <set>

namespace {

constexpr const char* kOneOffTitle = "playQTAudio";
constexpr const char* kBackgroundTitle = "BackgroundAudio";

GH_QT_Audio_MoviePane* AudioPaneOf(CP_Window* window) {
  if (!window) return nullptr;
  return dynamic_cast<GH_QT_Audio_MoviePane*>(window->FindSubPaneById(CP_FourCC("AUDI"), false));
}

// Each closed window's pane lets the background sound play on as it goes.
// A window that refuses to close is asked once and then left.
void CloseOneOffWindows() {
  std::set<HWND> asked;
  while (CP_Window* window = FindWindowByTitle(kOneOffTitle)) {
    if (!asked.insert(window->GetHWND()).second) break;
    if (!window->TryClose()) break;
  }
}

// Off the left edge of the screen: nothing of it is seen.
CP_Window* MakeAudioWindow(bool background) {
  CP_WindowInfo info(CP_PaneInfo(CP_Point(int32_t(-100), int32_t(0)), CP_Size(50, 50)), CP_Window::kDocument);
  info.SetWindowType(3);
  info.style = WS_POPUP;
  info.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;
  auto* window = new CP_Window(CP_M_Commander::GetDefaultCommander(), info, kOneOffTitle, 1);
  if (background) window->SetTitle(kBackgroundTitle);
  return window;
}

}  // namespace

playQTAudioAction::playQTAudioAction(ActionParameters& parameters) : MultimediaAction(parameters) {
  fParameters = parameters;
}

void playQTAudioAction::Describe(std::ostream& out) {
  DescribeLaunch();
  MultimediaAction::Describe(out);
}

void playQTAudioAction::Execute() {
  CloseOneOffWindows();
  HideWindowTitled("Controller Window");

  std::string filmPath;
  int32_t track = 0;
  bool background = false;
  for (const auto& entry : fParameters) {
    if (entry.first == "File") {
      if (!entry.second.empty()) filmPath = FilmRoot + entry.second;
    } else if (entry.first == "Track") {
      track = StringToLong(entry.second);
    } else if (entry.first == "Background") {
      background = true;  // whatever the value, "0" too
    }
  }

  Movie movie = nullptr;
  if (filmPath.empty())
    movie = OpenMainPaneFilm();
  else
    LoadMovieFromFileSpec(PathToFileSpec(filmPath), movie);
  if (!movie) return;

  if (int16_t(track) > 0) {
    DisableAllTracks(movie);
    if (Track only = GetMovieIndTrack(movie, int16_t(track))) SetTrackEnabled(only, true);
  }

  CP_Window* existing = FindWindowByTitle(kBackgroundTitle);
  if (GH_QT_Audio_MoviePane* playing = AudioPaneOf(existing)) playing->Stop();

  if (background && existing) {
    if (GH_QT_Audio_MoviePane* pane = AudioPaneOf(existing)) {
      pane->SetMovie(movie, 1);
      pane->Play();  // a background sound loops, though it was stopped above
    } else {
      DisposeMovie(movie);  // nowhere to play it
    }
    return;
  }

  CP_Window* window = MakeAudioWindow(background);
  auto* pane = new GH_QT_Audio_MoviePane(window, CP_PaneInfo(CP_Point(int32_t(0), int32_t(0)), CP_Size(50, 50)),
                                         movie, 1, 1);
  pane->SetIdentifier(CP_FourCC("AUDI"));
}
