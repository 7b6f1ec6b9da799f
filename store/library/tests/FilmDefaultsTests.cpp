// The film readers' movie-toolbox half, run through the glue against
// QuickTime.qts, on films written atom by atom.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FilmFolder.h"
#include "store/Database.h"
#include "store/Exception.h"
#include "store/library/FilmDataReadersQT.h"
#include "store/library/FilmUserData.h"
#include "store/library/LibrarySchema.h"
#include "store/library/StringMaps.h"

namespace {

using namespace filmbytes;
using manager_data::Preferences;

const Preferences kFixedDefaults = {{"AliasRoot", ""},   {"Origin", ""},
                                    {"TrkBackground", "0"}, {"TrkGlobal", "3"},
                                    {"TrkLocal", "3"},   {"version", "2"}};

class FilmDefaults : public FilmFolder {
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

  Movie Open(const std::string& name) {
    FSSpec spec;
    manager_data::PathToFileSpec(spec, name);
    int16_t file = 0;
    EXPECT_EQ(noErr, OpenMovieFile(&spec, &file, fsRdPerm));
    Movie movie = nullptr;
    EXPECT_EQ(noErr, NewMovieFromFile(&movie, file, nullptr, nullptr, 0, nullptr));
    CloseMovieFile(file);
    return movie;
  }
};

TEST_F(FilmDefaults, FilmsWithoutUserDataTakeItemsAndDefaults) {
  FilmOptions noItems;
  noItems.name = "";
  noItems.copyright = "";
  FilmOptions cutName;
  cutName.name = std::string("Name\0junk", 9);
  cutName.copyright = "";
  Preferences named = kFixedDefaults;
  named["name"] = "Tiny film";
  named["copyright"] = "(c) Glintharbour";
  Preferences cut = kFixedDefaults;
  cut["name"] = "Name";
  const struct {
    const char* name;
    Bytes film;
    Preferences want;
  } kCases[] = {
      {"both items", Film(), named},
      {"no items: the six defaults alone", Film(noItems), kFixedDefaults},
      {"an item's text ends at its first zero", Film(cutName), cut},
      // 'mvhd' first: a block in the file does not count.
      {"'mvhd' first", Film({false}), named},
  };
  for (const auto& c : kCases) {
    const std::string name = Write(std::to_string(&c - kCases), c.film);
    Preferences preferences;
    manager_data::ReadFilmPreferences(name, preferences);
    EXPECT_EQ(c.want, preferences) << c.name;
  }
}

TEST_F(FilmDefaults, FilmsWithUserDataTakeTheirStoredPreferences) {
  const std::string name = Write("film", Film());
  {
    auto userData = std::make_unique<FilmUserData>(
        new FileDataHandler(name, FileDataHandler::kReadWrite), true);
    Database* db = userData->GetDatabase();
    Dictionary* stored = new (db) Dictionary;
    (*stored)["name"] = "Stored";
    db->AddRoot(kPreferencesRoot, stored);
    userData.reset();
    delete db;
  }
  Preferences preferences;
  manager_data::ReadFilmPreferences(name, preferences);
  EXPECT_EQ((Preferences{{"name", "Stored"}}), preferences);
  // The movie toolbox still opens the film with its block.
  Movie movie = Open(name);
  ASSERT_NE(nullptr, movie);
  EXPECT_EQ(300, GetMoviePosterTime(movie));
  DisposeMovie(movie);
}

TEST_F(FilmDefaults, FilmsThatCannotBeReadLeaveTheMapAlone) {
  const std::string garbage = Write("garbage", Bytes(64, 0x41));
  Preferences preferences{{"kept", "1"}};
  manager_data::ReadFilmPreferences(garbage, preferences);
  manager_data::ReadFilmDefaults(Name("missing"), preferences);
  EXPECT_EQ((Preferences{{"kept", "1"}}), preferences);
  EXPECT_THROW(manager_data::ReadFilmPreferences(Name("missing"), preferences), FileOpenError);
}

TEST_F(FilmDefaults, PathsWithForwardSlashes) {
  std::filesystem::create_directory("kxlib_sub");
  const std::string name = "kxlib_sub/" + Name("film");
  {
    const Bytes film = Film();
    std::FILE* f = std::fopen(name.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(film.data(), 1, film.size(), f);
    std::fclose(f);
  }
  Preferences preferences;
  manager_data::ReadFilmPreferences(name, preferences);
  EXPECT_EQ("Tiny film", preferences["name"]);
  std::filesystem::remove_all("kxlib_sub");
}

TEST_F(FilmDefaults, FileSpecificationsNameOnlyExistingFiles) {
  const std::string name = Write("film", Film());
  FSSpec spec;
  std::memset(&spec, 0x7F, sizeof spec);
  manager_data::PathToFileSpec(spec, name);
  const std::string named(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]);
  EXPECT_EQ(std::filesystem::absolute(name).filename().string(),
            std::filesystem::path(named).filename().string());

  std::memset(&spec, 0x7F, sizeof spec);
  manager_data::PathToFileSpec(spec, Name("missing"));
  EXPECT_EQ(0, spec.name[0]);
  EXPECT_EQ(0, spec.vRefNum);

  // A path of 300 characters that exists (through "." steps) is not cut
  // into another name.
  std::string longPath;
  while (longPath.size() < 300) longPath += "./";
  longPath += name;
  ASSERT_TRUE(manager_data::FileExists(longPath));
  manager_data::PathToFileSpec(spec, longPath);
  EXPECT_EQ(0, spec.name[0]);
}

TEST_F(FilmDefaults, UserDataItems) {
  const std::string name = Write("film", Film());
  Movie movie = Open(name);
  ASSERT_NE(nullptr, movie);
  UserData userData = GetMovieUserData(movie);
  manager_data::MemoryHandle item = manager_data::ReadUserDataItem(userData, FourCharCode("AACY"));
  ASSERT_TRUE(item);
  EXPECT_EQ("(c) Glintharbour", std::string(*item.Get(), GetHandleSize(item.Get())));
  EXPECT_FALSE(manager_data::ReadUserDataItem(userData, FourCharCode("none")));
  item.Reset();
  DisposeMovie(movie);
}

// The preview shows a film's poster frame: its controller goes to the
// poster time, in the movie's own scale, and the rate stays as it was.
TEST_F(FilmDefaults, MovieValuesMoveTheControllerToThePoster) {
  FilmOptions withTrack;
  withTrack.track = true;
  Movie movie = Open(Write("film", Film(withTrack)));
  ASSERT_NE(nullptr, movie);
  ASSERT_EQ(600, GetMovieDuration(movie));
  Rect box = {0, 0, 4, 4};
  MovieController controller = NewMovieController(movie, &box, 11);
  ASSERT_NE(nullptr, controller);
  struct Seen {
    int actions = 0;
    TimeRecord time = {};
  } seen;
  MCSetActionFilterWithRefCon(
      controller,
      [](MovieController, int16_t action, void* params, QTRefCon refCon) -> Boolean {
        auto* s = reinterpret_cast<Seen*>(refCon);
        if (action == mcActionGoToTime) {
          ++s->actions;
          s->time = *static_cast<const TimeRecord*>(params);
        }
        return 0;
      },
      reinterpret_cast<QTRefCon>(&seen));

  manager_data::SendMovieValuesToController(controller, movie);
  EXPECT_EQ(1, seen.actions);
  EXPECT_EQ(300u, seen.time.value.lo);
  EXPECT_EQ(0, seen.time.value.hi);
  EXPECT_EQ(600, seen.time.scale);
  EXPECT_EQ(nullptr, seen.time.base);
  TimeScale scale = 0;
  EXPECT_EQ(300, MCGetCurrentTime(controller, &scale));
  EXPECT_EQ(600, scale);
  long flags = 0;
  MCGetControllerInfo(controller, &flags);
  EXPECT_EQ(0, flags & mcInfoIsPlaying);
  DisposeMovieController(controller);
  DisposeMovie(movie);
}

}  // namespace
