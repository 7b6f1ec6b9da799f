// Table writes that fail: the engine's answer says so, the table keeps what
// it held, and the user hears once which table could not be written.
#include <cstring>
#include <functional>
#include <string>

#include "CP_Win.h"
#include "DatabaseFixture.h"
#include "FileTestSupport.h"
#include "WinTestSupport.h"

namespace {

using WriteFailures = DatabaseFixture;

ActionRecord Binding(const char* sprite, const char* text) {
  ActionRecord r{};
  r.actionType = 1;
  std::strcpy(r.aliasRoot, "SEA");
  std::strcpy(r.sprite, sprite);
  std::strcpy(r.actionText, text);
  return r;
}

// Each case makes one table read-only, then writes to it as the engine does.
TEST_F(WriteFailures, AWriteTheTableRefusesIsAnsweredAndToldOnce) {
  struct Case {
    const char* name;
    const char* table;
    const char* application;            // "Config Tool" packs at closing
    std::function<void(CDDatabase&)> act;
    const char* told;                   // after the table's place
  };
  const std::string film = Folder() + "\\counted.flm";
  const char* const notWritten = " could not be written (it is read-only). The change was not kept.";
  const Case kCases[] = {
      {"a binding rewritten", "GH_ActionDB", "Player",
       [](CDDatabase& db) {
         ActionRecord known = Binding("Stop", "launchURL(URL=\"new\")");
         EXPECT_EQ(1, db.StoreActionRecord(known));
       },
       notWritten},
      {"a new binding", "GH_ActionDB", "Player",
       [](CDDatabase& db) {
         ActionRecord fresh = Binding("Play", "playQT(File=\"a.flm\")");
         EXPECT_EQ(1, db.StoreActionRecord(fresh));
       },
       notWritten},
      {"the films folder's row", "GH_DriveDB", "Player",
       [](CDDatabase& db) {
         DriveRecord films;
         films.label = "Glintharbour Films";
         ASSERT_EQ(0, db.FindDriveRecord(films));
         films.path = "X:\\Films";
         EXPECT_EQ(1, db.SelectMovieDirectoryDrive(films));
         EXPECT_EQ("<missing>", ReadSetting("MovieDirectory")) << "the setting follows the row";
       },
       notWritten},
      {"a film's usage counted again and again", "GH_Track", "Player",
       [&film](CDDatabase& db) {
         for (int n = 0; n < 3; ++n) db.CountFilmUse(film, UsageEvent::PlaylistAdvance);
       },
       notWritten},
      {"a new film's usage", "GH_Track", "Player",
       [this](CDDatabase& db) {
         const std::string other = Folder() + "\\new.flm";
         WriteFilmFile(other, true, {{"GMID", "77"}});
         db.CountFilmUse(other, UsageEvent::StartOnRequest);
         db.CountFilmUse(other, UsageEvent::StartOnRequest);
       },
       notWritten},
      {"closing with a row to pack", "GH_DriveDB", "Config Tool", [](CDDatabase&) {},
       " could not be packed (it is read-only)."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    AddRow("GH_ActionDB", {{"ACTIONID", 4}, {"ACTIONTYPE", 1}, {"ALIASROOT", 0, "SEA"}, {"SPRITE", 0, "Stop"},
                           {"ACTIONTEXT", 0, "CloseWindow"}});
    AddRow("GH_DriveDB", {{"DRIVEID", 9}, {"LABEL", 0, "OLD"}}, /*deleted=*/true);
    EmptyTable("GH_Track");
    WriteFilmFile(film, true, {{"GMID", "42"}});
    AddRow("GH_Track", {{"TRACKING_I", 1}, {"GMID", 42}, {"MODE_A", 5}});
    const std::string table = TablePath(c.table) + ".dbf";
    const std::string before = kxtest::ReadWholeFile(table);
    ASSERT_TRUE(SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY));
    {
      kxtest::MessageBoxWatcher box("Glintharbour International", IDOK);
      auto db = Open(c.application);
      c.act(*db);
      db->ReportWriteFailures();
      db.reset();
      EXPECT_TRUE(box.WaitFor(1));
      EXPECT_FALSE(box.WaitFor(2, 500)) << "once, and nothing more at closing";
      EXPECT_EQ("The library's table " + std::string(c.table) + ".dbf in the folder \"" + Folder() + "\"" + c.told,
                box.LastText());
    }
    SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(before == kxtest::ReadWholeFile(table));
  }
}

}  // namespace
