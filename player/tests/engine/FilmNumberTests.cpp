// A start with a film number against a CD database seeded as an
// installation ships it: the film of that row plays in a loop and each
// start on request is counted in the film's usage row.
#include "EngineStart.h"

#include <cstdio>
#include <memory>

namespace {

class FilmNumberStart : public engine::EngineStart {
 protected:
  void SetUp() override {
    EngineStart::SetUp();
    // The sample films lie on "the CD": the CD drive setting names their folder.
    WriteSetting("CDDrive", engine::ShippedFolder().c_str());
  }
  void TearDown() override {
    EngineStart::TearDown();
    WriteSetting("CDDrive", nullptr);
  }
  void AddFilmRow(int32_t id, int32_t type, int16_t icon, const char* file) {
    AddRow("GH_ConfigDB", {{"ITEM_ID", id}, {"ITEMTYPE", type}, {"PARENTTYPE", 1}, {"ICONRESID", icon},
                           {"LOOP", 1}, {"RATE", 1}, {"FileName", 0, file}, {"ITEMTEXT", 0, file}});
  }

};

}  // namespace

TEST_F(FilmNumberStart, TheFilmPlaysInALoopAndEachStartIsCounted) {
  AddFilmRow(50, 4, 3, "sample200.flm");
  for (const char* want : {"GMID=1002 MODE_P=1 MODE_A=0 EM_COUNT=0 REC_SAVED=N",
                           "GMID=1002 MODE_P=2 MODE_A=0 EM_COUNT=0 REC_SAVED=N"}) {
    Run("50");
    GH_QT_MoviePane* pane = MainPane();
    ASSERT_NE(nullptr, pane);
    EXPECT_EQ(1, pane->GetPlayMode()) << "a single film, played again at its end";
    ASSERT_EQ(1u, pane->GetPlayList().size());
    ASSERT_NE(nullptr, pane->GetCurrentEntry());
    EXPECT_EQ(50, pane->GetCurrentEntry()->itemId);
    EXPECT_NE(nullptr, pane->GetMovie());
    EXPECT_TRUE(pane->IsFilmPlaying());
    EXPECT_EQ((std::vector<std::string>{want}), Rows("GH_Track", {"GMID", "MODE_P", "MODE_A", "EM_COUNT", "REC_SAVED"}));
    // The film's end starts it again rather than moving on.
    pane->StopFilm();
    GH_QT_MoviePane::FilmActionFilter(pane->GetController(), mcActionIdle, nullptr, reinterpret_cast<QTRefCon>(pane));
    EXPECT_TRUE(pane->IsFilmPlaying());
    EXPECT_EQ(50, pane->GetCurrentEntry()->itemId);
    End();
  }
}

// The item table's tag file is derived from the table: lost or damaged, it
// is written again and the film of the number plays.
TEST_F(FilmNumberStart, TheFilmPlaysWhenTheItemTablesTagFileIsLostOrDamaged) {
  AddFilmRow(50, 4, 3, "sample200.flm");
  const std::string tags = TablePath("GH_ConfigDB.tags");
  struct Case {
    const char* name;
    const char* tagFile;  // null: none
  };
  const Case kCases[] = {{"lost", nullptr}, {"damaged", "ITEMID NOSUCHFIELD\r\n"}, {"emptied", ""}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DeleteFileA(tags.c_str());
    if (c.tagFile) {
      std::FILE* f = std::fopen(tags.c_str(), "wb");
      ASSERT_NE(nullptr, f);
      std::fputs(c.tagFile, f);
      std::fclose(f);
    }
    Run("50");
    GH_QT_MoviePane* pane = MainPane();
    ASSERT_NE(nullptr, pane);
    ASSERT_NE(nullptr, pane->GetCurrentEntry());
    EXPECT_EQ(50, pane->GetCurrentEntry()->itemId);
    EXPECT_TRUE(pane->IsFilmPlaying());
    End();
    std::FILE* f = std::fopen(tags.c_str(), "rb");
    ASSERT_NE(nullptr, f) << "written again";
    char text[128] = {};
    EXPECT_EQ(std::string("ITEMID ITEM_ID\r\nALIASROOT ALIASROOT\r\n"), std::string(text, std::fread(text, 1, sizeof text, f)));
    std::fclose(f);
  }
}

TEST_F(FilmNumberStart, ASkipForwardReplaysTheLoopingFilmAtItsVolume) {
  AddFilmRow(50, 4, 3, "sample200.flm");
  WriteSetting("Volume", "8");
  WriteSetting("Mute", "0");
  Run("50");
  GH_QT_MoviePane* pane = MainPane();
  ASSERT_NE(nullptr, pane);
  ASSERT_EQ(1, pane->GetPlayMode());
  pane->StopFilm();  // what the controller's skip forward does
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  GH_QT_MoviePane::FilmActionFilter(pane->GetController(), mcActionIdle, nullptr, reinterpret_cast<QTRefCon>(pane));
  const std::string trace = standin::Trace();
  QTStandInControl(kQTStandInTraceStop, 0, nullptr, 0);
  const size_t volume = trace.find(" volume 200");
  EXPECT_NE(std::string::npos, volume) << trace;
  EXPECT_LT(volume, trace.find(" play 65536")) << "the volume comes back before the film plays";
  EXPECT_TRUE(pane->IsFilmPlaying());
  WriteSetting("Volume", nullptr);
  WriteSetting("Mute", nullptr);
}

TEST_F(FilmNumberStart, RowsThatAreNoPlayableFilmEndTheRun) {
  struct Case {
    const char* name;
    const char* number;
  };
  AddFilmRow(60, 1, 3, "sample200.flm");  // a CD row
  AddFilmRow(61, 4, 1, "sample200.flm");  // a film with the refused icon
  const Case kCases[] = {{"not a film", "60"}, {"icon 1", "61"}, {"no such row", "62"}, {"a leading comma", ",5"}};
  for (const Case& c : kCases) {
    Run(c.number);
    ASSERT_NE(nullptr, MainPane()) << c.name;
    EXPECT_EQ(nullptr, MainPane()->GetMovie()) << c.name;
    EXPECT_TRUE(MainPane()->GetPlayList().empty()) << c.name;
    EXPECT_TRUE(kxtest::PumpUntil([&] { return application->IsQuitting(); }, 3000)) << c.name;
    End();
  }
  EXPECT_TRUE(Rows("GH_Track", {"GMID"}).empty()) << "nothing counted";
}

TEST_F(FilmNumberStart, SpriteCommandsComeFromTheFilmsOwnTableAndAreCounted) {
  AddFilmRow(70, 4, 3, "sample200.flm");
  Run("70");
  GH_QT_MoviePane* pane = MainPane();
  ASSERT_NE(nullptr, pane);
  // The CD database binds nothing to the sprite: the film's own action
  // table does ("ShowLighthouse", a playQT text; the play maker of these
  // tests stands in for the action).
  EXPECT_TRUE(pane->RunFilmCommand("ShowLighthouse"));
  EXPECT_TRUE(pane->RunFilmCommand("ShowLighthouse"));
  EXPECT_TRUE(pane->RunFilmCommand("NoSuchSprite"));
  EXPECT_FALSE(pane->IsCloseRequested());
  EXPECT_EQ((std::vector<std::string>{"GMID=1002 MODE_P=1 EM_COUNT=2"}), Rows("GH_Track", {"GMID", "MODE_P", "EM_COUNT"}));
  EXPECT_TRUE(pane->RunFilmCommand("CloseWindow"));
  EXPECT_TRUE(pane->IsCloseRequested());
}

// A films-folder row without a folder takes the films folder the engine
// sets up, and the setting follows it; it never records an empty folder.
TEST_F(FilmNumberStart, AFilmsFolderRowWithoutAFolderTakesTheFilmsFolder) {
  AddFilmRow(50, 4, 3, "sample200.flm");
  EmptyTable("GH_DriveDB");
  AddRow("GH_DriveDB", {{"DRIVEID", 1}, {"DRIVENAME", 0, "Glintharbour Films"},
                        {"LABEL", 0, "Glintharbour Films"}, {"PATH", 0, ""}});
  WriteSetting("MovieDirectory", nullptr);
  struct Case {
    const char* name;
    bool installed;  // a `Path` setting, under which the films folder is made
    std::string wantPath;
  } const kCases[] = {
      {"installed", true, Folder() + "\\Glintharbour Films\\"},
      {"no installation: nothing recorded", false, ""},
  };
  for (const Case& c : kCases) {
    WriteSetting("Path", c.installed ? Folder().c_str() : nullptr);
    Run("50");
    ASSERT_NE(nullptr, MainPane()) << c.name;
    End();
    EXPECT_EQ((std::vector<std::string>{"PATH=" + c.wantPath}), Rows("GH_DriveDB", {"PATH"})) << c.name;
    EXPECT_EQ(c.installed ? c.wantPath : "<missing>", ReadSetting("MovieDirectory")) << c.name;
    EXPECT_EQ(c.installed, GetFileAttributesA(c.wantPath.c_str()) != INVALID_FILE_ATTRIBUTES) << c.name;
    EmptyTable("GH_DriveDB");
    AddRow("GH_DriveDB", {{"DRIVEID", 1}, {"DRIVENAME", 0, "Glintharbour Films"},
                          {"LABEL", 0, "Glintharbour Films"}, {"PATH", 0, ""}});
    WriteSetting("MovieDirectory", nullptr);
  }
  WriteSetting("Path", nullptr);
}
