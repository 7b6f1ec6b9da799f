#include "document/GH_Player_Document.h"

#include "CP_Canvas.h"
#include "CP_Desktop.h"
#include "CP_Exception.h"
#include "CP_Framework.h"
#include "CP_FourCC.h"
#include "CP_MenuBar.h"
#include "CP_Window.h"
#include "document/GH_BlackEnvironment.h"
#include "document/GH_DocumentWindow.h"
#include "document/GH_Globals.h"
#include "document/GH_Player_Application.h"
#include "films/GH_FilmOpening.h"
#include "panes/GH_Controller_QT_MoviePane.h"
#include "panes/GH_QT_MoviePane.h"
#include "panes/GH_Sprite_QT_MoviePane.h"
#include "utility/GH_Settings.h"
#include "utility/GH_Utility.h"

#include <cstdlib>
#include <cstring>

void ParseScreenSize(const std::string& value, int16_t& width, int16_t& height) {
  width = 640;
  height = 480;
  if (value == "Auto") return;
  const size_t x = value.find('x');
  if (x == std::string::npos || x == 0) return;
  const std::string widthText = value.substr(0, std::min<size_t>(x - 1, 9));
  const std::string heightText = value.substr(x + 1, 9);
  width = int16_t(std::atoi(widthText.c_str()));
  height = int16_t(std::atoi(heightText.c_str()));
}

GH_Player_Document::GH_Player_Document(CP_M_Commander* parent) : CP_Document(parent) {
  SetUniqueName("Untitled");
  MakeWindows("Untitled");
}

GH_Player_Document::~GH_Player_Document() = default;

void GH_Player_Document::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  if (!bar) return;
  if (command == kCmd_Quit) {
    bar->EnableCommand(kCmd_Quit);
  } else if (command == kCmd_Close) {
    if (fWindow) bar->EnableCommand(kCmd_Close);
  } else {
    CP_Document::GetCommandStatus(command, menu);
  }
}

bool GH_Player_Document::ApproveChildClose(CP_M_Commander*) {
  if (IsModified()) return AskSaveChanges();
  return true;
}

void GH_Player_Document::MakeWindows(const std::string&) {
  try {
    BuildWindows();
  } catch (const CP_BaseException& failure) {
    failure.Report();
  }
}

void GH_Player_Document::BuildWindows() {
  const char* text = GetCommandLineText();
  const std::string commandLine = text ? text : "";
  std::string screenSize;
  ReadIniString("Glintharbour", "ScreenSize", "none", screenSize, "glintharbour.ini");
  const bool mute = ReadIniInt("Glintharbour", "Mute", "glintharbour.ini") != 0;
  const int32_t randomize = ReadIniInt("Glintharbour", "Randomize", "glintharbour.ini");
  const int32_t volume = ReadIniInt("Glintharbour", "Volume", "glintharbour.ini");
  const bool autoResize = ReadIniInt("Glintharbour", "AutoResize", "glintharbour.ini") != 0;
  const size_t comma = commandLine.find(',');
  const bool fileForm = comma != std::string::npos && comma > 0;
  int16_t filmWidth = 640, filmHeight = 480;
  ParseScreenSize(screenSize, filmWidth, filmHeight);

  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  const int16_t screenWidth = desktop ? desktop->GetWorkAreaWidth() : int16_t(GetSystemMetrics(SM_CXSCREEN));
  const int16_t screenHeight = int16_t(GetDesktopHeight());
  CP_M_Commander* application = CP_M_Commander::GetDefaultCommander();

  CP_WindowInfo mainInfo(CP_PaneInfo(CP_Point(0, 0), CP_Size(screenWidth, screenHeight)), CP_Window::kDocument);
  mainInfo.style = WS_POPUP;
  mainInfo.exStyle = 0;
  auto* mainWindow = new GH_DocumentWindow(this, this, mainInfo, "MainVideoWindow");
  fWindow = mainWindow;
  if (desktop) desktop->AddWindow(mainWindow, mainWindow->GetHWND());

  CP_PaneInfo paneInfo(CP_Point(0, 0), CP_Size(screenWidth, int16_t(screenHeight - 60)));
  auto* mainPane = new GH_QT_MoviePane(PlayerApplication, mainWindow, paneInfo, nullptr, 1, filmWidth, filmHeight, 1,
                                       autoResize ? 1 : 0, mute ? 1 : 0, volume, randomize);
  mainPane->SetBindings(CP_Bindings{1, 1, 1, 1});

  const GH_BlackEnvironment environment;
  mainWindow->SetEnvironment(environment.Get());
  mainPane->SetIdentifier(CP_FourCC("MAIN"));

  if (!fileForm) {
    CP_WindowInfo spriteInfo(CP_PaneInfo(CP_Point(int16_t(700), int16_t(screenHeight - 45)), CP_Size(300, 45)),
                             CP_Window::kDialogLike);
    spriteInfo.SetWindowType(3);
    spriteInfo.style = WS_POPUP;
    if (!commandLine.empty()) spriteInfo.exStyle = 0x188;
    // Each film's strip sets the window to its own width and 48 high, below
    // the framework's default minimum.
    spriteInfo.minimumSize = CP_Size(1, 1);
    auto* spriteWindow = new CP_Window(application, spriteInfo, "Sprite Window", 1);
    // The pane is a strip's height from the start, the window a little less
    // until the first strip sizes it.
    auto* spritePane = new GH_Sprite_QT_MoviePane(
        spriteWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(300, GH_Sprite_QT_MoviePane::kStripHeight)),
        nullptr, mainPane);
    spritePane->SetIdentifier(CP_FourCC("SPRT"));
    spritePane->SetBindings(CP_Bindings{1, 1, 1, 1});  // follows the window to each strip's size
    spriteWindow->SetEnvironment(environment.Get());
  }

  CP_Window* controllerWindow = nullptr;
  GH_Controller_QT_MoviePane* controllerPane = nullptr;
  if (commandLine.empty()) {
    CP_WindowInfo controllerInfo(CP_PaneInfo(CP_Point(int16_t(-305), int16_t(screenHeight - 48)), CP_Size(320, 48)),
                                 CP_Window::kDialogLike);
    controllerInfo.SetWindowType(3);
    controllerInfo.style = WS_POPUP;
    controllerInfo.exStyle = 0x188;
    controllerWindow = new CP_Window(application, controllerInfo, "Controller Window", 1);
    std::string folder;
    ReadIniString("Glintharbour", "Path", "none", folder, "glintharbour.ini");
    if (folder.empty() || folder.back() != '\\') folder += "\\";
    Movie controllingFilm = nullptr;
    LoadMovieFromFileSpec(PathToFileSpec(folder + "CS.flm"), controllingFilm);
    if (!controllingFilm)
      MessageBoxA(nullptr, "Cannot find the Controlling Sprite Movie File.\r\nPlease Re-Install.", "Glintharbour KX",
                  MB_OK);
    // The pane owns the film from here on.
    controllerPane = new GH_Controller_QT_MoviePane(
        controllerWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(320, 48)), controllingFilm, mainPane);
    controllerPane->SetIdentifier(CP_FourCC("CONT"));
    controllerPane->AttachFilmToWindow();
    controllerWindow->SetEnvironment(environment.Get());
  }

  mainPane->StartFromCommandLine();

  mainWindow->Show();
  HWND mainHandle = mainWindow->GetHWND();
  BringWindowToTop(mainHandle);
  SetActiveWindow(mainHandle);
  SetForegroundWindow(mainHandle);
  if (controllerWindow) {
    controllerWindow->Show();
    controllerWindow->BringToFront();
    // Bound once more now that the window shows.
    controllerPane->AttachFilmToWindow();
  }
  if (HWND splash = FindWindowA(nullptr, "GH_Window")) DestroyWindow(splash);
  SetFocus(mainPane->GetHWND());
}
