// The entry function of "KX3 Engine": the single-instance checks, the
// settings check, the splash window and QuickTime check, the framework, the
// application object and the run loop. Every path returns 0.
#include "CP_Exception.h"
#include "CP_Framework.h"
#include "CP_Win.h"
#include "document/GH_Globals.h"
#include "document/GH_Player_Application.h"
#include "utility/GH_Settings.h"
#include "utility/GH_SplashScreen.h"
#include "utility/GH_WindowLookup.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR commandLine, int showCommand) {
  // A splash window of either program means one of them is starting.
  if (FindWindowA(nullptr, "GH_Window")) return 0;
  if (FindWindowA(nullptr, "MainVideoWindow")) {
    std::string drive;
    ReadIniString("Glintharbour", "CDDrive", "", drive, "glintharbour.ini");
    if (drive.empty()) return 0;
    if (drive.back() != '\\') drive += "\\";
    // Only the film CD's own engine gives way to this start.
    const std::string cdEngine = drive + "ZUDaruzo.exe";
    if (!ActivateRunningProgram(cdEngine.c_str())) return 0;
    if (HWND running = FindWindowA(nullptr, "MainVideoWindow")) SendMessageA(running, WM_KEYDOWN, 0, 0);
  }
  if (!commandLine || std::strlen(commandLine) == 0)
    if (!ValidateIniSettings()) return 0;

  gEngineInstance = instance;
  gEnginePrevInstance = prevInstance;
  std::unique_ptr<CheckQuickTimeAndShowSplash> splash(new (std::nothrow) CheckQuickTimeAndShowSplash(
      instance, prevInstance, kSplashClassName, kSplashTitle, kSplashBitmapId));

  CP_FrameworkStartup framework(instance, prevInstance, commandLine ? commandLine : "", showCommand);
  InitQuickTime();
  try {
    GH_Player_Application application;
    application.Run();
    splash.reset();
  } catch (const CP_BaseException& failure) {
    failure.Report();
  }
  return 0;
}
