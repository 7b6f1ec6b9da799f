// Command texts in the main video pane: the file form's start from the CD
// data file, the look-up of named actions, the close request, the wired
// messages of a film, and the play-list moves.
#include "MainPaneSupport.h"

#include "actions/MultimediaAction.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

using mainpane::ActionRecordBytes;
using mainpane::MainPaneTest;
using mainpane::ShippedFilm;
using mainpane::WriteDataFile;

namespace {

// What the test action saw: the Value of each run, in order.
std::vector<std::string> gRuns;

class RecordingAction : public MultimediaAction {
 public:
  explicit RecordingAction(ActionParameters& parameters) : MultimediaAction(parameters) {}
  void Execute() override { gRuns.push_back((*parameters)["Value"]); }
};
MultimediaActionMaker<RecordingAction> gRecordingMaker("testAction");

// An action that fails with an error of neither the framework's nor the
// store's family.
class FailingAction : public MultimediaAction {
 public:
  explicit FailingAction(ActionParameters& parameters) : MultimediaAction(parameters) {}
  void Execute() override { throw std::runtime_error("failed"); }
};
MultimediaActionMaker<FailingAction> gFailingMaker("failingAction");

// A folder of its own for the file form: the film and the data file.
class FileFormTest : public MainPaneTest {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "kx_fileform_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(folder.c_str());
    CopyFileA(ShippedFilm("cs.flm").c_str(), "cs.flm", FALSE);
    gRuns.clear();
  }
  void TearDown() override {
    MainPaneTest::TearDown();
    DeleteFileA("BINFILE.GHC");
    DeleteFileA("cs.flm");
    SetCurrentDirectoryA(saved);
    RemoveDirectoryA(folder.c_str());
  }
  std::string folder;
  char saved[MAX_PATH] = {};
};


// The owner window notes the presses it is handed and handles nothing.
class NotingWindow : public CP_Window {
 public:
  using CP_Window::CP_Window;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
      presses.push_back(message);
      return 7;
    }
    return CP_Window::HandleMessage(window, message, wParam, lParam);
  }
  std::vector<UINT> presses;
};

class MousePathTest : public FileFormTest {
 protected:
  CP_Window* NewWindow(const CP_WindowInfo& info) override {
    owner = new NotingWindow(nullptr, info, mainpane::kWindowTitle, 1);
    return owner;
  }
  std::vector<UINT> Press(UINT message) {
    owner->presses.clear();
    answer = SendMessageA(pane->GetHWND(), message, 0, MAKELPARAM(300, 40));
    return owner->presses;
  }
  NotingWindow* owner = nullptr;
  LRESULT answer = 0;
};

constexpr UINT kPresses[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};

}  // namespace

TEST(RunActionText, RunsOnlyCompleteTextsWithAMaker) {
  struct Case {
    const char* text;
    bool want;
    size_t runs;
  };
  const Case kCases[] = {
      {"testAction(Value=\"one\")", true, 1},
      {"launchURL", false, 0},                    // no parentheses: no name
      // The registry makes nothing for a name without a maker: nothing runs
      // and nothing is shown, but the text itself was complete.
      {"noSuchAction(Value=\"x\")", true, 0},
      {"testaction(Value=\"one\")", true, 0},  // names match exactly
      {"failingAction(Value=\"x\")", false, 0},  // the failure ends only the action
      {"", false, 0},
  };
  for (const Case& c : kCases) {
    gRuns.clear();
    EXPECT_EQ(c.want, RunActionText(c.text)) << c.text;
    EXPECT_EQ(c.runs, gRuns.size()) << c.text;
  }
}

TEST_F(FileFormTest, NamedActionsComeFromTheDataFile) {
  WriteDataFile({ActionRecordBytes(1, "testAction(Value=\"type one\")", "Press"),
                 ActionRecordBytes(2, "testAction(Value=\"type two\")", "Press"),
                 ActionRecordBytes(2, "testAction(Value=\"lower\")", "closewindow"),
                 ActionRecordBytes(2, "testAction(Value=\"x\") CloseWindow(", "Leave"),
                 ActionRecordBytes(2, "launchURL", "Broken"), ActionRecordBytes(2, "noSuchAction(A=\"1\")", "Unknown")});
  Start("cs.flm,0", 320, 48, -1, -1);
  pane->StartFromCommandLine();
  ASSERT_NE(nullptr, pane->GetCDData());
  EXPECT_EQ(2, pane->GetPlayMode());
  struct Case {
    const char* name;
    bool want;
    const char* ran;  // the Value of the action that ran, "" for none
    bool closes;
  };
  const Case kCases[] = {
      {"Press", true, "type two", false},  // the type-1 record is skipped
      {"closewindow", true, "lower", false},
      {"Broken", false, "", false},
      {"Unknown", true, "", false},  // complete, but no maker: nothing runs
      {"Missing", false, "", false},
      {"Leave", true, "", true},           // holds "CloseWindow(": closes, runs nothing
  };
  for (const Case& c : kCases) {
    gRuns.clear();
    EXPECT_EQ(c.want, pane->RunAction(c.name)) << c.name;
    EXPECT_EQ(std::string(c.ran), gRuns.empty() ? std::string() : gRuns.front()) << c.name;
    EXPECT_EQ(c.closes, pane->IsCloseRequested()) << c.name;
  }
}

TEST_F(FileFormTest, CloseWindowByNameNeedsNoDataFile) {
  Start("cs.flm,0", 320, 48, -1, -1);
  pane->StartFromCommandLine();
  EXPECT_TRUE(pane->RunAction("CloseWindow"));
  EXPECT_TRUE(pane->IsCloseRequested());
}

TEST_F(FileFormTest, FileFormPlaysTheFilmAtItsOwnSizeAndPassesClicksToIt) {
  WriteDataFile({ActionRecordBytes(2, "testAction(Value=\"played\")", "SPRITE_PlayPause")});
  Start("cs.flm,0", 320, 48, 640, 480);
  pane->StartFromCommandLine();
  ASSERT_NE(nullptr, pane->GetMovie());
  EXPECT_EQ(320, pane->GetFilmWidth());
  EXPECT_EQ(48, pane->GetFilmHeight());
  EXPECT_EQ(nullptr, pane->GetCurrentEntry());
  // A click on the strip's first button reaches the film in this form; its
  // wired message pauses the film and runs the record of its name.
  SendMessageA(pane->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 24));
  SendMessageA(pane->GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(10, 24));
  kxtest::PumpUntil([] { return !gRuns.empty(); }, 2000);
  ASSERT_EQ(1u, gRuns.size());
  EXPECT_EQ("played", gRuns[0]);
  EXPECT_TRUE(pane->IsPaused());
}

TEST_F(FileFormTest, ATrackOfTheFilmGoesToATemporaryFile) {
  CopyFileA(ShippedFilm("default.flm").c_str(), "default.flm", FALSE);
  Start("default.flm,3,1", 800, 600, 640, 480);
  pane->StartFromCommandLine();
  // The track path answers 0, so no click is posted; the track fills the pane.
  EXPECT_NE(nullptr, pane->GetMovie());
  EXPECT_EQ(800, pane->GetFilmWidth());
  EXPECT_EQ(600, pane->GetFilmHeight());
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  EXPECT_EQ(std::string(temp) + "3.mov", pane->GetTrackTempFile());
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, pane->GetHWND(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
  const std::string temporary = pane->GetTrackTempFile();
  delete window;
  window = nullptr;
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(temporary.c_str())) << "removed with the pane";
  DeleteFileA("default.flm");
}

TEST_F(MainPaneTest, PreviousEntryEndsOnTheEntryBeforeAfterTheAdvance) {
  struct Case {
    const char* name;
    size_t entries;
    int advances;  // PlayNextEntry calls before the step back
    int want;      // index of the entry after the step back and one advance
  };
  const Case kCases[] = {
      {"from the first of three, the third", 3, 1, 2},
      {"from the second, the first", 3, 2, 0},
      {"from the third, the second", 3, 3, 1},
      {"one entry: that entry again", 1, 1, 0},
  };
  Start("", 800, 600, 640, 480);
  for (const Case& c : kCases) {
    MakePane(800, 600, 640, 480);
    for (size_t i = 0; i < c.entries; ++i) {
      PlaylistEntry entry;
      entry.itemId = int32_t(i + 1);
      entry.parentType = 1;
      entry.fileName = "missing" + std::to_string(i) + ".flm";
      pane->GetPlayList().push_back(entry);
    }
    for (int i = 0; i < c.advances; ++i) pane->PlayNextEntry();
    pane->PreviousEntry();
    pane->PlayNextEntry();
    ASSERT_NE(nullptr, pane->GetCurrentEntry()) << c.name;
    EXPECT_EQ(c.want + 1, pane->GetCurrentEntry()->itemId) << c.name;
  }
  MakePane(800, 600, 640, 480);
  pane->PreviousEntry();  // an empty list: nothing moves
  EXPECT_EQ(nullptr, pane->GetCurrentEntry());
}

TEST_F(MousePathTest, APressWhileChangingFilmsOnlyClearsTheFlag) {
  Start("", 320, 240, 320, 240);
  CP_WindowInfo info(CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(100, 20)), CP_Window::kDocument);
  info.style = WS_POPUP;
  std::unique_ptr<CP_Window> sprite(new CP_Window(nullptr, info, "Sprite Window", 1));
  for (UINT message : kPresses) {
    sprite->Hide();
    pane->SetChangingFilm(true);
    EXPECT_TRUE(Press(message).empty()) << message;
    EXPECT_TRUE(IsWindowVisible(sprite->GetHWND())) << "the sprite window comes forward";
    EXPECT_EQ(0, answer) << message;
    EXPECT_FALSE(pane->IsChangingFilm()) << message;
    // The next press is treated normally: in the play list it goes to the owner.
    EXPECT_EQ(std::vector<UINT>{message}, Press(message)) << message;
    EXPECT_EQ(7, answer) << "the owner's answer";
  }
}

TEST_F(MousePathTest, InTheFileFormPressesStayWithThePaneUntilACloseRequest) {
  Start("cs.flm,0", 320, 48, -1, -1);
  pane->StartFromCommandLine();
  ASSERT_EQ(2, pane->GetPlayMode());
  ASSERT_NE(nullptr, pane->GetMovie());
  for (UINT message : kPresses) {
    EXPECT_TRUE(Press(message).empty()) << message;
    EXPECT_EQ(0, answer) << message;
  }
  SendMessageA(pane->GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(300, 40));
  // A close request hands every press to the owner, which ends the run.
  ASSERT_TRUE(pane->RunAction("CloseWindow"));
  for (UINT message : kPresses) {
    EXPECT_EQ(std::vector<UINT>{message}, Press(message)) << message;
    EXPECT_EQ(7, answer) << message;
  }
}

TEST_F(MousePathTest, TimerOneIsStoppedByItsFirstTick) {
  Start("", 320, 240, 320, 240);
  HWND w = pane->GetHWND();
  ASSERT_NE(0u, SetTimer(w, 1, 10, nullptr));
  ASSERT_NE(0u, SetTimer(w, 2, 10, nullptr));
  EXPECT_EQ(0, SendMessageA(w, WM_TIMER, 1, 0));
  Sleep(60);
  MSG msg;
  bool one = false, two = false;
  while (PeekMessageA(&msg, w, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    one = one || msg.wParam == 1;
    two = two || msg.wParam == 2;
  }
  EXPECT_FALSE(one) << "timer 1 is gone";
  EXPECT_TRUE(two) << "other timers go on";
  KillTimer(w, 2);
}
