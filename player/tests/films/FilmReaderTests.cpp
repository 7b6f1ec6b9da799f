// What the engine reads from a film's own data, and what it makes of films
// that have none or whose data is damaged.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FilmFolder.h"
#include "films/FilmUserDataReaders.h"
#include "store/Database.h"
#include "store/library/ActionTable.h"
#include "store/library/FilmUserData.h"
#include "store/library/LibrarySchema.h"
#include "store/library/StringMaps.h"
#include "QTToolbox.h"

namespace {

using namespace filmbytes;
using Values = std::map<std::string, std::string>;

const Values kFixedDefaults = {{"AliasRoot", ""},      {"Origin", ""},    {"TrkBackground", "0"},
                               {"TrkGlobal", "3"},     {"TrkLocal", "3"}, {"version", "2"}};

class EngineFilmReaders : public FilmFolder {
protected:
  void SetUp() override {
    FilmFolder::SetUp();
    ASSERT_EQ(noErr, InitializeQTML(0));
    ASSERT_EQ(noErr, EnterMovies());
  }
  void TearDown() override {
    ExitMovies();
    TerminateQTML();
    FilmFolder::TearDown();
  }

  // A film with a database of its own holding the bindings and, under
  // `root`, the preferences.
  std::string FilmWithData(const std::string& suffix, const std::vector<std::pair<std::string, std::string>>& actions,
                           const Values& preferences, const std::string& root = kPreferencesRoot) {
    const std::string name = Write(suffix, Film());
    filmbytes::AddFilmData(name, actions, preferences, root);
    return name;
  }
};

TEST_F(EngineFilmReaders, AFilmWithDataGivesItsBindingsPreferencesAndValues) {
  const std::string film = FilmWithData("data", {{"Stop", "CloseWindow"}, {"Play", "playQT(File=\"a.flm\")"}},
                                        {{"Version", "3"}, {"GMID", "0042"}, {"name", "Sea"}});
  std::vector<ActionRecord> records(1);  // kept: the readers append
  ImportFilmActions(film, records);
  ImportFilmActions(film, records);
  ASSERT_EQ(5u, records.size());
  EXPECT_STREQ("Play", records[1].sprite);
  EXPECT_STREQ("playQT(File=\"a.flm\")", records[1].actionText);
  EXPECT_STREQ("Stop", records[2].sprite);
  EXPECT_STREQ("Play", records[3].sprite) << "a second import appends the bindings again";

  Values values = {{"stale", "x"}};
  ReadFilmPreferences(film, values);
  EXPECT_EQ((Values{{"GMID", "0042"}, {"Version", "3"}, {"name", "Sea"}}), values);
  EXPECT_EQ("3", ReadFilmVersion(film));
  EXPECT_EQ("0042", LookupFilmUserValue("GMID", film));
  EXPECT_EQ("", LookupFilmUserValue("gmid", film)) << "keys keep their letter case";
  EXPECT_EQ("3", ReadFilmVersion("./" + film)) << "a path with slashes opens the same film";
}

TEST_F(EngineFilmReaders, AFilmWithDataButNoPreferencesHasNoFallback) {
  const std::string film = FilmWithData("noprefs", {}, {{"Version", "3"}}, "Elsewhere");
  Values values = {{"stale", "x"}};
  ReadFilmPreferences(film, values);
  EXPECT_TRUE(values.empty());
  EXPECT_EQ("", ReadFilmVersion(film));
}

TEST_F(EngineFilmReaders, APlainMovieTakesItsItemsAndTheFixedDefaults) {
  FilmOptions plain;
  plain.userDataFirst = false;
  const std::string film = Write("plain", Film(plain));
  std::vector<ActionRecord> records;
  ImportFilmActions(film, records);
  EXPECT_TRUE(records.empty());
  EXPECT_EQ("", ReadFilmVersion(film)) << "the fallback's key is \"version\", never read as \"Version\"";
  EXPECT_EQ("", LookupFilmUserValue("GMID", film));
  Values values;
  ReadFilmPreferences(film, values);
  Values want = kFixedDefaults;
  want["name"] = "Tiny film";
  want["copyright"] = "(c) Glintharbour";
  EXPECT_EQ(want, values);
}

// Missing files, foreign files and damaged data are never an error to the
// engine: nothing is imported and nothing found.
TEST_F(EngineFilmReaders, UnreadableFilmsGiveNothing) {
  const std::string good = FilmWithData("good", {{"Play", "playQT()"}}, {{"Version", "3"}});
  Bytes damaged = Read(good);
  // Keep the film's atoms and the data block's header; scribble over the
  // database behind them.
  const std::string bytes(damaged.begin(), damaged.end());
  const std::size_t block = bytes.find("flm_");
  ASSERT_NE(std::string::npos, block);
  for (std::size_t i = block + 120; i < damaged.size(); ++i) damaged[i] = 0xEE;
  struct Case {
    const char* name;
    std::string path;
  } const kCases[] = {
      {"missing", Name("missing")},
      {"not a film", Write("text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'})},
      {"damaged database", Write("damaged", damaged)},
  };
  for (const Case& c : kCases) {
    std::vector<ActionRecord> records;
    EXPECT_NO_THROW(ImportFilmActions(c.path, records)) << c.name;
    EXPECT_TRUE(records.empty()) << c.name;
    EXPECT_EQ("", ReadFilmVersion(c.path)) << c.name;
    EXPECT_EQ("", LookupFilmUserValue("Version", c.path)) << c.name;
    Values values = {{"stale", "x"}};
    EXPECT_NO_THROW(ReadFilmPreferences(c.path, values)) << c.name;
    EXPECT_EQ(0u, values.count("stale")) << c.name;
    EXPECT_EQ(0u, values.count("Version")) << c.name;
  }
}

}  // namespace
