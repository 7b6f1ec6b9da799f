#pragma once
// The engine's windows for the controller and sprite panes: a main video
// window with its pane, a controller strip on "cs.flm" and a sprite window,
// all real framework windows. The main video window records the presses
// and messages it receives and, like the engine's own, can close the strip
// when pressed.
#include "CP_Desktop.h"
#include "CP_Framework.h"
#include "CP_Window.h"
#include "ForeignWindows.h"
#include "MainPaneSupport.h"
#include "QTStandInControl.h"
#include "WinTestSupport.h"
#include "films/GH_FilmOpening.h"
#include "panes/GH_Controller_QT_MoviePane.h"
#include "panes/GH_QT_MoviePane.h"
#include "panes/GH_Sprite_QT_MoviePane.h"
#include "panes/GH_WiredAction.h"
#include "../support/SplashClass.h"
#include "utility/GH_Utility.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace panes {

using mainpane::Actions;
using mainpane::ClearTrace;
using mainpane::ShippedFilm;
using Strings = std::vector<std::string>;

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A framework window that keeps what it is sent; `onPress` runs on a left
// press, as the engine's main window closes its strips then.
class RecordingWindow : public CP_Window {
 public:
  RecordingWindow(const CP_WindowInfo& info, const std::string& title, CP_M_Commander* parent = nullptr)
      : CP_Window(parent, info, title, 1) {}
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN || message >= WM_USER) {
      received.push_back({message, wParam, lParam});
      if (message == WM_LBUTTONDOWN && onPress) onPress();
    }
    return CP_Window::HandleMessage(window, message, wParam, lParam);
  }
  std::vector<Received> received;
  std::function<void()> onPress;
};

inline CP_WindowInfo PopupAt(int16_t left, int16_t top, int16_t width, int16_t height,
                             uint8_t kind = CP_Window::kDocument) {
  CP_WindowInfo info(CP_PaneInfo(CP_Point(left, top), CP_Size(width, height)), kind);
  info.style = WS_POPUP | WS_VISIBLE;
  info.exStyle = 0;
  // Strips are lower than the framework's default minimum.
  info.minimumSize = CP_Size(1, 1);
  return info;
}

// Where a window lies on the screen.
inline POINT PlaceOf(const CP_Window* window) {
  RECT r{};
  GetWindowRect(window->GetHWND(), &r);
  return POINT{r.left, r.top};
}

// Where the frame window a command opened lies on the screen; -1 when
// there is none.
inline int FrameLeft() {
  HWND frame = FindWindowA(nullptr, "playQTFrame");
  RECT r{};
  return frame && GetWindowRect(frame, &r) ? int(r.left) : -1;
}

inline Movie LoadShipped(const char* name) {
  Movie movie = nullptr;
  LoadMovieFromFileSpec(GH_QT_MoviePane::PathToFileSpec(ShippedFilm(name)), movie);
  return movie;
}

// The framework, the movie toolbox on its manual clock, and the windows.
class PanesTest : public ::testing::Test {
 protected:
  void StartFrameworkOnly(const char* commandLine = "") {
    // The panes find the engine's windows by title across the desktop.
    kxtest::WaitForNoForeignWindows(
        {"MainVideoWindow", "Controller Window", "Sprite Window", "EMWindow", "Glintharbour Player", "playQTFrame"});
    StartFramework(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
    started = true;
    InitQuickTime();
    QTStandInControl(kQTStandInManualClock, 0, nullptr, 0);
    QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  }
  // `parent` sees the commands the window passes on, such as quit.
  void MakeMainWindow(CP_M_Commander* parent = nullptr) {
    mainWindow = new RecordingWindow(PopupAt(0, 0, 640, 480), "MainVideoWindow", parent);
    mainPane = new GH_QT_MoviePane(nullptr, mainWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(640, 480)),
                                   nullptr, 1, 640, 480, 1, 1, 0, 10, 0);
    mainPane->SetIdentifier(CP_FourCC("MAIN"));
    mainWindow->Show();
  }
  // A main film that plays, then a strip open at the left edge.
  void Start(int16_t stripLeft = 0) {
    StartFrameworkOnly();
    MakeMainWindow();
    ASSERT_EQ(2, mainPane->OpenFilm(GH_QT_MoviePane::PathToFileSpec(ShippedFilm("sample200.flm")), 1, 1.0, 0));
    MakeController(stripLeft);
  }
  void MakeController(int16_t stripLeft) {
    controllerWindow =
        new CP_Window(nullptr, PopupAt(stripLeft, int16_t(GetDesktopHeight() - 48), 320, 48, CP_Window::kDialogLike),
                      "Controller Window", 1);
    controller = new GH_Controller_QT_MoviePane(controllerWindow,
                                                CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(320, 48)),
                                                LoadShipped("cs.flm"), mainPane);
    controller->SetIdentifier(CP_FourCC("CONT"));
    controller->AttachFilmToWindow();
    controllerWindow->Show();
    ClearTrace();
  }
  void TearDown() override {
    if (!started) return;
    delete spriteWindow;
    delete controllerWindow;
    delete mainWindow;
    spriteWindow = nullptr;
    controllerWindow = nullptr;
    mainWindow = nullptr;
    controller = nullptr;
    mainPane = nullptr;
    sprite = nullptr;
    QTStandInControl(kQTStandInTraceStop, 0, nullptr, 0);
    QTStandInControl(kQTStandInRealClock, 0, nullptr, 0);
    StopFramework();
    started = false;
  }

  // A press and release at a point of a pane's window.
  static void Click(HWND window, int x, int y) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  RecordingWindow* mainWindow = nullptr;
  GH_QT_MoviePane* mainPane = nullptr;
  CP_Window* controllerWindow = nullptr;
  GH_Controller_QT_MoviePane* controller = nullptr;
  CP_Window* spriteWindow = nullptr;
  GH_Sprite_QT_MoviePane* sprite = nullptr;
  bool started = false;
};

// An atom container holding one wired action of the given type whose
// string parameter is `text` with the length byte `length`: the bytes that
// QuickTime hands to a filter. The action atom lies at kActionAtom.
class WiredAction {
 public:
  static constexpr QTAtom kActionAtom = 32;  // 12-byte container header, 20-byte root atom header

  WiredAction(uint32_t type, const std::string& text, int length = -1) {
    std::string string(1, char(uint8_t(length < 0 ? text.size() : size_t(length))));
    string += text;
    const std::string action = Atom("actn", 1, Atom("whic", 1, BigEndian(type)) + Atom("parm", 1, BigEndian(7)) +
                                                    Atom("parm", 2, string, 0),
                                    3);
    const std::string bytes = std::string(12, '\0') + Atom("sean", 1, action, 1);
    fHandle = NewHandle(int32_t(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), *fHandle);
    fSpec.actionAtom.container = fHandle;
    fSpec.actionAtom.atom = kActionAtom;
  }
  ~WiredAction() { DisposeHandle(fHandle); }
  WiredAction(const WiredAction&) = delete;
  WiredAction& operator=(const WiredAction&) = delete;

  ResolvedQTEventSpec* Spec() { return &fSpec; }

 private:
  static std::string BigEndian(uint32_t v) {
    return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  }
  // A leaf (children 0) holds data; a parent holds its children's bytes.
  static std::string Atom(const char* type, uint32_t id, const std::string& body, uint16_t children = 0) {
    std::string a = BigEndian(uint32_t(20 + body.size())) + std::string(type, 4) + BigEndian(id);
    a += std::string(2, '\0');
    a += char(children >> 8);
    a += char(children);
    a += std::string(4, '\0');
    return a + body;
  }

  Handle fHandle = nullptr;
  ResolvedQTEventSpec fSpec{};
};

}  // namespace panes
