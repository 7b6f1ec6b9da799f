#include "GH_StartModes.h"

#include "CDDatabase.h"
#include "CP_Framework.h"
#include "CP_TreeList_Application.h"
#include "GH_Diagnostics.h"
#include "GH_FilmsFolder.h"
#include "GH_LibraryGlobals.h"
#include "StartUpWindow.h"
#include "GH_Settings.h"

#include <ole2.h>

#include <memory>

namespace {

constexpr const char* kStartupTitle = "GH_Window";
constexpr const char* kStartupClass = "GH_ConfigTool";
constexpr int16_t kNormalPicture = 1010;
constexpr int16_t kDiagnosticsPicture = 1058;

bool DisplayHasEnoughColours() {
  HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits >= 16;
}

// Runs the application until it quits; a failure is reported and ends the
// run early, the partly built application going with the pointer.
void RunApplication(StartUpWindow& startup) {
  std::unique_ptr<CP_TreeList_Application> application;
  const bool ran = RunReportingFailure([&] {
    application = std::make_unique<CP_TreeList_Application>();
    startup.Remove();
    application->Run();
  });
  if (!ran) startup.Remove();
}

}  // namespace

void ReportStartFailure(const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), "Glintharbour KX", MB_OK | MB_ICONSTOP);
}

GH_StartMode ChooseStartMode(const std::string& commandLine) {
  if (commandLine.size() <= 1) return GH_StartMode::kNormal;
  if (commandLine == "-d" || commandLine == "-D") return GH_StartMode::kDiagnostics;
  if (commandLine == "-s" || commandLine == "-S") return GH_StartMode::kFilmsFolder;
  return GH_StartMode::kNormal;
}

int RunStart(GH_StartMode mode, HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand) {
  RunReportingFailure([&] {
    switch (mode) {
      case GH_StartMode::kDiagnostics:
        RunDiagnosticsStart(instance, previous, commandLine, showCommand);
        break;
      case GH_StartMode::kFilmsFolder:
        RunFilmsFolderStart();
        break;
      case GH_StartMode::kNormal:
        RunNormalStart(instance, previous, commandLine, showCommand);
        break;
    }
  });
  return 0;
}

void BringToFront(HWND window) {
  BringWindowToTop(window);
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetFocus(window);
}

int RunNormalStart(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand) {
  // Both looked up before either is acted on.
  HWND mainWindow = FindWindowA(nullptr, mainWindowTitle.c_str());
  HWND startupWindow = FindWindowA(nullptr, kStartupTitle);
  if (mainWindow || startupWindow) {
    if (startupWindow) BringToFront(startupWindow);
    if (mainWindow) BringToFront(mainWindow);
    return 0;
  }
  StartUpWindow startup(instance, previous, kStartupClass, kStartupTitle, kNormalPicture);
  if (!ValidateIniSettings()) return 0;
  if (!DisplayHasEnoughColours()) {
    MessageBoxA(nullptr,
                "This software cannot run at it's optimised level.\r\n\r\n"
                "Please reset your monitor to 16 bit color, or higher.",
                "Glintharbour KX", MB_OK);
    return 0;
  }
  CP_FrameworkStartup framework(instance, previous, commandLine, showCommand);
  InitQuickTime();
  const bool ole = OleInitialize(nullptr) >= 0;
  RunApplication(startup);
  if (ole) OleUninitialize();
  return 0;
}

int RunDiagnosticsStart(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand) {
  StartUpWindow startup(instance, previous, kStartupClass, kStartupTitle, kDiagnosticsPicture);
  HKEY run = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", &run) == ERROR_SUCCESS) {
    RegDeleteValueA(run, "GlintharbourDiagnostics");
    RegCloseKey(run);
  }
  CP_FrameworkStartup framework(instance, previous, commandLine, showCommand);
  InitQuickTime();
  const bool ran = RunReportingFailure([&] {
    // Runs the pass; the start-up window goes before the test film is let go.
    GH_Diagnostics diagnostics;
    startup.Remove();
  });
  if (!ran) startup.Remove();
  return 0;
}

int RunFilmsFolderStart() {
  auto database = std::make_unique<CDDatabase>("Config Tool");
  RecordFilmsFolderDrive(*database);
  database.reset();  // closes the tables
  ValidateIniSettings();
  return 0;
}
