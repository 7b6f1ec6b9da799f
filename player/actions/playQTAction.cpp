#include "actions/playQTAction.h"

#include "CP_Canvas.h"
#include "CP_Desktop.h"
#include "CP_FourCC.h"
#include "CP_Utilities.h"
#include "actions/GH_ActionSupport.h"
#include "document/EM_DocumentWindow.h"
#include "document/GH_Globals.h"
#include "films/GH_FilmOpening.h"
#include "panes/GH_EM_QT_MoviePane.h"
#include "panes/GH_QT_MoviePane.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

namespace {

GH_QT_MoviePane* FindMainPane() {
  CP_Window* window = FindWindowByTitle("MainVideoWindow");
  return window ? dynamic_cast<GH_QT_MoviePane*>(window->FindSubPaneById(CP_FourCC("MAIN"), false)) : nullptr;
}

}  // namespace

playQTAction::playQTAction(ActionParameters& parameters) : MultimediaAction(parameters) {
  fParameters = parameters;
}

void playQTAction::Describe(std::ostream& out) {
  DescribeLaunch();
  MultimediaAction::Describe(out);
}

void playQTAction::Execute() {
  // The list-film window closes by handing the screen back to the main
  // pane: without one it would cover the screen with nothing to close it.
  if (!FindMainPane()) return;
  HideWindowTitled("Controller Window");
  HideWindowTitled("Sprite Window");
  // An empty setting names the current folder, never the drive's root.
  std::string folder = ReadPathFolderOrCurrent();

  std::string filmPath;
  int32_t autoPlay = 0, track = 0, dismissOnClick = 0, fullScreen = 0, closeAll = 0, exitOnEnd = 0, loop = 0,
          dismissOnKey = 0;
  for (const auto& entry : fParameters) {
    const std::string& key = entry.first;
    if (key == "File") {
      if (entry.second.empty()) continue;
      // A value with a drive or scheme stands on its own; others name a film on the CD.
      filmPath = entry.second.find(':') != std::string::npos ? entry.second : FilmRoot + entry.second;
    } else if (key == "AutoPlay") {
      autoPlay = StringToLong(entry.second);
    } else if (key == "Track") {
      track = StringToLong(entry.second);
    } else if (key == "DismissOnClick") {
      dismissOnClick = StringToLong(entry.second);
    } else if (key == "FullScreen") {
      fullScreen = StringToLong(entry.second);
    } else if (key == "CloseAllWindows") {
      closeAll = StringToLong(entry.second);
    } else if (key == "ExitOnEnd") {
      exitOnEnd = StringToLong(entry.second);
    } else if (key == "Loop") {
      loop = StringToLong(entry.second);
    } else if (key == "DismissOnKey") {
      dismissOnKey = StringToLong(entry.second);
    }
  }
  const int16_t trackNumber = int16_t(track);

  FSSpec spec{};
  if (!filmPath.empty()) spec = PathToFileSpec(filmPath);

  if (int16_t(closeAll) != 0) {
    GH_QT_MoviePane* main = FindMainPane();
    main->SetCloseOthersOnClick(1);
    // Without a film named there is nothing new to play: the main pane
    // goes on with what it shows.
    if (!filmPath.empty()) main->OpenFilm(spec, 1, 1.0, trackNumber);
    return;
  }

  Movie movie = nullptr;
  if (filmPath.empty())
    movie = OpenMainPaneFilm();
  else
    LoadMovieFromFileSpec(spec, movie);
  if (!movie) return;

  std::string trackFile;
  if (trackNumber > 0) {
    const int32_t n = CP_Desktop::GetDesktop()->CountDocumentWindows();
    std::string temporary = GetTempDirectory();
    if (temporary.empty() || temporary.back() != '\\') temporary += '\\';
    if (folder == "none\\") folder = temporary;
    trackFile = folder + "EM" + std::to_string(n) + ".mov";
    DeleteFileByPath(trackFile);
    Movie trackMovie = ExtractTrackMovie(trackNumber, movie, trackFile);
    DisposeMovie(movie);  // the track film stands in for the whole film
    if (!trackMovie) return;
    movie = trackMovie;
  }

  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  const CP_PaneInfo frame(CP_Point(0, 0), CP_Size(desktop->GetWorkAreaWidth(), int16_t(GetDesktopHeight())));
  CP_WindowInfo description(frame, CP_Window::kDocument);
  description.style = WS_POPUP;
  auto* window = new EM_DocumentWindow(CP_M_Commander::GetDefaultCommander(), nullptr, description, "EMWindow");
  desktop->AddWindow(window, window->GetHWND());

  auto* environment = new CP_CanvasEnvironment;
  environment->SetThirdColor(CP_RGBColor(0, 0, 0));
  environment->SetBackgroundColor(CP_RGBColor(0, 0, 0));
  window->SetEnvironment(environment);

  // The pane owns the movie from here on, and lets it go when it cannot show it.
  auto* pane = new GH_EM_QT_MoviePane(window, frame, movie, int16_t(autoPlay), int16_t(dismissOnClick),
                                      int16_t(fullScreen), trackFile, int16_t(exitOnEnd), int16_t(loop),
                                      int16_t(dismissOnKey));
  pane->SetIdentifier(CP_FourCC("EMFL"));

  if (trackNumber > 0) window->SetTitle(trackFile);

  window->Show();
  window->BringToFront();
  SetForegroundWindow(window->GetHWND());
  BringWindowToTop(window->GetHWND());
  SetFocus(pane->GetHWND());

  if (trackNumber > 0) pane->AttachFilmToWindow();
}
