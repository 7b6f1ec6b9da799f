// A film's own strip in the "Sprite Window" of a whole engine: the track
// that the film's entry names is cut out of the film and played there, its
// buttons run the film's commands, and a film without one takes the window
// away, also when a list film hands the screen back. And the controller
// film of a start without a command line.
#include "EngineStart.h"

#include "actions/playQTAction.h"
#include "panes/GH_Controller_QT_MoviePane.h"
#include "panes/GH_EM_QT_MoviePane.h"
#include "panes/GH_Sprite_QT_MoviePane.h"

#include <cstdio>

namespace {

class SpriteStrip : public engine::EngineStart {
 protected:
  void SetUp() override {
    EngineStart::SetUp();
    // The sample films lie on "the CD".
    WriteSetting("CDDrive", engine::ShippedFolder().c_str());
  }
  void TearDown() override {
    EngineStart::TearDown();
    WriteSetting("CDDrive", nullptr);
  }
  // Film 70: parent type 1 is a film of the CD, 2 one installed on the
  // drive "SHIP", whose folder holds the sample films too.
  void AddFilm(const char* file, int32_t parentType, int32_t localTrack, int32_t globalTrack) {
    if (parentType == 2)
      AddRow("GH_DriveDB", {{"DRIVEID", 2}, {"DRIVENAME", 0, "Ship"}, {"LABEL", 0, "SHIP"},
                            {"PATH", 0, engine::ShippedFolder().c_str()}});
    AddRow("GH_ConfigDB", {{"ITEM_ID", 70}, {"ITEMTYPE", 4}, {"PARENTTYPE", parentType}, {"ICONRESID", 3},
                           {"LOOP", 1}, {"RATE", 1}, {"TKLOCAL", localTrack}, {"TKGLOBAL", globalTrack},
                           {"FileName", 0, file}, {"ITEMTEXT", 0, file}, {"AliasRoot", 0, "SHIP"}});
  }
  static HWND SpriteWindow() { return engine::OwnWindow("Sprite Window"); }
  static GH_Sprite_QT_MoviePane* Strip() {
    return PaneIn<GH_Sprite_QT_MoviePane>("Sprite Window", CP_FourCC("SPRT"));
  }
  static int16_t StripWidth() {
    Rect box{};
    if (Strip() && Strip()->GetSpriteMovie()) GetMovieBox(Strip()->GetSpriteMovie(), &box);
    return int16_t(box.right - box.left);
  }
};

}  // namespace

TEST_F(SpriteStrip, TheTrackTheEntryNamesPlaysInTheSpriteWindow) {
  struct Case {
    const char* name;
    int32_t parentType, localTrack, globalTrack;
  } const kCases[] = {
      {"a film of the CD: its global track", 1, 0, 3},
      {"an installed film: its local track", 2, 3, 0},
  };
  for (const Case& c : kCases) {
    SetUp();
    AddFilm("sample200.flm", c.parentType, c.localTrack, c.globalTrack);
    Run("70");
    ASSERT_NE(nullptr, MainPane()) << c.name;
    ASSERT_NE(nullptr, MainPane()->GetMovie()) << c.name;
    ASSERT_NE(nullptr, Strip()) << c.name;
    EXPECT_TRUE(IsWindowVisible(SpriteWindow())) << c.name;
    EXPECT_TRUE(IsWindowVisible(Strip()->GetHWND())) << c.name;
    ASSERT_NE(nullptr, Strip()->GetSpriteController()) << c.name;
    EXPECT_EQ(1, GetMovieTrackCount(Strip()->GetSpriteMovie())) << c.name << ": the strip alone";
    EXPECT_EQ(300, StripWidth()) << c.name;
    // The pane is a whole strip high from the start.
    EXPECT_EQ(300, Strip()->GetWidth()) << c.name;
    EXPECT_EQ(GH_Sprite_QT_MoviePane::kStripHeight, Strip()->GetHeight()) << c.name;
    TearDown();
  }
}

TEST_F(SpriteStrip, AButtonOfTheStripRunsTheFilmsCommand) {
  AddFilm("sample200.flm", 1, 0, 3);
  Run("70");
  ASSERT_NE(nullptr, Strip());
  ASSERT_NE(nullptr, Strip()->GetSpriteController());
  // "WATCH", the first button after the lamp, sends "ShowLighthouse": the
  // film's own table binds it to a playQT text, which the main pane runs
  // and counts.
  const LPARAM watch = MAKELPARAM(94, 24);
  SendMessageA(Strip()->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, watch);
  SendMessageA(Strip()->GetHWND(), WM_LBUTTONUP, 0, watch);
  EXPECT_TRUE(MainPane()->IsPaused()) << "the main film waits for the command";
  EXPECT_EQ((std::vector<std::string>{"GMID=1002 MODE_P=1 EM_COUNT=1"}),
            Rows("GH_Track", {"GMID", "MODE_P", "EM_COUNT"}));
}

TEST_F(SpriteStrip, AFilmWithoutAStripTakesTheWindowAway) {
  struct Case {
    const char* name;
    const char* file;
    int32_t globalTrack;
    int16_t track;  // what OpenFilm is asked for
    bool shown;
  } const kCases[] = {
      {"a film without that track", "sampleplain.flm", 3, 0, false},
      {"an entry that names no track", "sample200.flm", 0, 0, false},
      // The play action may pass -1: the strip goes, the window stays.
      {"track -1", "sample200.flm", 3, -1, true},
  };
  AddFilm("sample200.flm", 1, 0, 3);
  Run("70");
  GH_QT_MoviePane* pane = MainPane();
  ASSERT_NE(nullptr, pane);
  PlaylistEntry& entry = pane->GetPlayList().front();
  for (const Case& c : kCases) {
    entry.fileName = "sample200.flm";
    entry.tkGlobal = 3;
    ASSERT_EQ(2, pane->OpenFilm(pane->CurrentFilmSpec(), 1, 1.0, 0)) << c.name;
    ASSERT_TRUE(IsWindowVisible(SpriteWindow())) << c.name;

    entry.fileName = c.file;
    entry.tkGlobal = c.globalTrack;
    EXPECT_EQ(2, pane->OpenFilm(pane->CurrentFilmSpec(), 1, 1.0, c.track)) << c.name;
    EXPECT_EQ(c.shown, bool(IsWindowVisible(SpriteWindow()))) << c.name;
    EXPECT_EQ(nullptr, Strip()->GetSpriteMovie()) << c.name;
    EXPECT_EQ(nullptr, Strip()->GetSpriteController()) << c.name;
    EXPECT_NE(nullptr, pane->GetMovie()) << c.name << ": the main film plays on";
  }
}

// A list film over a film started by its number hides the sprite window;
// when it closes, the window comes back only with the film's strip in it:
// empty, it would stand as a black band above everything.
TEST_F(SpriteStrip, AListFilmsEndBringsBackOnlyAStripThatIsThere) {
  struct Case {
    const char* name;
    const char* file;
    bool shown;
  } const kCases[] = {
      {"a film with its strip", "sample200.flm", true},
      {"a film without one", "sampleplain.flm", false},
  };
  for (const Case& c : kCases) {
    SetUp();
    AddFilm(c.file, 1, 0, 3);
    Run("70");
    ASSERT_NE(nullptr, MainPane()) << c.name;
    ASSERT_EQ(c.shown, bool(IsWindowVisible(SpriteWindow()))) << c.name;
    // The play action itself: this program's registry records "playQT".
    ActionParameters parameters;
    parameters["File"] = engine::ShippedFolder() + "\\sample240.flm";
    parameters["AutoPlay"] = "1";
    parameters["DismissOnClick"] = "1";
    playQTAction(parameters).Execute();
    auto* list = PaneIn<GH_EM_QT_MoviePane>("EMWindow", CP_FourCC("EMFL"));
    ASSERT_NE(nullptr, list) << c.name;
    EXPECT_FALSE(IsWindowVisible(SpriteWindow())) << c.name << ": the list film has the screen";

    SendMessageA(list->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ASSERT_EQ(nullptr, engine::OwnWindow("EMWindow")) << c.name;
    EXPECT_EQ(c.shown, bool(IsWindowVisible(SpriteWindow()))) << c.name;
    TearDown();
  }
}

TEST_F(SpriteStrip, TheControllerFilmIsBoundAgainOnceItsWindowShows) {
  MakeInstallation();
  Run("");
  auto* controller = PaneIn<GH_Controller_QT_MoviePane>("Controller Window", CP_FourCC("CONT"));
  ASSERT_NE(nullptr, controller);
  EXPECT_TRUE(IsWindowVisible(controller->GetOwnerWindow()->GetHWND()));
  // The trace's name of the first film opened of that file.
  auto movieOf = [](const std::string& file) {
    for (const std::string& line : engine::TraceLines("open movie"))
      if (line.size() > file.size() && line.compare(line.size() - file.size(), file.size(), file) == 0)
        return line.substr(5, line.find(' ', 5) - 5);
    return std::string("none");
  };
  const std::string strip = movieOf("CS.flm"), listed = movieOf("Sea.flm");
  // Bound when made and when attached; then the listed film starts in the
  // main pane; then the controller film is bound once more, after its
  // window is shown.
  const std::vector<std::string> bindings = engine::TraceLines("gworld ");
  ASSERT_FALSE(bindings.empty()) << engine::Trace();
  EXPECT_FALSE(engine::TraceLines("gworld " + listed + " ").empty()) << engine::Trace();
  EXPECT_EQ(3u, engine::TraceLines("gworld " + strip + " ").size()) << engine::Trace();
  EXPECT_EQ(0u, bindings.back().find("gworld " + strip + " ")) << engine::Trace();
}
