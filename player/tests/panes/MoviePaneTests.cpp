#include "panes/CP_QT_MoviePane.h"

#include "CP_Application.h"
#include "CP_Framework.h"
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "MemoryOutStream.h"
#include "QTStandInControl.h"
#include "WinTestSupport.h"
#include "WindowTestSupport.h"
#include "../support/StandInTrace.h"
#include "films/GH_FilmOpening.h"
#include "utility/GH_Utility.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Film(const std::string& name) { return "Z:" + std::string(KX_SHIPPED_FILMS) + "/" + name; }

using standin::Trace;

// The trace lines that start with one of the prefixes, in order.
std::vector<std::string> TraceLines(const std::vector<std::string>& prefixes) {
  std::vector<std::string> lines;
  std::istringstream in(Trace());
  for (std::string line; std::getline(in, line);)
    for (const std::string& p : prefixes)
      if (line.compare(0, p.size(), p) == 0) {
        lines.push_back(line);
        break;
      }
  return lines;
}

// The screen point in the middle of a window, as WM_NCHITTEST takes it.
LPARAM CentreOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class EngineMoviePane : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    ASSERT_EQ(noErr, InitQuickTime());
    app = new CP_Application;
    window = new CP_Window(app, kxtest::Describe(CP_Window::kDialogLike, 60, 60, 400, 300), "movie pane test");
    window->SetOwnsItself(false);
    window->Show();
  }
  void TearDown() override {
    delete window;
    delete app;
    FrameworkTest::TearDown();
  }

  Movie Load(const std::string& name) {
    Movie movie = nullptr;
    LoadMovieFromFileSpec(PathToFileSpec(Film(name)), movie);
    EXPECT_NE(nullptr, movie) << name;
    return movie;
  }
  CP_QT_MoviePane* MakePane(Movie movie, int width = 320, int height = 240) {
    return new CP_QT_MoviePane(window, CP_PaneInfo(CP_Point(int32_t(10), int32_t(20)), CP_Size(width, height)), movie);
  }

  CP_Application* app = nullptr;
  CP_Window* window = nullptr;
};

TEST_F(EngineMoviePane, WithoutAMovieThereIsNoControllerAndIdlingWaitsForActivation) {
  CP_QT_MoviePane* pane = MakePane(nullptr);
  ASSERT_NE(nullptr, pane->GetHWND());
  EXPECT_EQ(window->GetHWND(), GetParent(pane->GetHWND()));
  EXPECT_EQ(nullptr, pane->GetController());
  EXPECT_FALSE(pane->IsIdling());
  EXPECT_NE(nullptr, GetNativeWindowPort(pane->GetHWND())) << "the window has its port all the same";

  EXPECT_EQ(0, SendMessageA(pane->GetHWND(), WM_ERASEBKGND, 0, 0));
  // Other messages get the default answers.
  EXPECT_EQ(HTCLIENT, SendMessageA(pane->GetHWND(), WM_NCHITTEST, 0, CentreOf(pane->GetHWND())));
  char title[16] = {};
  EXPECT_EQ(7, SendMessageA(pane->GetHWND(), WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title)));
  EXPECT_STREQ("CP_Pane", title);

  pane->ShowOwnWindow();
  EXPECT_FALSE(pane->IsIdling()) << "showing starts idling only with a controller";
  pane->ActivateOwn();
  EXPECT_TRUE(pane->IsIdling());
  pane->DeactivateOwn();
  EXPECT_FALSE(pane->IsIdling());
  delete pane;
}

TEST_F(EngineMoviePane, AMovieIsMovedToTheCornerAndGetsAControllerOnTheWholeFrame) {
  Movie movie = Load("sampleplain.flm");
  Rect box{30, 40, 270, 360};  // 320 x 240 at (40, 30)
  SetMovieBox(movie, &box);
  CP_QT_MoviePane* pane = MakePane(movie, 320, 260);
  ASSERT_NE(nullptr, pane->GetController());
  EXPECT_EQ(movie, pane->GetMovie());
  EXPECT_TRUE(pane->IsIdling());
  // The controller fits the movie to its rectangle from the top-left corner.
  Rect moved{};
  GetMovieBox(movie, &moved);
  EXPECT_EQ(0, moved.top);
  EXPECT_EQ(0, moved.left);
  Rect bounds{};
  MCGetControllerBoundsRect(pane->GetController(), &bounds);
  EXPECT_EQ(0, bounds.top);
  EXPECT_EQ(0, bounds.left);
  EXPECT_EQ(260, bounds.bottom);
  EXPECT_EQ(320, bounds.right);

  EXPECT_EQ(0, SendMessageA(pane->GetHWND(), WM_ERASEBKGND, 0, 0));
  pane->HideOwnWindow();
  EXPECT_FALSE(pane->IsIdling());
  EXPECT_FALSE(IsWindowVisible(pane->GetHWND()));
  pane->ShowOwnWindow();
  EXPECT_TRUE(pane->IsIdling());
  EXPECT_TRUE(IsWindowVisible(pane->GetHWND()));
  delete pane;
}

TEST_F(EngineMoviePane, GoingSilencesAndStopsTheFilmBeforeDisposingAndEndsThePortLast) {
  Movie movie = Load("sampleplain.flm");
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  CP_QT_MoviePane* pane = MakePane(movie);
  MCDoAction(pane->GetController(), mcActionPlay, reinterpret_cast<void*>(intptr_t(0x10000)));
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);  // only what the going does
  delete pane;
  const std::vector<std::string> lines = TraceLines({"action", "dispose", "port"});
  QTStandInControl(kQTStandInTraceStop, 0, nullptr, 0);
  ASSERT_EQ(5u, lines.size()) << Trace();
  EXPECT_EQ(0u, lines[0].find("action mc")) << lines[0];
  EXPECT_NE(std::string::npos, lines[0].find(" volume 0")) << lines[0];
  EXPECT_NE(std::string::npos, lines[1].find(" play 0")) << lines[1];
  EXPECT_EQ(0u, lines[2].find("dispose mc")) << lines[2];
  EXPECT_EQ(0u, lines[3].find("dispose movie")) << lines[3];
  EXPECT_EQ(0u, lines[4].find("port")) << lines[4];
  EXPECT_EQ('-', lines[4].back()) << lines[4];
  EXPECT_EQ(0, QTStandInControl(kQTStandInLiveCount, kQTStandInControllers, nullptr, 0));
  EXPECT_EQ(0, QTStandInControl(kQTStandInLiveCount, kQTStandInMovies, nullptr, 0));
}

TEST_F(EngineMoviePane, MessagesReachTheControllerAndThenTheDefaultAnswer) {
  // The controller strip: sprite buttons that answer clicks.
  CP_QT_MoviePane* pane = MakePane(Load("cs.flm"), 320, 48);
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  HWND w = pane->GetHWND();
  for (int x = 40; x < 300; x += 20) {
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 24));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, 24));
  }
  kxtest::PumpUntil([] { return !TraceLines({"event mc"}).empty(); }, 3000);
  EXPECT_FALSE(TraceLines({"event mc"}).empty()) << Trace();
  // Offered, and answered by the default handling all the same.
  EXPECT_EQ(HTCLIENT, SendMessageA(w, WM_NCHITTEST, 0, CentreOf(w)));
  QTStandInControl(kQTStandInTraceStop, 0, nullptr, 0);
  delete pane;
}

TEST_F(EngineMoviePane, WritesWhatAPlainPaneWrites) {
  const CP_PaneInfo info(CP_Point(int32_t(10), int32_t(20)), CP_Size(320, 240));
  CP_Pane plain(window, info);
  kxtest::MemoryOutStream plainBytes;
  plain.WriteToStream(plainBytes);

  CP_QT_MoviePane* pane = MakePane(Load("sampleplain.flm"));
  kxtest::MemoryOutStream paneBytes;
  pane->WriteToStream(paneBytes);
  EXPECT_EQ(plainBytes.Bytes(), paneBytes.Bytes());
  delete pane;
}

}  // namespace
