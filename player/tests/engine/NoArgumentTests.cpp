// The engine's usual start, with no command line, against a CD database
// seeded as an installation ships it: two films of the CD in the drive (or
// none), the default film in the installation folder (or not), the play
// list's move from entry to entry, and the controller strip.
#include "EngineStart.h"

#include "CP_Alert.h"
#include "CP_Framework.h"
#include "CP_FourCC.h"
#include "CP_Window.h"
#include "DatabaseFixture.h"
#include "WinTestSupport.h"
#include "support/ForeignWindows.h"
#include "document/GH_Player_Application.h"
#include "panes/GH_Controller_QT_MoviePane.h"
#include "panes/GH_QT_MoviePane.h"
#include "utility/GH_Utility.h"

#include <algorithm>
#include <memory>

namespace {

std::string Shipped(const std::string& name) { return engine::ShippedFolder() + "\\" + name; }

class NoArgumentStart : public engine::EngineStart {
 protected:
  void SetUp() override {
    EngineStart::SetUp();
    fApp = Folder() + "\\app";
    fCD = Folder() + "\\cd";
    CreateDirectoryA(fApp.c_str(), nullptr);
    CreateDirectoryA(fCD.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(Shipped("cs.flm").c_str(), (fApp + "\\CS.flm").c_str(), FALSE));
    // Two films of the "CD": "Harbour Lights" (GMID 1001) and "Lighthouse" (1002).
    ASSERT_TRUE(CopyFileA(Shipped("sample240.flm").c_str(), (fCD + "\\One.flm").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(Shipped("sample200.flm").c_str(), (fCD + "\\Two.flm").c_str(), FALSE));
    WriteSetting("Path", fApp.c_str());
    WriteSetting("CDDrive", fCD.c_str());
    WriteSetting("Mute", "0");
    WriteSetting("Volume", "10");
  }
  void TearDown() override {
    End();
    for (const char* key : {"Path", "CDDrive", "Mute", "Volume", "Randomize"}) WriteSetting(key, nullptr);
    AllItems.clear();
    EngineStart::TearDown();
  }
  // The two films as rows of the CD in the drive, chosen for playing.
  void AddFilms() {
    const std::string label = GetVolumeLabel(fCD + "\\");
    int32_t id = 80, order = 1;
    for (const char* file : {"One.flm", "Two.flm"}) {
      AddRow("GH_ConfigDB", {{"ITEM_ID", id++}, {"ITEMTYPE", 4}, {"PARENTTYPE", 1}, {"PARENT_ID", 10},
                             {"SORTORDER", order++}, {"PLAY", 1}, {"LOOP", 1}, {"RATE", 1},
                             {"VOLUMENAME", 0, label.c_str()}, {"FileName", 0, file}, {"ITEMTEXT", 0, file}});
    }
  }
  std::vector<std::string> Usage() { return Rows("GH_Track", {"GMID", "MODE_P", "MODE_A", "REC_SAVED"}); }

  std::string fApp, fCD;
};

std::vector<std::string> FileNames(const std::vector<PlaylistEntry>& list) {
  std::vector<std::string> names;
  for (const PlaylistEntry& e : list) names.push_back(e.fileName);
  return names;
}

}  // namespace

TEST_F(NoArgumentStart, FilmsAndTheDefaultFilmDecideWhatPlays) {
  using Names = std::vector<std::string>;
  struct Case {
    const char* name;
    bool films, randomize, defaultFilm;
    Names playList;  // in its order; empty: either order
    bool alert;      // "Neither the default movie..."
    bool movie;      // a film in the pane at the end
    int32_t opened;  // OpenFilm calls
    Names usage;
  };
  const Names kOneCounted = {"GMID=1001 MODE_P=0 MODE_A=1 REC_SAVED=N"};
  const Case kCases[] = {
      // The default film opens (or not); with nothing to play after it the
      // user is told, and it stays in the pane, looping.
      {"no films, default film", false, false, true, {}, true, true, 1, {}},
      {"no films, no default film", false, false, false, {}, true, false, 1, {}},
      // The list starts at its last entry, so the first advance wraps at
      // once: the first film plays, is counted, and the default film then
      // loops in its place.
      {"two films, default film", true, false, true, {"One.flm", "Two.flm"}, false, true, 3, kOneCounted},
      {"two films, no default film", true, false, false, {"One.flm", "Two.flm"}, false, false, 3, kOneCounted},
      {"two films shuffled, default film", true, true, true, {}, false, true, 3, {}},
      {"two films shuffled, no default film", true, true, false, {}, false, false, 3, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.films) AddFilms();
    WriteSetting("Randomize", c.randomize ? "1" : "0");
    if (c.defaultFilm) {
      ASSERT_TRUE(CopyFileA(Shipped("default.flm").c_str(), (fApp + "\\default.flm").c_str(), FALSE));
    }
    const std::vector<std::string> itemsBefore = Rows("GH_ConfigDB", {"ITEM_ID"});
    {
      kxtest::MessageBoxWatcher alerts(GetApplicationName(), IDOK);
      Run("");
      EXPECT_EQ(c.alert ? 1 : 0, alerts.Count());
      if (c.alert) {
        EXPECT_EQ("Neither the default movie or a valid database cant be found. Please re-install the software",
                  alerts.LastText());
      }
    }
    GH_QT_MoviePane* pane = MainPane();
    ASSERT_NE(nullptr, pane);
    EXPECT_EQ(itemsBefore, Rows("GH_ConfigDB", {"ITEM_ID"})) << "a CD without a data file registers nothing";
    const auto listed = std::count_if(AllItems.begin(), AllItems.end(), [](const PlaylistEntry& e) {
      return e.fileName == "One.flm" || e.fileName == "Two.flm";
    });
    EXPECT_EQ(c.films ? 2 : 0, listed) << "every row is read for the installation";
    const Names names = FileNames(pane->GetPlayList());
    if (c.films) {
      ASSERT_EQ(2u, names.size());
      if (!c.playList.empty()) {
        EXPECT_EQ(c.playList, names);
      }
      EXPECT_EQ(Names({"One.flm", "Two.flm"}), Names({std::min(names[0], names[1]), std::max(names[0], names[1])}));
      ASSERT_NE(nullptr, pane->GetCurrentEntry());
      EXPECT_EQ(&pane->GetPlayList().front(), pane->GetCurrentEntry()) << "the first entry played";
    } else {
      EXPECT_TRUE(names.empty());
      EXPECT_EQ(nullptr, pane->GetCurrentEntry());
    }
    EXPECT_EQ(1, pane->GetPlayMode()) << "the default film loops";
    EXPECT_EQ(c.movie, pane->GetMovie() != nullptr);
    EXPECT_EQ(c.opened, pane->GetOpenCount());
    if (c.films && c.randomize) {
      // Whatever the order, the film that played first is the one counted.
      const std::string gmid = pane->GetCurrentEntry()->fileName == "One.flm" ? "1001" : "1002";
      EXPECT_EQ(Names({"GMID=" + gmid + " MODE_P=0 MODE_A=1 REC_SAVED=N"}), Usage());
    } else {
      EXPECT_EQ(c.usage, Usage());
    }
    End();
    EmptyTable("GH_ConfigDB");
    EmptyTable("GH_Track");
    AllItems.clear();
    DeleteFileA((fApp + "\\default.flm").c_str());
  }
}

TEST_F(NoArgumentStart, EachAdvanceCountsItsFilmAndTheWrapPlaysTheDefaultFilm) {
  AddFilms();
  WriteSetting("Randomize", "0");
  ASSERT_TRUE(CopyFileA(Shipped("default.flm").c_str(), (fApp + "\\default.flm").c_str(), FALSE));
  Run("");
  GH_QT_MoviePane* pane = MainPane();
  ASSERT_NE(nullptr, pane);
  CP_Window* controller = WindowTitled("Controller Window");
  ASSERT_NE(nullptr, controller);
  CP_Pane* strip = controller->FindSubPaneById(CP_FourCC("CONT"), false);
  ASSERT_NE(nullptr, strip);

  // One step on: the second film, counted, no wrap and so no default film.
  SetFocus(pane->GetHWND());
  EXPECT_EQ(2, pane->PlayNextEntry());
  EXPECT_EQ("Two.flm", pane->GetCurrentEntry()->fileName);
  EXPECT_EQ(4, pane->GetOpenCount());
  EXPECT_FALSE(pane->IsChangingFilm());
  EXPECT_EQ(strip->GetHWND(), GetFocus()) << "the keys go to the controller strip";
  EXPECT_EQ((std::vector<std::string>{"GMID=1001 MODE_P=0 MODE_A=1 REC_SAVED=N",
                                      "GMID=1002 MODE_P=0 MODE_A=1 REC_SAVED=N"}),
            Usage());

  // The next wraps: the first film again, counted again, then the default film.
  EXPECT_EQ(2, pane->PlayNextEntry());
  EXPECT_EQ("One.flm", pane->GetCurrentEntry()->fileName);
  EXPECT_EQ(6, pane->GetOpenCount()) << "the entry and then the default film";
  EXPECT_EQ(1, pane->GetPlayMode());
  EXPECT_TRUE(pane->IsFilmPlaying());
  EXPECT_EQ((std::vector<std::string>{"GMID=1001 MODE_P=0 MODE_A=2 REC_SAVED=N",
                                      "GMID=1002 MODE_P=0 MODE_A=1 REC_SAVED=N"}),
            Usage());
}

TEST_F(NoArgumentStart, TheControllerStripComesUpWithItsFilmOrAMessage) {
  struct Case {
    const char* name;
    bool controllingFilm;
  };
  const Case kCases[] = {{"CS.flm in the Path folder", true}, {"no CS.flm: told once, the run goes on", false}};
  // Films to play, so that no other message comes up.
  AddFilms();
  ASSERT_TRUE(CopyFileA(Shipped("default.flm").c_str(), (fApp + "\\default.flm").c_str(), FALSE));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    if (!c.controllingFilm) DeleteFileA((fApp + "\\CS.flm").c_str());
    {
      kxtest::MessageBoxWatcher boxes("Glintharbour KX", IDOK);
      Run("");
      EXPECT_EQ(c.controllingFilm ? 0 : 1, boxes.Count());
      if (!c.controllingFilm) {
        EXPECT_EQ("Cannot find the Controlling Sprite Movie File.\r\nPlease Re-Install.", boxes.LastText());
      }
    }
    HWND main = FindWindowA(nullptr, "MainVideoWindow");
    ASSERT_NE(nullptr, main);
    CP_Window* controller = WindowTitled("Controller Window");
    ASSERT_NE(nullptr, controller);
    HWND strip = controller->GetHWND();
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowVisible(strip));
    EXPECT_TRUE(kxtest::Above(strip, main)) << "shown after the main window, in front of it";
    RECT r{};
    GetWindowRect(strip, &r);
    EXPECT_EQ(-305, r.left) << "closed: only its handle shows";
    EXPECT_EQ(GetDesktopHeight() - 48, r.top);
    EXPECT_EQ(320, r.right - r.left);
    EXPECT_EQ(48, r.bottom - r.top);
    EXPECT_EQ(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, GetWindowLongA(strip, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    auto* pane = dynamic_cast<GH_Controller_QT_MoviePane*>(controller->FindSubPaneById(CP_FourCC("CONT"), false));
    ASSERT_NE(nullptr, pane);
    EXPECT_EQ(c.controllingFilm, pane->GetMovie() != nullptr);
    HWND sprite = FindWindowA(nullptr, "Sprite Window");
    ASSERT_NE(nullptr, sprite);
    EXPECT_EQ(WS_EX_TOOLWINDOW, GetWindowLongA(sprite, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW))
        << "not topmost without a command line";
    ASSERT_NE(nullptr, MainPane());
    EXPECT_EQ(MainPane()->GetHWND(), GetFocus()) << "the keys go to the main pane";
    End();
    AllItems.clear();
  }
}
