// The EM pane: one film over the screen in an "EMWindow", sized and
// centred, ended by a click, a key or its end, running its own commands,
// and handing the screen back when it goes.
#include "PanesSupport.h"
#include "CP_Commander.h"
#include "StandInTrace.h"
#include "document/GH_Globals.h"
#include "panes/GH_EM_QT_MoviePane.h"

#include <cstdio>

using panes::Actions;
using panes::ClearTrace;
using panes::PanesTest;
using panes::Strings;
using panes::WiredAction;

namespace {

struct EMOptions {
  const char* film = "sample200.flm";
  int32_t autoPlay = 1;
  int16_t dismissOnClick = 0;
  int32_t fullScreen = 0;
  std::string tempFile;
  int16_t exitOnEnd = 0;
  int16_t loop = 0;
  int16_t dismissOnKey = 0;
};

// Allows its windows to close and notes the commands they pass on.
class NotingCommander : public CP_M_Commander {
 public:
  NotingCommander() : CP_M_Commander(nullptr) {}
  int32_t ExecuteCommand(int32_t command) override {
    commands.push_back(command);
    return 1;
  }
  std::vector<int32_t> commands;
};

class EMPaneTest : public PanesTest {
 protected:
  // The main video window with a film that plays and the target size, then
  // an 800 x 600 "EMWindow" whose closing the test's commander allows.
  void StartMain(int16_t targetWidth = 640, int16_t targetHeight = 480) {
    StartFrameworkOnly();
    MakeMainWindow();
    mainPane->SetPlaybackWidth(targetWidth);
    mainPane->SetPlaybackHeight(targetHeight);
    ASSERT_EQ(2, mainPane->OpenFilm(GH_QT_MoviePane::PathToFileSpec(panes::ShippedFilm("sample240.flm")), 1, 1.0, 0));
  }
  GH_EM_QT_MoviePane* OpenEM(const EMOptions& o) {
    emWindow = new panes::RecordingWindow(panes::PopupAt(0, 0, 800, 600), "EMWindow", &commander);
    em = new GH_EM_QT_MoviePane(emWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(800, 600)),
                                o.film ? panes::LoadShipped(o.film) : nullptr, o.autoPlay, o.dismissOnClick,
                                o.fullScreen, o.tempFile, o.exitOnEnd, o.loop, o.dismissOnKey);
    em->SetIdentifier(CP_FourCC("EMFL"));
    emWindow->Show();
    return em;
  }
  // The sprite window as the document makes it, hidden, with the strip of
  // the main film (none: a film without one).
  void MakeSpriteWindow(Movie strip) {
    spriteWindow =
        new CP_Window(nullptr, panes::PopupAt(600, 500, 300, 45, CP_Window::kDialogLike), "Sprite Window", 1);
    sprite = new GH_Sprite_QT_MoviePane(spriteWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(300, 48)),
                                        nullptr, mainPane);
    sprite->SetIdentifier(CP_FourCC("SPRT"));
    if (strip) sprite->SetSpriteFilm(strip, 1);
    spriteWindow->Hide();
  }
  bool EMWindowGone() { return FindWindowA(nullptr, "EMWindow") == nullptr; }
  void PumpUntilGone() {
    kxtest::PumpUntil([&] { return EMWindowGone(); });
  }
  Rect Box() const {
    Rect box{};
    GetMovieBox(em->GetMovie(), &box);
    return box;
  }
  void TearDown() override {
    if (emWindow && !EMWindowGone()) delete emWindow;
    emWindow = nullptr;
    em = nullptr;
    PanesTest::TearDown();
  }

  NotingCommander commander;
  panes::RecordingWindow* emWindow = nullptr;
  GH_EM_QT_MoviePane* em = nullptr;
};

// The main pane started in the file form from a folder of its own, which
// holds the film, the film of the frames and, when a case writes it, the
// CD data file.
class EMPaneFileForm : public EMPaneTest {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "kx_em_fileform_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(folder.c_str());
    CopyFileA(panes::ShippedFilm("cs.flm").c_str(), "cs.flm", FALSE);
    CopyFileA(panes::ShippedFilm("sample200.flm").c_str(), "Sea.flm", FALSE);
    kxtest::RegisterSplashClass();
  }
  void StartFileForm() {
    StartFrameworkOnly();
    MakeMainWindow(&commander);
    mainPane->SetCommandLine("cs.flm,0");
    mainPane->StartFromCommandLine();
    ASSERT_EQ(2, mainPane->GetPlayMode());
    // Left elsewhere, so that the list film's own setting shows.
    FilmRoot = "Z:\\elsewhere\\";
  }
  // The list film's window goes, and with it any frame it opened.
  void CloseEM() {
    if (!EMWindowGone()) delete emWindow;
    emWindow = nullptr;
    em = nullptr;
  }
  void TearDown() override {
    if (HWND frame = FindWindowA(nullptr, "playQTFrame")) DestroyWindow(frame);
    EMPaneTest::TearDown();
    for (const char* file : {"BINFILE.GHC", "cs.flm", "Sea.flm"}) DeleteFileA(file);
    SetCurrentDirectoryA(saved);
    RemoveDirectoryA(folder.c_str());
  }
  std::string folder;
  char saved[MAX_PATH] = {};
};

std::string FrameAt(int left) {
  return "playQTFrame(File=\"Sea.flm\",Top=\"10\",Left=\"" + std::to_string(left) +
         "\",MovieWidth=\"160\",MovieHeight=\"100\")";
}

// The number the movie toolbox gave the film it opened last from `file`.
std::string SerialOfFilm(const std::string& file) {
  std::string serial;
  for (const std::string& line : standin::TraceLines("open movie"))
    if (line.size() > file.size() && line.compare(line.size() - file.size(), file.size(), file) == 0)
      serial = line.substr(10, line.find(' ', 10) - 10);
  return serial;
}

}  // namespace

TEST_F(EMPaneTest, FilmsAreSizedToTheTargetAndCentred) {
  const int16_t screenW = int16_t(GetSystemMetrics(SM_CXSCREEN)), screenH = int16_t(GetSystemMetrics(SM_CYSCREEN));
  struct Case {
    const char* name;
    const char* film;
    int32_t fullScreen;
    int16_t targetWidth, targetHeight;
    Rect want;  // top, left, bottom, right in the 800 x 600 pane
  };
  const Case kCases[] = {
      {"a 240-line film fills the target", "sample240.flm", 0, 640, 480, {60, 80, 540, 720}},
      {"others keep their aspect", "sample200.flm", 0, 640, 480, {100, 80, 500, 720}},
      {"a smaller target", "sample200.flm", 0, 400, 300, {175, 200, 425, 600}},
      {"no target: twice the size", "sample200.flm", 0, 0, 0, {100, 80, 500, 720}},
      {"a negative target: twice the size", "sample200.flm", 0, -1, 480, {100, 80, 500, 720}},
      {"one track keeps its size", "cs.flm", 0, 640, 480, {276, 240, 324, 560}},
      {"full screen fills the pane", "cs.flm", 1, 640, 480, {0, 0, 600, 800}},
      {"a target wider than the screen is the screen",
       "sample240.flm",
       0,
       int16_t(screenW + 1),
       100,
       {int16_t(300 - screenH / 2), int16_t(400 - screenW / 2), int16_t(300 - screenH / 2 + screenH),
        int16_t(400 - screenW / 2 + screenW)}},
  };
  for (const Case& c : kCases) {
    StartMain(c.targetWidth, c.targetHeight);
    EMOptions o;
    o.film = c.film;
    o.fullScreen = c.fullScreen;
    OpenEM(o);
    ASSERT_NE(nullptr, em->GetController()) << c.name;
    const Rect box = Box();
    EXPECT_EQ(c.want.top, box.top) << c.name;
    EXPECT_EQ(c.want.left, box.left) << c.name;
    EXPECT_EQ(c.want.bottom, box.bottom) << c.name;
    EXPECT_EQ(c.want.right, box.right) << c.name;
    TearDown();
  }
}

TEST_F(EMPaneTest, TheFilmsOwnCommands) {
  StartMain();
  OpenEM({});
  const QTRefCon self = reinterpret_cast<QTRefCon>(em);
  char exitCommand[] = "Exit";
  QTDoScriptRecord exit{1, exitCommand, nullptr};
  EXPECT_TRUE(GH_EM_QT_MoviePane::FilmActionFilter(em->GetController(), mcActionDoScript, &exit, self));
  EXPECT_TRUE(em->IsExitRequested());
  EXPECT_FALSE(EMWindowGone()) << "nothing visible until the next click";

  // A wired string pauses the main film first; another type does nothing.
  WiredAction other(3073, "CloseWindow");
  EXPECT_FALSE(GH_EM_QT_MoviePane::FilmActionFilter(em->GetController(), mcActionExecuteOneActionForQTEvent,
                                                    other.Spec(), self));
  EXPECT_FALSE(mainPane->IsPaused());
  EXPECT_FALSE(em->IsDismissOnClick());
  WiredAction close(kActionApplicationNumberAndString, "CloseWindow");
  EXPECT_TRUE(GH_EM_QT_MoviePane::FilmActionFilter(em->GetController(), mcActionExecuteOneActionForQTEvent,
                                                   close.Spec(), self));
  EXPECT_TRUE(mainPane->IsPaused());
  EXPECT_TRUE(em->IsDismissOnClick());
  // "CloseWindow" posted a click: the window closes at once.
  PumpUntilGone();
  EXPECT_TRUE(EMWindowGone());
  EXPECT_FALSE(GH_EM_QT_MoviePane::FilmActionFilter(nullptr, mcActionDoScript, &exit, 0));
}

TEST_F(EMPaneTest, AClickAfterExitClosesTheOtherWindows) {
  StartMain();
  OpenEM({});
  char exitCommand[] = "Exit";
  QTDoScriptRecord exit{1, exitCommand, nullptr};
  GH_EM_QT_MoviePane::FilmActionFilter(em->GetController(), mcActionDoScript, &exit, reinterpret_cast<QTRefCon>(em));
  SendMessageA(em->GetHWND(), WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(EMWindowGone());
  EXPECT_NE(nullptr, FindWindowA(nullptr, "MainVideoWindow"));
}

TEST_F(EMPaneTest, TheEndOfTheFilm) {
  struct Case {
    const char* name;
    int16_t loop, exitOnEnd;
    bool handled, clicks;  // clicks: a press is posted to the EM window
    Strings want;
  };
  const Case kCases[] = {
      {"loop restarts at rate 1.0", 1, 0, true, false, {"goto*", "play 65536"}},
      {"loop wins over the end", 1, 1, true, false, {"goto*", "play 65536"}},
      {"exit on end closes", 0, 1, true, true, {}},
      {"neither", 0, 0, false, false, {}},
  };
  for (const Case& c : kCases) {
    StartMain();
    EMOptions o;
    o.loop = c.loop;
    o.exitOnEnd = c.exitOnEnd;
    OpenEM(o);
    em->SetPlayRate(0.5);
    MCDoAction(em->GetController(), mcActionPlay, reinterpret_cast<void*>(Fixed(0)));  // the film has ended
    ClearTrace();
    EXPECT_EQ(c.handled, bool(GH_EM_QT_MoviePane::FilmActionFilter(em->GetController(), mcActionIdle, nullptr,
                                                                   reinterpret_cast<QTRefCon>(em))))
        << c.name;
    const Strings got = Actions();
    ASSERT_EQ(c.want.size(), got.size()) << c.name << ": " << ::testing::PrintToString(got);
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_EQ(0u, got[i].rfind(c.want[i].substr(0, c.want[i].size() - (c.want[i].back() == '*')), 0)) << c.name;
    // The press goes to the window, whose click handling closes it.
    if (c.clicks) kxtest::PumpUntil([&] { return !emWindow->received.empty(); });
    EXPECT_EQ(c.clicks, em->IsDismissOnClick()) << c.name;
    ASSERT_EQ(c.clicks ? 1u : 0u, emWindow->received.size()) << c.name;
    if (c.clicks) {
      EXPECT_EQ(MAKELPARAM(100, 100), emWindow->received[0].lParam) << c.name;
    }
    TearDown();
  }
  // While the film plays, the idle action is not its end.
  StartMain();
  EMOptions o;
  o.exitOnEnd = 1;
  OpenEM(o);
  ASSERT_TRUE(em->IsFilmPlaying());
  EXPECT_FALSE(GH_EM_QT_MoviePane::FilmActionFilter(em->GetController(), mcActionIdle, nullptr,
                                                    reinterpret_cast<QTRefCon>(em)));
}

TEST_F(EMPaneTest, KeysAndTheScreenSaver) {
  for (int16_t dismissOnKey : {int16_t(0), int16_t(1)}) {
    StartMain();
    EMOptions o;
    o.dismissOnKey = dismissOnKey;
    OpenEM(o);
    EXPECT_EQ(1, SendMessageA(em->GetHWND(), WM_SYSCOMMAND, SC_SCREENSAVE, 0));
    EXPECT_EQ(0, SendMessageA(em->GetHWND(), WM_KEYDOWN, 'A', 0));
    EXPECT_EQ(dismissOnKey == 1, EMWindowGone()) << dismissOnKey;
    TearDown();
  }
}

TEST_F(EMPaneTest, TheLastEMWindowHandsTheScreenBack) {
  StartMain();
  MakeController(-305);
  controllerWindow->Hide();
  MakeSpriteWindow(panes::LoadShipped("cs.flm"));
  // A temporary track file that goes with the pane.
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string trackFile = std::string(temp) + "kx_em_track.mov";
  ASSERT_TRUE(CopyFileA(panes::ShippedFilm("cs.flm").c_str(), trackFile.c_str(), FALSE));

  EMOptions first;
  first.tempFile = trackFile;
  OpenEM(first);
  panes::RecordingWindow* firstWindow = emWindow;
  // A second EM window: closing it leaves one, so the main film stays paused.
  OpenEM({});
  mainPane->Pause();
  mainPane->StopIdleCalls();
  delete emWindow;
  EXPECT_TRUE(mainPane->IsPaused());
  EXPECT_FALSE(IsWindowVisible(controllerWindow->GetHWND()));

  // The last one: the main film resumes, the strip and the sprite window
  // come back, and the track file is deleted.
  emWindow = firstWindow;
  delete emWindow;
  emWindow = nullptr;
  EXPECT_FALSE(mainPane->IsPaused());
  EXPECT_TRUE(mainPane->IsIdling());
  EXPECT_TRUE(IsWindowVisible(controllerWindow->GetHWND()));
  EXPECT_TRUE(controller->IsIdling());
  EXPECT_TRUE(IsWindowVisible(spriteWindow->GetHWND()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(trackFile.c_str()));
}

// A main film without a strip of its own leaves the sprite window empty and
// hidden; handing the screen back leaves it so.
TEST_F(EMPaneTest, AnEmptySpriteWindowStaysHiddenWhenTheScreenIsHandedBack) {
  StartMain();
  MakeController(-305);
  controllerWindow->Hide();
  MakeSpriteWindow(nullptr);
  OpenEM({});
  delete emWindow;
  emWindow = nullptr;
  EXPECT_TRUE(IsWindowVisible(controllerWindow->GetHWND())) << "the screen was handed back";
  EXPECT_FALSE(IsWindowVisible(spriteWindow->GetHWND()));
}

TEST_F(EMPaneTest, WithoutTheMainVideoWindowThePaneStaysEmpty) {
  StartFrameworkOnly();
  OpenEM({});
  EXPECT_EQ(nullptr, em->GetHWND());
  EXPECT_EQ(nullptr, em->GetMovie());
  EXPECT_EQ(nullptr, em->GetController());
  EXPECT_EQ(nullptr, em->GetMainPane());
}

// Two list films opened by the play action: when one goes, the other
// takes the screen and the keys again, whether the one that goes was in
// front (closed by a click) or behind (closed by its film's command).
TEST_F(EMPaneTest, WhenOneOfTwoEMWindowsClosesTheOtherTakesTheScreen) {
  const auto play = [](const char* film) {
    return "playQT(File=\"" + panes::ShippedFilm(film) + "\",AutoPlay=\"1\",DismissOnClick=\"1\")";
  };
  const auto front = [] {
    HWND native = FindWindowA("EM_DocumentWindow", nullptr);
    return native ? dynamic_cast<CP_Window*>(CP_Pane::FromWindow(native)) : nullptr;
  };
  const auto pane = [](CP_Window* window) {
    return dynamic_cast<GH_EM_QT_MoviePane*>(window->FindSubPaneById(CP_FourCC("EMFL"), false));
  };
  struct Case {
    const char* name;
    bool frontCloses;
  };
  const Case kCases[] = {{"the one in front closes", true}, {"the one behind closes", false}};
  for (const Case& c : kCases) {
    StartMain();
    MakeController(-305);
    mainPane->Pause();
    // As the application does, it lets the list-film windows close.
    CP_M_Commander::SetDefaultCommander(&commander);
    ASSERT_TRUE(RunActionText(play("sample200.flm"))) << c.name;
    CP_Window* behind = front();
    ASSERT_TRUE(RunActionText(play("cs.flm"))) << c.name;
    CP_Window* inFront = front();
    ASSERT_NE(behind, inFront) << c.name;
    ASSERT_EQ(inFront->GetHWND(), GetForegroundWindow()) << c.name;
    CP_Window* closing = c.frontCloses ? inFront : behind;
    CP_Window* staying = c.frontCloses ? behind : inFront;
    const std::string stayingFilm = SerialOfFilm(c.frontCloses ? "sample200.flm" : "cs.flm");
    ASSERT_FALSE(stayingFilm.empty()) << c.name;
    GH_EM_QT_MoviePane* stayingPane = pane(staying);
    // Stopped, so that only its taking the screen again starts it.
    stayingPane->StopIdleCalls();

    HWND closingFrame = closing->GetHWND();
    ClearTrace();
    if (c.frontCloses)
      SendMessageA(pane(closing)->GetHWND(), WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    else
      pane(closing)->RunFilmCommand("CloseWindow");
    kxtest::PumpUntil([&] { return !IsWindow(closingFrame) && GetFocus() == stayingPane->GetHWND(); }, 3000);
    EXPECT_FALSE(IsWindow(closingFrame)) << c.name;
    // The film that stays plays in its own window again, which has the
    // screen and the keys.
    bool attached = false;
    for (const std::string& line : standin::TraceLines("gworld movie" + stayingFilm + " "))
      attached = attached || line.find(" port0") == std::string::npos;
    EXPECT_TRUE(attached) << c.name << "\n" << standin::Trace();
    EXPECT_TRUE(stayingPane->IsIdling()) << c.name;
    EXPECT_EQ(staying->GetHWND(), GetForegroundWindow()) << c.name;
    EXPECT_EQ(stayingPane->GetHWND(), GetFocus()) << c.name;
    // The main film waits, its strip hidden, until the last list film goes.
    EXPECT_TRUE(mainPane->IsPaused()) << c.name;
    EXPECT_FALSE(IsWindowVisible(controllerWindow->GetHWND())) << c.name;
    delete staying;
    CP_M_Commander::SetDefaultCommander(nullptr);
    TearDown();
  }
}

TEST_F(EMPaneFileForm, TheListFilmsCommandsComeFromTheDataFileOfTheCurrentFolder) {
  StartFileForm();
  // Written after the main pane started: the list film reads it itself.
  mainpane::WriteDataFile({mainpane::ActionRecordBytes(1, FrameAt(20), "Press"),
                           mainpane::ActionRecordBytes(2, FrameAt(40), "Press"),
                           mainpane::ActionRecordBytes(2, "CloseWindow", "Leave"),
                           mainpane::ActionRecordBytes(2, FrameAt(60) + " CloseWindow(", "LeaveAfter"),
                           mainpane::ActionRecordBytes(2, "Exit", "Quit")});
  struct Case {
    const char* name;
    const char* command;
    int frameLeft;  // -1: nothing runs
    bool dismiss, exit;
  };
  const Case kCases[] = {
      {"the type-2 record runs", "Press", 40, false, false},
      {"a close waits for the click", "Leave", -1, true, false},
      {"a text that closes runs nothing else", "LeaveAfter", -1, true, false},
      {"exit waits for the click", "Quit", -1, false, true},
      {"no record runs nothing", "Missing", -1, false, false},
  };
  for (const Case& c : kCases) {
    FilmRoot = "Z:\\elsewhere\\";
    OpenEM({});
    EXPECT_EQ(folder + "\\", FilmRoot) << c.name;
    ASSERT_NE(nullptr, em->GetCDData()) << c.name;
    EXPECT_EQ(5u, em->GetCDData()->GetActions().size()) << c.name;
    commander.commands.clear();
    em->RunFilmCommand(c.command);
    EXPECT_EQ(c.frameLeft, panes::FrameLeft()) << c.name;
    if (c.frameLeft >= 0) {
      EXPECT_EQ(emWindow->GetHWND(), GetWindow(FindWindowA(nullptr, "playQTFrame"), GW_OWNER)) << c.name;
    }
    EXPECT_EQ(c.dismiss, em->IsDismissOnClick()) << c.name;
    EXPECT_EQ(c.exit, em->IsExitRequested()) << c.name;
    // No click is posted: the window stays until the next one.
    kxtest::PumpUntil([] { return false; }, 200);
    ASSERT_FALSE(EMWindowGone()) << c.name;
    if (c.dismiss || c.exit) {
      SendMessageA(em->GetHWND(), WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
      EXPECT_TRUE(EMWindowGone()) << c.name;
      EXPECT_EQ(c.exit ? std::vector<int32_t>{kCmd_Quit} : std::vector<int32_t>{}, commander.commands) << c.name;
      emWindow = nullptr;
    }
    CloseEM();
    EXPECT_EQ(-1, panes::FrameLeft()) << c.name << ": the frame goes with the list film";
  }
}

TEST_F(EMPaneFileForm, WithoutTheDataFileTheListsStayEmptyAndNothingIsSaid) {
  StartFileForm();
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  OpenEM({});
  EXPECT_EQ(folder + "\\", FilmRoot);
  ASSERT_NE(nullptr, em->GetCDData());
  EXPECT_TRUE(em->GetCDData()->GetActions().empty());
  EXPECT_TRUE(em->GetCDData()->GetFilmItems().empty());
  em->RunFilmCommand("Press");
  EXPECT_EQ(-1, panes::FrameLeft());
  EXPECT_FALSE(em->IsDismissOnClick());
  EXPECT_EQ(0, boxes.Count());
}
