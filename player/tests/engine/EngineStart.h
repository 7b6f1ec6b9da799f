#pragma once
// A whole engine started against a CD database of the test's own: the
// application object, its document and windows, as the entry function
// makes them.
#include "CP_Framework.h"
#include "CP_FourCC.h"
#include "CP_Window.h"
#include "DatabaseFixture.h"
#include "QTStandInControl.h"
#include "WinTestSupport.h"
#include "support/ForeignWindows.h"
#include "support/StandInTrace.h"
#include "document/GH_Player_Application.h"
#include "panes/GH_QT_MoviePane.h"

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace engine {

// The films the build makes, as a Windows folder.
inline std::string ShippedFolder() {
  std::string films = "Z:" + std::string(KX_SHIPPED_FILMS);
  for (char& c : films)
    if (c == '/') c = '\\';
  return films;
}

using standin::Trace;
using standin::TraceLines;

// This process's top-level window of that title, shown or hidden.
inline HWND OwnWindow(const char* title) {
  for (HWND w = FindWindowA(nullptr, title); w; w = FindWindowExA(nullptr, w, nullptr, title)) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == GetCurrentProcessId()) return w;
  }
  return nullptr;
}

class EngineStart : public DatabaseFixture {
 protected:
  void TearDown() override {
    End();
    if (!fInstallation.empty()) {
      WriteSetting("Path", nullptr);
      RemoveTree(fInstallation);
      fInstallation.clear();
    }
    DatabaseFixture::TearDown();
  }
  // An installation for a start without a command line: the controller
  // film in the `Path` folder and no default film; the films folder of the
  // drive "FILMS", with its location row, holds a film that the database
  // lists already, so the play list is not empty. No CD in the drive.
  // Returns the films folder.
  std::string MakeInstallation() {
    fInstallation = MakeTempFolder(std::string("app_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string films = fInstallation + "\\films";
    CreateDirectoryA(films.c_str(), nullptr);
    EXPECT_TRUE(CopyFileA((ShippedFolder() + "\\cs.flm").c_str(), (fInstallation + "\\CS.flm").c_str(), FALSE));
    EXPECT_TRUE(CopyFileA((ShippedFolder() + "\\sample200.flm").c_str(), (films + "\\Sea.flm").c_str(), FALSE));
    WriteSetting("Path", fInstallation.c_str());
    WriteSetting("CDDrive", nullptr);
    EmptyTable("GH_DriveDB");
    AddRow("GH_DriveDB", {{"DRIVEID", 1}, {"DRIVENAME", 0, "Films"}, {"LABEL", 0, "FILMS"}, {"PATH", 0, films.c_str()}});
    AddRow("GH_ConfigDB", {{"ITEM_ID", 2}, {"ITEMTYPE", 2}, {"PARENTTYPE", 2}, {"ITEMTEXT", 0, "Films"},
                           {"AliasRoot", 0, "FILMS"}});
    AddRow("GH_ConfigDB", {{"ITEM_ID", 80}, {"PARENT_ID", 2}, {"ITEMTYPE", 4}, {"PARENTTYPE", 2}, {"ICONRESID", 2},
                           {"PLAY", 1}, {"LOOP", 1}, {"RATE", 1}, {"ITEMTEXT", 0, "Sea"}, {"FileName", 0, "Sea.flm"},
                           {"AliasRoot", 0, "FILMS"}});
    return films;
  }
  // The toolbox's trace records the whole start.
  void Run(const char* commandLine) {
    kxtest::WaitForNoForeignWindows({"MainVideoWindow", "Sprite Window", "Controller Window", "GH_Window"});
    StartFramework(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
    started = true;
    InitQuickTime();
    QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
    application = std::make_unique<GH_Player_Application>();
  }
  void End() {
    if (application && !application->IsQuitting()) application->ExecuteCommand(kCmd_Quit);
    application.reset();
    if (started) {
      QTStandInControl(kQTStandInTraceStop, 0, nullptr, 0);
      StopFramework();
    }
    started = false;
  }
  static CP_Window* WindowTitled(const char* title) {
    return dynamic_cast<CP_Window*>(CP_Pane::FromWindow(OwnWindow(title)));
  }
  template <class PaneClass>
  static PaneClass* PaneIn(const char* title, uint32_t identifier) {
    CP_Window* window = WindowTitled(title);
    return window ? dynamic_cast<PaneClass*>(window->FindSubPaneById(identifier, false)) : nullptr;
  }
  static GH_QT_MoviePane* MainPane() { return PaneIn<GH_QT_MoviePane>("MainVideoWindow", CP_FourCC("MAIN")); }

  std::unique_ptr<GH_Player_Application> application;
  bool started = false;

 private:
  std::string fInstallation;
};

}  // namespace engine
