// The engine's usage rows in GH_Track.
#include <cstdio>
#include <cstring>
#include <memory>

#include "DatabaseFixture.h"

namespace {

class Usage : public DatabaseFixture {
protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    EmptyTable("GH_Track");
  }

  // A film whose preferences hold GMID = `gmid` (no user data when null).
  std::string Film(const std::string& name, const char* gmid) {
    const std::string path = Folder() + "\\" + name;
    if (gmid) {
      WriteFilmFile(path, true, {{"GMID", gmid}});
    } else {
      WriteFilmFile(path, false);
    }
    return path;
  }

  std::vector<std::string> TrackRows() {
    return Rows("GH_Track", {"TRACKING_I", "GMID", "EM_COUNT", "MODE_P", "MODE_A", "MODE_S", "REC_SAVED"});
  }
};

TEST_F(Usage, TheFirstEventOfAFilmAppendsRowOne) {
  const std::string film = Film("a.flm", "42");
  auto db = Open();
  db->CountFilmUse(film, UsageEvent::PlaylistAdvance);
  db.reset();
  EXPECT_EQ((std::vector<std::string>{"TRACKING_I=1 GMID=42 EM_COUNT=0 MODE_P=0 MODE_A=1 MODE_S=0 REC_SAVED=N"}),
            TrackRows());
}

TEST_F(Usage, EachEventCountsOnItsOwnCounter) {
  const std::string film = Film("a.flm", "7");
  auto db = Open();
  db->CountFilmUse(film, UsageEvent::StartOnRequest);
  db->CountFilmUse(film, UsageEvent::PlaylistAdvance);
  db->CountFilmUse(film, UsageEvent::SpriteAction);
  db->CountFilmUse(film, UsageEvent::SpriteAction);
  db.reset();
  EXPECT_EQ((std::vector<std::string>{"TRACKING_I=1 GMID=7 EM_COUNT=2 MODE_P=1 MODE_A=1 MODE_S=0 REC_SAVED=N"}),
            TrackRows());
}

TEST_F(Usage, GmidTextIsReadAsAtoiReadsIt) {
  struct Case {
    const char* file;
    const char* gmid;  // null: no user data at all
    int32_t want;
  } const kCases[] = {
      {"digits.flm", "0042x", 42}, {"blank.flm", "  -5", -5}, {"word.flm", "none", 0}, {"plain.flm", nullptr, 0},
  };
  for (const Case& c : kCases) {
    EmptyTable("GH_Track");
    const std::string film = Film(c.file, c.gmid);
    auto db = Open();
    db->CountFilmUse(film, UsageEvent::SpriteAction);
    std::vector<UsageRecord> rows;
    ASSERT_EQ(0, db->ReadAllUsageRecords(rows));
    ASSERT_EQ(1u, rows.size()) << c.file;
    EXPECT_EQ(c.want, rows[0].gmid) << c.file;
  }
}

TEST_F(Usage, FilmsWithoutGmidShareRowZeroAndAMissingFileCountsThere) {
  auto db = Open();
  db->CountFilmUse(Film("one.flm", nullptr), UsageEvent::PlaylistAdvance);
  db->CountFilmUse(Film("two.flm", nullptr), UsageEvent::PlaylistAdvance);
  db->CountFilmUse(Folder() + "\\missing.flm", UsageEvent::PlaylistAdvance);
  db.reset();
  EXPECT_EQ((std::vector<std::string>{"TRACKING_I=1 GMID=0 EM_COUNT=0 MODE_P=0 MODE_A=3 MODE_S=0 REC_SAVED=N"}),
            TrackRows());
}

TEST_F(Usage, OnlyTheFirstLiveRowOfAGmidIsCounted) {
  // Rows kept by another program: a deleted one, and two for the same film.
  AddRow("GH_Track", {{"TRACKING_I", 4}, {"GMID", 9}, {"MODE_A", 50}}, /*deleted=*/true);
  AddRow("GH_Track", {{"TRACKING_I", 6}, {"GMID", 9}, {"EM_COUNT", 0}, {"MODE_P", 0}, {"MODE_A", 5}, {"MODE_S", 3},
                      {"EM_TEXT", 0, "note"}, {"EM_TEXT_CO", 2}, {"REC_SAVED", 0, "Y"}});
  AddRow("GH_Track", {{"TRACKING_I", 8}, {"GMID", 9}, {"MODE_A", 1}});
  AddRow("GH_Track", {{"TRACKING_I", 5}, {"GMID", 3}});
  const std::string film = Film("nine.flm", "9");
  auto db = Open();
  db->CountFilmUse(film, UsageEvent::PlaylistAdvance);
  db.reset();
  EXPECT_EQ((std::vector<std::string>{
                // Fields another program left empty stay empty.
                "*TRACKING_I=4 GMID=9 EM_COUNT= MODE_P= MODE_A=50 MODE_S= REC_SAVED=",
                "TRACKING_I=6 GMID=9 EM_COUNT=0 MODE_P=0 MODE_A=6 MODE_S=3 REC_SAVED=Y",
                "TRACKING_I=8 GMID=9 EM_COUNT= MODE_P= MODE_A=1 MODE_S= REC_SAVED=",
                "TRACKING_I=5 GMID=3 EM_COUNT= MODE_P= MODE_A= MODE_S= REC_SAVED="}),
            TrackRows());
  EXPECT_EQ((std::vector<std::string>{"*EM_TEXT= EM_TEXT_CO=", "EM_TEXT=note EM_TEXT_CO=2", "EM_TEXT= EM_TEXT_CO=",
                                      "EM_TEXT= EM_TEXT_CO="}),
            Rows("GH_Track", {"EM_TEXT", "EM_TEXT_CO"}))
      << "fields the engine never changes are written back as read";
}

TEST_F(Usage, ADeletedRowIsNeverCountedOnAndTheNewRowFollowsTheHighestNumber) {
  AddRow("GH_Track", {{"TRACKING_I", 12}, {"GMID", 9}, {"MODE_A", 50}}, /*deleted=*/true);
  AddRow("GH_Track", {{"TRACKING_I", 3}, {"GMID", 1}});
  const std::string film = Film("nine.flm", "9");
  auto db = Open();
  db->CountFilmUse(film, UsageEvent::StartOnRequest);
  std::vector<UsageRecord> rows;
  ASSERT_EQ(0, db->ReadAllUsageRecords(rows));
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(13, rows[1].trackingId);
  EXPECT_EQ(1, rows[1].modeP);
}

TEST_F(Usage, UpdateOfAVanishedRowWritesNothing) {
  auto db = Open();
  UsageRecord r;
  r.trackingId = 99;
  EXPECT_EQ(1, db->UpdateUsageRecord(r));
  db.reset();
  EXPECT_TRUE(TrackRows().empty());
}

TEST_F(Usage, NoTableCountsNothing) {
  WriteSetting("DBPath", (Folder() + "\\missing").c_str());
  auto db = Open();
  std::vector<UsageRecord> rows(2);
  EXPECT_EQ(2, db->ReadAllUsageRecords(rows));
  EXPECT_EQ(2u, rows.size());
  UsageRecord r;
  EXPECT_EQ(1, db->AppendUsageRecord(r));
  db->CountFilmUse(Folder() + "\\missing.flm", UsageEvent::SpriteAction);  // nothing to write to, no crash
}

}  // namespace
