// Atom containers, sprite samples and whole films as the film maker writes
// them, read back by the film core, by the store's film readers and by an
// independent reader of atom containers.
#include "AtomWriter.h"
#include "Decoder.h"
#include "FilmWriter.h"
#include "MovieReader.h"
#include "SpriteReading.h"
#include "VideoEncoder.h"

#include <gtest/gtest.h>

#include <cstdio>

using film::Bytes;
using film::Colour;
using film::Picture;
using qtf::Tag;

namespace {

std::string Scratch(const std::string& name) { return std::string(FILMMAKER_SCRATCH) + "/" + name; }

bool Exists(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

TEST(AtomContainer, StoresHeadersSizesAndCounts) {
  film::QTAtom root(Tag("sean"), 1);
  root.AddU16(Tag("leaf"), 5, 0x1234);
  root.Add(Tag("pare"), 2).AddLeaf(Tag("text"), 7, Bytes{'x', 'y'});
  const Bytes want = {
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                           // container header, lock count 0
      0, 0, 0, 84, 's', 'e', 'a', 'n', 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0,  // root: 2 children
      0, 0, 0, 22, 'l', 'e', 'a', 'f', 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0,  // a leaf: no children
      0x12, 0x34,                                                     // its data
      0, 0, 0, 42, 'p', 'a', 'r', 'e', 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 0,  // a parent of one
      0, 0, 0, 22, 't', 'e', 'x', 't', 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 'x', 'y',
  };
  EXPECT_EQ(want, film::ContainerBytes(root));
}

film::SpriteKeyFrame TwoSprites() {
  film::SpriteKeyFrame key;
  key.images.push_back({Picture(8, 4, Colour{200, 0, 0}), Tag("rle "), 24});
  key.images.push_back({Picture(6, 2, Colour{0, 0, 255}), Tag("raw "), 16});
  film::Sprite button;
  button.name = "SPRITE_PlayPause";
  button.image = 1;
  button.x = 30;
  button.y = 4;
  button.events = {{qtf::kEventMouseClick, {film::SetImageIndex(2), film::ApplicationNumberAndString(7, "SPRITE_PlayPause")}},
                   {qtf::kEventMouseEnter, {film::ScriptCommand("ShowHelp", "now")}}};
  key.sprites.push_back(button);
  film::Sprite back;
  back.image = 2;
  back.layer = 10;
  back.visible = false;
  back.graphicsMode = qtf::kModeTransparent;
  key.sprites.push_back(back);
  return key;
}

TEST(SpriteSamples, KeyFrameHoldsImagesSpritesAndActionsInOrder) {
  filmcheck::KeyFrame frame;
  std::string why;
  ASSERT_TRUE(filmcheck::ReadKeyFrame(film::KeyFrameSample(TwoSprites()), frame, why)) << why;

  ASSERT_EQ(2u, frame.images.size());
  const Picture pictures[] = {Picture(8, 4, Colour{200, 0, 0}), Picture(6, 2, Colour{0, 0, 255})};
  for (size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const filmcheck::ImageInfo& image = frame.images[i];
    EXPECT_EQ(0, image.description.DataRefIndex());
    EXPECT_EQ(pictures[i].Width(), image.width);
    qtc::VideoDecoder decoder(image.description);
    qtc::Frame decoded;
    EXPECT_EQ(qtc::DecodeResult::Ok, decoder.Decode(image.data.data(), image.data.size(), decoded));
    EXPECT_EQ(pictures[i].Pixels(), decoded.pixels);  // 0 and 255 survive 16 bits
  }

  ASSERT_EQ(2u, frame.sprites.size());
  const filmcheck::SpriteInfo& button = frame.sprites[0];
  EXPECT_EQ(1u, button.id);
  EXPECT_EQ("SPRITE_PlayPause", button.name);
  EXPECT_EQ(30, button.x);
  EXPECT_EQ(4, button.y);
  EXPECT_TRUE(button.visible);
  ASSERT_EQ(2u, button.events.size());
  const std::vector<filmcheck::Action>& click = button.events.at(Tag("clik"));
  ASSERT_EQ(2u, click.size());
  EXPECT_EQ(3073u, click[0].type);
  EXPECT_EQ((Bytes{0, 2}), click[0].parameters.at(0));
  EXPECT_EQ(0x2000u, click[1].type);
  EXPECT_EQ((Bytes{0, 0, 0, 7}), click[1].parameters.at(0));
  EXPECT_EQ("SPRITE_PlayPause", click[1].Text());
  const std::vector<filmcheck::Action>& enter = button.events.at(Tag("entr"));
  ASSERT_EQ(1u, enter.size());
  EXPECT_EQ(Tag("KXsc"), enter[0].type);
  ASSERT_EQ(3u, enter[0].parameters.size());
  EXPECT_EQ((Bytes{0, 0, 0, 1}), enter[0].parameters[0]);
  EXPECT_EQ("ShowHelp", enter[0].Text());
  EXPECT_EQ((Bytes{'n', 'o', 'w', 0}), enter[0].parameters[2]);

  const filmcheck::SpriteInfo& back = frame.sprites[1];
  EXPECT_EQ(2u, back.id);
  EXPECT_EQ("", back.name);
  EXPECT_FALSE(back.visible);
  EXPECT_EQ(10, back.layer);
  EXPECT_EQ(36u, back.mode);
  EXPECT_EQ(2, back.image);
  EXPECT_TRUE(back.events.empty());
}

TEST(SpriteSamples, OverrideFrameHoldsOnlyWhatChanges) {
  film::SpriteOverride o;
  o.spriteId = 3;
  o.image = 2;
  filmcheck::AtomNode root;
  std::string why;
  ASSERT_TRUE(filmcheck::ReadContainer(film::OverrideSample({o}, {film::SetVisible(true)}), root, why)) << why;
  ASSERT_EQ(2u, root.children.size());
  const filmcheck::AtomNode* sprite = root.Child(Tag("sprt"), 3);
  ASSERT_NE(nullptr, sprite);
  ASSERT_EQ(1u, sprite->children.size());
  EXPECT_EQ(100u, sprite->children[0].type);
  EXPECT_EQ((Bytes{0, 2}), sprite->children[0].data);
  const filmcheck::AtomNode* loaded = root.Child(Tag("fram"), 1);
  ASSERT_NE(nullptr, loaded);
  ASSERT_EQ(1u, loaded->children.size());
  EXPECT_EQ(Tag("actn"), loaded->children[0].type);
}

// A small film of every kind of track, with the system's block.
film::FilmSpec SmallFilm() {
  film::FilmSpec spec;
  film::VideoTrack video;
  for (int i = 0; i < 4; ++i) {
    Picture p(32, 24, Colour{20, 30, 40});
    p.FillRect(i * 4, 4, i * 4 + 6, 10, Colour{250, 200, 0});
    video.frames.push_back(p);
  }
  video.keyInterval = 3;
  spec.video.push_back(video);
  film::SoundTrack sound;
  sound.format = {Tag("twos"), 1, 16, 8000};
  sound.frames = film::Tone(8000, 440, 0.4, 0.5);
  spec.sound.push_back(sound);
  film::SpriteTrack strip;
  strip.place.enabled = false;
  strip.place.layer = -1;
  strip.width = 32;
  strip.height = 8;
  film::SpriteFrame key;
  key.key = TwoSprites();
  key.duration = 120;
  strip.frames.push_back(key);
  film::SpriteFrame over;
  over.overrides.push_back({1, 2, {}, {}, {}});
  over.duration = 120;
  strip.frames.push_back(over);
  spec.sprites.push_back(strip);
  spec.name = "Small";
  spec.copyright = "(c) us";
  spec.system = film::SystemData{{{"ShowHelp", "playQT(AutoPlay=\"1\",Track=\"2\")"},
                                  {"Away", "launchURL(URL=\"http://example.invalid/\")"}},
                                 {{"GMID", "77"}, {"Version", "2"}}};
  return spec;
}

// The first atom inside the movie atom of a film file.
qtf::FourCC FirstInMovie(const Bytes& file) {
  qtf::ByteReader r(file);
  uint32_t size, type;
  while (r.ReadU32(size) && r.ReadU32(type)) {
    if (type == Tag("moov")) {
      uint32_t innerSize, inner;
      return r.ReadU32(innerSize) && r.ReadU32(inner) ? inner : 0;
    }
    if (size < 8 || !r.Skip(size - 8)) break;
  }
  return 0;
}

TEST(FilmWriter, WritesTracksAndTheSystemsData) {
  const std::string path = Scratch("small.flm");
  ASSERT_TRUE(film::WriteFilm(SmallFilm(), path).Ok());

  qtf::MovieModel movie;
  qtf::FileFacts facts;
  ASSERT_TRUE(qtf::ReadMovieFile(path, movie, facts).Ok());
  EXPECT_TRUE(facts.filmBlock);
  ASSERT_EQ(3u, movie.tracks.size());
  const qtf::TrackModel& video = movie.tracks[0];
  EXPECT_EQ(Tag("vide"), video.media.type);
  EXPECT_EQ(32 << 16, video.header.width);
  EXPECT_EQ(4u, video.media.samples.sampleCount);
  EXPECT_TRUE(video.media.samples.IsSync(0));
  EXPECT_FALSE(video.media.samples.IsSync(1));
  EXPECT_TRUE(video.media.samples.IsSync(3));
  EXPECT_EQ(Tag("soun"), movie.tracks[1].media.type);
  EXPECT_EQ(3200u, movie.tracks[1].media.samples.sampleCount);
  const qtf::TrackModel& strip = movie.tracks[2];
  EXPECT_EQ(Tag("sprt"), strip.media.type);
  EXPECT_FALSE(strip.header.flags & qtf::kTrackEnabled);
  EXPECT_EQ(-1, strip.header.layer);
  EXPECT_EQ(8 << 16, strip.header.height);
  EXPECT_EQ(2u, strip.media.samples.sampleCount);
  EXPECT_TRUE(strip.media.samples.IsSync(0));
  EXPECT_FALSE(strip.media.samples.IsSync(1));
  ASSERT_EQ(1u, strip.media.samples.descriptions.size());
  EXPECT_EQ(16u, strip.media.samples.descriptions[0].entry.size());

  // The sprite sample in the file is the one made in memory.
  EXPECT_EQ(film::KeyFrameSample(TwoSprites()), filmcheck::SampleBytes(path, strip, 0));

  // Every video sample decodes from the file to its picture.
  const film::FilmSpec spec = SmallFilm();
  qtc::VideoDecoder decoder(video.media.samples.descriptions[0]);
  qtc::Frame frame;
  for (uint32_t i = 0; i < 4; ++i) {
    const Bytes sample = filmcheck::SampleBytes(path, video, i);
    EXPECT_EQ(qtc::DecodeResult::Ok, decoder.Decode(sample.data(), sample.size(), frame));
    EXPECT_EQ(spec.video[0].frames[i].Pixels(), frame.pixels) << "frame " << i;
  }

  // The system's films put the movie's user data first, so the readers
  // count the block; the block's roots read back through the store.
  EXPECT_EQ(Tag("udta"), FirstInMovie(filmcheck::FileBytes(path)));
  EXPECT_EQ((std::map<std::string, std::string>{{"Away", "launchURL(URL=\"http://example.invalid/\")"},
                                                {"ShowHelp", "playQT(AutoPlay=\"1\",Track=\"2\")"}}),
            filmcheck::StoredActions(path));
  std::map<std::string, std::string> preferences;
  ASSERT_TRUE(filmcheck::StoredPreferences(path, preferences));
  EXPECT_EQ((std::map<std::string, std::string>{{"GMID", "77"}, {"Version", "2"}}), preferences);
}

TEST(FilmWriter, AFilmWithoutTheSystemsDataStartsWithItsHeader) {
  film::FilmSpec spec = SmallFilm();
  spec.system.reset();
  const std::string path = Scratch("plain.flm");
  ASSERT_TRUE(film::WriteFilm(spec, path).Ok());
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  ASSERT_TRUE(qtf::ReadMovieFile(path, movie, facts).Ok());
  EXPECT_FALSE(facts.filmBlock);
  EXPECT_EQ(Tag("mvhd"), FirstInMovie(filmcheck::FileBytes(path)));
  ASSERT_EQ(2u, movie.userData.size());
  EXPECT_EQ(Tag("AANM"), movie.userData[0].type);
  EXPECT_EQ((Bytes{'S', 'm', 'a', 'l', 'l'}), movie.userData[0].data);
  EXPECT_EQ(Tag("AACY"), movie.userData[1].type);
  std::map<std::string, std::string> preferences;
  EXPECT_FALSE(filmcheck::StoredPreferences(path, preferences));
}

TEST(FilmWriter, RefusesWhatItCannotWrite) {
  struct Case {
    const char* name;
    void (*spoil)(film::FilmSpec&);
  };
  const Case cases[] = {
      {"no tracks", [](film::FilmSpec& s) { s = film::FilmSpec(); }},
      {"frames of two sizes", [](film::FilmSpec& s) { s.video[0].frames[1] = Picture(8, 8); }},
      {"a depth without an encoder", [](film::FilmSpec& s) { s.video[0].depth = 8; }},
      {"a codec without an encoder", [](film::FilmSpec& s) { s.video[0].codec = Tag("cvid"); }},
      {"sound of half a frame", [](film::FilmSpec& s) {
         s.sound[0].format.channels = 2;
         s.sound[0].frames.resize(3);
       }},
      {"a sprite track that starts with an override",
       [](film::FilmSpec& s) { s.sprites[0].frames.erase(s.sprites[0].frames.begin()); }},
      // The store would keep an empty name or reorder the keys: the film
      // would run something else than its author wrote.
      {"a command text without parameters",
       [](film::FilmSpec& s) { s.system->actions.push_back({"Quit", "CloseWindow()"}); }},
      {"a command text with keys out of order",
       [](film::FilmSpec& s) { s.system->actions.push_back({"Help", "playQT(Track=\"2\",AutoPlay=\"1\")"}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Scratch("refused.flm");
    std::remove(path.c_str());
    film::FilmSpec spec = SmallFilm();
    c.spoil(spec);
    const qtf::Status s = film::WriteFilm(spec, path);
    EXPECT_FALSE(s.Ok());
    EXPECT_FALSE(s.what.empty());
    EXPECT_FALSE(Exists(path)) << "nothing is written";
  }
}

}  // namespace
