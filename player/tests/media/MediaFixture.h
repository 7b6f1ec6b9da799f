#pragma once
// A started framework with QuickTime and an application object, the film
// root at the films the build makes, no settings file, and the stand-in's
// trace at hand.
#include "CP_Application.h"
#include "CP_Desktop.h"
#include "CP_Framework.h"
#include "CP_FourCC.h"
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "QTStandInControl.h"
#include "QTToolbox.h"
#include "../support/StandInTrace.h"
#include "actions/MultimediaAction.h"
#include "document/GH_Globals.h"
#include "panes/GH_QT_MoviePane.h"
#include "utility/GH_Settings.h"
#include "utility/GH_WindowLookup.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace media {

inline std::string FilmsFolder() { return "Z:" + std::string(KX_SHIPPED_FILMS) + "/"; }

inline std::string WindowsFolderFile(const std::string& name) {
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, sizeof folder);
  return std::string(folder) + "\\" + name;
}

using standin::Trace;
using standin::TraceLines;

inline int Live(QTStandInCount what) { return QTStandInControl(kQTStandInLiveCount, what, nullptr, 0); }

// Runs a command as the engine's runners do: made by name, executed once,
// deleted.
using Params = std::map<std::string, std::string>;

inline void RunAction(const std::string& name, const Params& given) {
  ActionParameters parameters;
  parameters.insert(given.begin(), given.end());
  MultimediaAction* action = MultimediaActionFactory::CreateAction(name, parameters);
  ASSERT_NE(nullptr, action) << name;
  action->Execute();
  delete action;
}

// A framework window of the engine's strips or main window, by title.
inline CP_Window* MakeTitledWindow(const std::string& title, CP_Window::Kind kind = CP_Window::kDocument) {
  CP_WindowInfo info(CP_PaneInfo(CP_Point(int32_t(20), int32_t(20)), CP_Size(200, 100)), kind);
  info.SetWindowType(3);
  info.style = WS_POPUP;
  auto* window = new CP_Window(CP_M_Commander::GetDefaultCommander(), info, title, 1);
  window->Show();
  return window;
}

// A main video window whose pane has one play-list entry, a film of the
// film root, as its current film.
inline GH_QT_MoviePane* MakeMainPane(const std::string& film) {
  CP_Window* window = MakeTitledWindow("MainVideoWindow");
  auto* pane = new GH_QT_MoviePane(nullptr, window, CP_PaneInfo(CP_Point(int32_t(0), int32_t(0)), CP_Size(200, 100)),
                                   nullptr, 1, 200, 100, 1, 1, 0, 10, 0);
  pane->SetIdentifier(CP_FourCC("MAIN"));
  PlaylistEntry entry;
  entry.parentType = 1;
  entry.fileName = film;
  entry.loop = 1;
  entry.rate = 1;
  pane->GetPlayList().push_back(entry);
  pane->PlayNextEntry();
  return pane;
}

class MediaTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    DeleteFileA(WindowsFolderFile(kSettingsFile).c_str());
    ASSERT_EQ(noErr, InitQuickTime());
    app = new CP_Application;
    FilmRoot = FilmsFolder();
  }
  void TearDown() override {
    QTStandInControl(kQTStandInTraceStop, 0, nullptr, 0);
    QTStandInControl(kQTStandInRealClock, 0, nullptr, 0);
    CloseEngineWindows();
    delete app;
    DeleteFileA(WindowsFolderFile(kSettingsFile).c_str());
    FrameworkTest::TearDown();
  }

  // Windows go while QuickTime and their parent commander are still there.
  static void CloseEngineWindows() {
    for (const char* title : {"playQTAudio", "BackgroundAudio", "Controller Window", "Sprite Window",
                              "MainVideoWindow"}) {
      for (int i = 0; i < 10; ++i) {
        CP_Window* window = FindWindowByTitle(title);
        if (!window) break;
        delete window;
      }
    }
    // Only this thread's frames can be destroyed here.
    for (int i = 0; i < 10; ++i) {
      HWND frame = FindWindowA(nullptr, "playQTFrame");
      if (!frame || GetWindowThreadProcessId(frame, nullptr) != GetCurrentThreadId()) break;
      DestroyWindow(frame);
    }
  }

  CP_Application* app = nullptr;
};

}  // namespace media
