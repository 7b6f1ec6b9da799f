#include "films/GH_FilmOpening.h"

#include "CP_Win.h"
#include "utility/GH_Utility.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The list film: three sprite pages, the first enabled, the other two off.
std::string ListFilmPath() { return "Z:" + std::string(KX_SHIPPED_FILMS) + "/em.flm"; }

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class EngineFilmOpening : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(noErr, InitializeQTML(0));
    ASSERT_EQ(noErr, EnterMovies());
    LoadMovieFromFileSpec(PathToFileSpec(ListFilmPath()), listFilm);
    ASSERT_NE(nullptr, listFilm) << ListFilmPath();
    // Cases run side by side: each writes a file of its own.
    target = GetTempDirectory() + "kx_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".mov";
    DeleteFileA(target.c_str());
  }
  void TearDown() override {
    if (listFilm) DisposeMovie(listFilm);
    DeleteFileA(target.c_str());
    ExitMovies();
    TerminateQTML();
  }

  Movie listFilm = nullptr;
  std::string target;
};

TEST_F(EngineFilmOpening, LoadingGivesAnActiveMovieOrNone) {
  EXPECT_EQ(3, GetMovieTrackCount(listFilm));
  EXPECT_TRUE(GetMovieActive(listFilm));

  Movie movie = reinterpret_cast<Movie>(1);
  LoadMovieFromFileSpec(PathToFileSpec(GetTempDirectory() + "kx_no_such_film.flm"), movie);
  EXPECT_EQ(nullptr, movie) << "missing file";

  const std::string junk = GetTempDirectory() + "kx_junk.flm";
  WriteFile(junk, "these bytes are no film at all");
  movie = reinterpret_cast<Movie>(1);
  LoadMovieFromFileSpec(PathToFileSpec(junk), movie);
  EXPECT_EQ(nullptr, movie) << "a file without a movie";
  DeleteFileA(junk.c_str());
}

TEST_F(EngineFilmOpening, ADisabledTrackIsCopiedIntoAnEnabledFilmOfItsOwn) {
  ASSERT_FALSE(GetTrackEnabled(GetMovieIndTrack(listFilm, 2))) << "the fixture's second page is off";
  const TimeValue duration = GetTrackDuration(GetMovieIndTrack(listFilm, 2));
  // Whatever is at the target is replaced.
  WriteFile(target, "an older temporary file");

  Movie page = ExtractTrackMovie(2, listFilm, target);
  ASSERT_NE(nullptr, page);
  EXPECT_TRUE(GetMovieActive(page));
  ASSERT_EQ(1, GetMovieTrackCount(page));
  Track copied = GetMovieIndTrack(page, 1);
  EXPECT_TRUE(GetTrackEnabled(copied));
  EXPECT_EQ(duration, GetTrackDuration(copied));
  OSType type = 0;
  GetMediaHandlerDescription(GetTrackMedia(copied), &type, nullptr, nullptr);
  EXPECT_EQ(FourCharCode("sprt"), type);
  EXPECT_EQ(2, GetMovieTrackCount(listFilm)) << "the source gives the copied track up";
  DisposeMovie(page);

  // The file alone holds the same film.
  Movie again = nullptr;
  LoadMovieFromFileSpec(PathToFileSpec(target), again);
  ASSERT_NE(nullptr, again);
  EXPECT_EQ(1, GetMovieTrackCount(again));
  DisposeMovie(again);
}

TEST_F(EngineFilmOpening, NoTrackOrAnOverlongPathWritesNothing) {
  struct Case {
    const char* name;
    int32_t track;
    std::string path;
  };
  // 255 characters: one more than a track copy takes.
  std::string overlong = GetTempDirectory();
  overlong += std::string(255 - overlong.size() - 4, 'o') + ".mov";
  ASSERT_EQ(255u, overlong.size());
  const std::string cut = overlong.substr(0, 254);
  const Case kCases[] = {
      {"track 0", 0, target},
      {"past the last track", 4, target},
      {"negative track", -1, target},
      {"path of 255 characters", 1, overlong},
      {"empty path", 1, ""},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(nullptr, ExtractTrackMovie(c.track, listFilm, c.path)) << c.name;
    EXPECT_FALSE(WriteTrackMovieFile(c.track, listFilm, c.path)) << c.name;
    if (!c.path.empty()) {
      EXPECT_FALSE(Exists(c.path)) << c.name;
    }
    EXPECT_EQ(3, GetMovieTrackCount(listFilm)) << c.name << ": the source keeps its tracks";
  }
  EXPECT_FALSE(Exists(cut)) << "nor a file at the cut path";

  // At 254 characters the copy goes through.
  const std::string longest = overlong.substr(0, 250) + ".mov";
  ASSERT_EQ(254u, longest.size());
  EXPECT_TRUE(WriteTrackMovieFile(1, listFilm, longest));
  EXPECT_TRUE(Exists(longest));
  DeleteFileA(longest.c_str());
}

TEST_F(EngineFilmOpening, DisablingTurnsEveryTrackOff) {
  DisableAllTracks(listFilm);
  for (int32_t i = 1; i <= GetMovieTrackCount(listFilm); ++i)
    EXPECT_FALSE(GetTrackEnabled(GetMovieIndTrack(listFilm, i))) << "track " << i;
}

}  // namespace
