// The films the build makes: their tracks, the buttons of their sprite
// tracks and what those send, and the system's data they carry, read back
// through the film core and the store.
#include "Decoder.h"
#include "MovieReader.h"
#include "ShippedFilms.h"
#include "SpriteReading.h"
#include "SpriteSample.h"

#include <gtest/gtest.h>

#include <set>

using qtf::Tag;

namespace {

std::string FilmPath(const std::string& name) { return std::string(SHIPPED_FILMS) + "/" + name; }

struct Film {
  std::string path;
  qtf::MovieModel movie;
  qtf::FileFacts facts;
};

::testing::AssertionResult Open(const std::string& name, Film& film) {
  film.path = FilmPath(name);
  const qtf::Status s = qtf::ReadMovieFile(film.path, film.movie, film.facts);
  if (!s.Ok()) return ::testing::AssertionFailure() << name << ": " << s.what;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult KeyFrameOf(const Film& film, size_t track, filmcheck::KeyFrame& frame) {
  std::string why;
  if (track >= film.movie.tracks.size()) return ::testing::AssertionFailure() << "no track " << track + 1;
  if (!filmcheck::ReadKeyFrame(filmcheck::SampleBytes(film.path, film.movie.tracks[track], 0), frame, why))
    return ::testing::AssertionFailure() << "track " << track + 1 << ": " << why;
  return ::testing::AssertionSuccess();
}

// What a sprite sends when clicked: the text of its click's last action
// that reaches the program (the application string or a script command).
struct Sent {
  std::string text;
  uint32_t type = 0;
};
std::vector<Sent> ClickSends(const filmcheck::KeyFrame& frame) {
  std::vector<Sent> out;
  for (const filmcheck::SpriteInfo& s : frame.sprites) {
    auto click = s.events.find(Tag("clik"));
    if (click == s.events.end()) continue;
    for (const filmcheck::Action& a : click->second)
      if (a.type == 0x2000 || a.type == Tag("KXsc")) out.push_back({a.Text(), a.type});
  }
  return out;
}

std::map<std::string, std::string> ActionsOf(const std::string& path) { return filmcheck::StoredActions(path); }

// The box a sprite's image covers.
struct Box {
  int left, top, right, bottom;
};
Box BoxOf(const filmcheck::KeyFrame& frame, const filmcheck::SpriteInfo& s) {
  const filmcheck::ImageInfo& image = frame.images.at(s.image - 1u);
  return {s.x, s.y, s.x + image.width, s.y + image.height};
}

TEST(ShippedFilms, EachHasItsTracks) {
  struct TrackWant {
    qtf::FourCC type;
    bool enabled;
    int width, height;
  };
  struct Case {
    const char* name;
    bool block;
    std::vector<TrackWant> tracks;
  };
  const qtf::FourCC sprt = Tag("sprt"), vide = Tag("vide"), soun = Tag("soun");
  const Case cases[] = {
      {"cs.flm", false, {{sprt, true, 320, 48}}},
      {"default.flm", true, {{vide, true, 320, 240}, {vide, false, 320, 240}, {sprt, false, 300, 48}}},
      {"em.flm", true, {{sprt, true, 640, 480}, {sprt, false, 640, 480}, {sprt, false, 640, 480}}},
      {"sample240.flm", true, {{vide, true, 320, 240}, {soun, true, 0, 0}, {sprt, false, 300, 48}}},
      {"sample200.flm", true, {{vide, true, 320, 200}, {soun, true, 0, 0}, {sprt, false, 300, 48}}},
      {"sampleplain.flm", false, {{vide, true, 320, 240}, {soun, true, 0, 0}}},
      {"samplesound.flm", true, {{soun, true, 0, 0}}},
  };
  std::set<std::string> named;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    named.insert(c.name);
    Film film;
    ASSERT_TRUE(Open(c.name, film));
    EXPECT_EQ(c.block, film.facts.filmBlock);
    ASSERT_EQ(c.tracks.size(), film.movie.tracks.size());
    for (size_t i = 0; i < c.tracks.size(); ++i) {
      SCOPED_TRACE("track " + std::to_string(i + 1));
      const qtf::TrackModel& t = film.movie.tracks[i];
      EXPECT_EQ(c.tracks[i].type, t.media.type);
      EXPECT_EQ(c.tracks[i].enabled, (t.header.flags & qtf::kTrackEnabled) != 0);
      EXPECT_EQ(c.tracks[i].width << 16, t.header.width);
      EXPECT_EQ(c.tracks[i].height << 16, t.header.height);
      // A movie ends with its longest track, disabled ones too: no track
      // may hold the picture still after it ends.
      EXPECT_EQ(qtf::TrackDuration(film.movie.tracks[0], 600), qtf::TrackDuration(t, 600));
      // The sprite runtime's reader takes every sample.
      if (t.media.type != sprt) continue;
      for (uint32_t k = 0; k < t.media.samples.sampleCount; ++k) {
        const filmcheck::Bytes sample = filmcheck::SampleBytes(film.path, t, k);
        qtf::SpriteSample parsed;
        const qtf::Status s = qtf::ReadSpriteSample(sample.data(), sample.size(), parsed);
        EXPECT_TRUE(s.Ok()) << "sample " << k << ": " << s.what;
        EXPECT_EQ(t.media.samples.IsSync(k), parsed.hasSharedData) << "sample " << k;
      }
    }
  }
  std::set<std::string> made;
  for (const film::ShippedFilm& f : film::ShippedFilms()) made.insert(f.fileName);
  EXPECT_EQ(named, made);
}

TEST(ControllerFilm, ElevenButtonsSendTheirNamesOnClick) {
  const std::vector<std::string> names = {
      "SPRITE_PlayPause",      "SPRITE_Rewind", "SPRITE_SkipForwards", "SPRITE_SkipBackwards",
      "SPRITE_OpenCloseStrip", "Hide",          "Sprite_LaunchFaq",    "SPRITE_StopVideo",
      "SPRITE_WebLink",        "SPRITE_LaunchPlayer", "Sprite_Install"};
  Film film;
  ASSERT_TRUE(Open("cs.flm", film));
  filmcheck::KeyFrame frame;
  ASSERT_TRUE(KeyFrameOf(film, 0, frame));
  ASSERT_EQ(names.size() + 1, frame.sprites.size());
  int lastRight = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    const filmcheck::SpriteInfo& s = frame.sprites[i];
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(names[i], s.name);
    EXPECT_TRUE(s.visible);
    const Box b = BoxOf(frame, s);
    EXPECT_GE(b.left, lastRight) << "buttons lie left to right without overlapping";
    EXPECT_LE(b.right, 295) << "the handle's 25 pixels stay free";
    EXPECT_GE(b.top, 0);
    EXPECT_LE(b.bottom, 48);
    lastRight = b.right;
    const std::vector<filmcheck::Action>& click = s.events.at(Tag("clik"));
    ASSERT_FALSE(click.empty());
    EXPECT_EQ(0x2000u, click.back().type) << "the name goes last: it may end the film's window";
    EXPECT_EQ(names[i], click.back().Text());
    // The pictures it changes to exist.
    for (const auto& e : s.events)
      for (const filmcheck::Action& a : e.second)
        if (a.type == 3073) {
          const unsigned index = (a.parameters.at(0).at(0) << 8) | a.parameters.at(0).at(1);
          EXPECT_GE(index, 1u);
          EXPECT_LE(index, frame.images.size());
        }
  }
  // At the back, without events: the strip's face and its handle.
  const filmcheck::SpriteInfo& back = frame.sprites.back();
  EXPECT_TRUE(back.events.empty());
  EXPECT_GT(back.layer, frame.sprites[0].layer);
  const Box b = BoxOf(frame, back);
  EXPECT_EQ(0, b.left);
  EXPECT_EQ(0, b.top);
  EXPECT_EQ(320, b.right);
  EXPECT_EQ(48, b.bottom);
  for (const filmcheck::ImageInfo& image : frame.images) {
    qtc::VideoDecoder decoder(image.description);
    qtc::Frame picture;
    EXPECT_EQ(qtc::DecodeResult::Ok, decoder.Decode(image.data.data(), image.data.size(), picture));
  }
}

TEST(DefaultFilm, ItsStripPlaysTheHelpFilm) {
  Film film;
  ASSERT_TRUE(Open("default.flm", film));
  const std::map<std::string, std::string> actions = ActionsOf(film.path);
  ASSERT_EQ(1u, actions.count("ShowHelp"));
  EXPECT_EQ("playQT(AutoPlay=\"1\",FullScreen=\"0\",Track=\"2\")", actions.at("ShowHelp"));
  filmcheck::KeyFrame strip;
  ASSERT_TRUE(KeyFrameOf(film, 2, strip));
  const std::vector<Sent> sends = ClickSends(strip);
  EXPECT_FALSE(sends.empty());
  for (const Sent& s : sends) EXPECT_TRUE(s.text == "CloseWindow" || actions.count(s.text)) << s.text;
  // The help film has pages of its own.
  EXPECT_GE(film.movie.tracks[1].media.samples.sampleCount, 2u);
  std::map<std::string, std::string> preferences;
  ASSERT_TRUE(filmcheck::StoredPreferences(film.path, preferences));
  EXPECT_FALSE(preferences["Version"].empty());
  EXPECT_EQ("3", preferences["TrkLocal"]);
}

TEST(ListFilm, PagesSendCloseExitOrTheirOwnActions) {
  Film film;
  ASSERT_TRUE(Open("em.flm", film));
  const std::map<std::string, std::string> actions = ActionsOf(film.path);
  ASSERT_FALSE(actions.empty());
  // Each action plays a page of this film.
  for (const auto& a : actions) {
    SCOPED_TRACE(a.first);
    bool pageOfThisFilm = false;
    for (size_t track = 1; track <= film.movie.tracks.size(); ++track)
      if (a.second == "playQT(File=\"em.flm\",FullScreen=\"1\",Track=\"" + std::to_string(track) + "\")")
        pageOfThisFilm = true;
    EXPECT_TRUE(pageOfThisFilm) << a.second;
  }
  std::set<std::string> sent;
  bool script = false;
  for (size_t track = 0; track < film.movie.tracks.size(); ++track) {
    SCOPED_TRACE("page " + std::to_string(track + 1));
    filmcheck::KeyFrame page;
    ASSERT_TRUE(KeyFrameOf(film, track, page));
    const Box back = BoxOf(page, page.sprites.back());
    EXPECT_EQ(640, back.right);
    EXPECT_EQ(480, back.bottom);
    for (const Sent& s : ClickSends(page)) {
      EXPECT_TRUE(s.text == "CloseWindow" || s.text == "Exit" || actions.count(s.text)) << s.text;
      sent.insert(s.text);
      script = script || s.type == Tag("KXsc");
    }
  }
  EXPECT_TRUE(sent.count("CloseWindow"));
  EXPECT_TRUE(sent.count("Exit"));
  EXPECT_TRUE(script) << "one button sends a script command";
}

TEST(SampleFilms, CarryTheirNumbersAndStrips) {
  struct Case {
    const char* name;
    const char* gmid;
    bool strip;
  };
  const Case cases[] = {
      {"sample240.flm", "1001", true},
      {"sample200.flm", "1002", true},
      {"samplesound.flm", "1003", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Film film;
    ASSERT_TRUE(Open(c.name, film));
    std::map<std::string, std::string> preferences;
    ASSERT_TRUE(filmcheck::StoredPreferences(film.path, preferences));
    EXPECT_EQ(c.gmid, preferences["GMID"]);
    EXPECT_FALSE(preferences["Version"].empty());
    EXPECT_FALSE(preferences["name"].empty());
    if (!c.strip) continue;
    EXPECT_EQ("3", preferences["TrkLocal"]);
    const std::map<std::string, std::string> actions = ActionsOf(film.path);
    filmcheck::KeyFrame strip;
    ASSERT_TRUE(KeyFrameOf(film, 2, strip));
    const std::vector<Sent> sends = ClickSends(strip);
    EXPECT_FALSE(sends.empty());
    for (const Sent& s : sends) EXPECT_TRUE(s.text == "CloseWindow" || actions.count(s.text)) << s.text;
  }
}

TEST(SampleFilms, ThePlainFilmHasOnlyTheMoviesOwnItems) {
  Film film;
  ASSERT_TRUE(Open("sampleplain.flm", film));
  std::map<std::string, std::string> preferences;
  EXPECT_FALSE(filmcheck::StoredPreferences(film.path, preferences));
  std::set<qtf::FourCC> items;
  for (const qtf::UserDataItem& item : film.movie.userData) items.insert(item.type);
  EXPECT_EQ((std::set<qtf::FourCC>{Tag("AANM"), Tag("AACY")}), items);
}

}  // namespace
