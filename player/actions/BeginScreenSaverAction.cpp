#include "actions/BeginScreenSaverAction.h"

#include "CP_Canvas.h"
#include "CP_Desktop.h"
#include "CP_FourCC.h"
#include "CP_Utilities.h"
#include "CP_Window.h"
#include "actions/GH_ActionSupport.h"
#include "document/GH_BlackEnvironment.h"
#include "films/GH_FilmOpening.h"
#include "panes/GH_Controller_QT_MoviePane.h"
#include "panes/GH_QT_MoviePane.h"
#include "panes/GH_Sprite_QT_MoviePane.h"
#include "utility/GH_Settings.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

void ParsePlaybackSize(const std::string& text, int16_t& width, int16_t& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) {
    width = height = int16_t(StringToLong(text));
    return;
  }
  // The number stops at the blank before "x"; without one it stops at "x".
  width = int16_t(StringToLong(text.substr(0, x)));
  height = int16_t(StringToLong(text.substr(x + 1)));
}

BeginScreenSaverAction::BeginScreenSaverAction(ActionParameters& parameters) : MultimediaAction(parameters) {
  fParameters = parameters;
}

void BeginScreenSaverAction::Describe(std::ostream& out) {
  DescribeLaunch();
  MultimediaAction::Describe(out);
}

void BeginScreenSaverAction::Execute() {
  const std::string folder = ReadPathFolder();
  CP_Window* mainWindow = FindWindowByTitle("MainVideoWindow");
  auto* main =
      mainWindow ? dynamic_cast<GH_QT_MoviePane*>(mainWindow->FindSubPaneById(CP_FourCC("MAIN"), false)) : nullptr;
  if (!main) return;

  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  const int16_t screenWidth = desktop->GetWorkAreaWidth();
  const int16_t screenHeight = int16_t(GetDesktopHeight());
  CP_M_Commander* application = CP_M_Commander::GetDefaultCommander();

  const GH_BlackEnvironment environment;

  main->CallMoveTo(CP_Point(0, 0), 1);
  main->CallResizeTo(CP_Size(screenWidth, int16_t(screenHeight - 60)));

  CP_WindowInfo controllerInfo(CP_PaneInfo(CP_Point(int16_t(-305), int16_t(screenHeight - 48)), CP_Size(320, 48)),
                               CP_Window::kDialogLike);
  controllerInfo.SetWindowType(3);
  controllerInfo.style = WS_POPUP;
  controllerInfo.exStyle = 0x188;
  auto* controllerWindow = new CP_Window(application, controllerInfo, "Controller Window", 1);

  Movie controllingFilm = nullptr;
  LoadMovieFromFileSpec(PathToFileSpec(folder + "CS.flm"), controllingFilm);
  if (!controllingFilm)
    MessageBoxA(nullptr, "Cannot find the Controlling Sprite Movie File.\r\nPlease Re-Install.", "Glintharbour KX",
                MB_OK);
  // The pane owns the film from here on.
  auto* controllerPane = new GH_Controller_QT_MoviePane(
      controllerWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(320, 48)), controllingFilm, main);
  controllerWindow->SetEnvironment(environment.Get());
  controllerPane->AttachFilmToWindow();
  controllerPane->SetIdentifier(CP_FourCC("CONT"));

  std::string screenSize;
  ReadIniString(kSettingsSection, "ScreenSize", "none", screenSize, kSettingsFile);
  if (screenSize != "Auto") {
    int16_t width = 0, height = 0;
    ParsePlaybackSize(screenSize, width, height);
    main->SetPlaybackWidth(width);
    main->SetPlaybackHeight(height);
  }

  CP_WindowInfo spriteInfo(CP_PaneInfo(CP_Point(int16_t(700), int16_t(screenHeight - 45)), CP_Size(300, 45)),
                           CP_Window::kDialogLike);
  spriteInfo.SetWindowType(3);
  spriteInfo.style = WS_POPUP;
  // Each film's strip sets the window to its own size, below the
  // framework's default minimum.
  spriteInfo.minimumSize = CP_Size(1, 1);
  auto* spriteWindow = new CP_Window(application, spriteInfo, "Sprite Window", 1);
  auto* spritePane = new GH_Sprite_QT_MoviePane(
      spriteWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(300, 48)), nullptr, main);
  spritePane->SetIdentifier(CP_FourCC("SPRT"));
  spritePane->SetBindings(CP_Bindings{1, 1, 1, 1});
  spriteWindow->SetEnvironment(environment.Get());

  main->SetCloseOthersOnClick(desktop->CountDocumentWindows() == 1 ? 0 : 1);

  controllerWindow->Show();
  controllerWindow->BringToFront();
  main->StartFromCommandLine();
}
