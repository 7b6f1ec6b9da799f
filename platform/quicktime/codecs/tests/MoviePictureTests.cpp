// The picture of a movie at a time: tracks placed by their matrices in layer
// order, edits mapping movie time to samples, key samples decoded first.
#include "MoviePicture.h"
#include "MovieReader.h"
#include "TestFilms.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {

const uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

// A 'raw ' 24-bit sample of one colour.
Bytes Solid(int width, int height, uint32_t rgb) {
  Bytes b;
  for (int i = 0; i < width * height; ++i) b.insert(b.end(), {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
  return b;
}

TrackSpec SolidTrack(int side, uint32_t rgb) {
  TrackSpec t;
  t.description = VideoDescription("raw ", uint16_t(side), uint16_t(side), 24);
  t.samples = {Solid(side, side, rgb)};
  return t;
}

// Reads a film from memory and keeps what MoviePicture borrows.
struct Movie {
  explicit Movie(const Bytes& film) : bytes(film), source(bytes.data(), bytes.size()) {
    qtf::FileFacts facts;
    ok = qtf::ReadMovie(source, model, facts).Ok();
  }
  Bytes bytes;
  qtf::MemorySource source;
  qtf::MovieModel model;
  bool ok = false;
};

TEST(MoviePicture, TracksPlacedByMatricesLowerLayersInFront) {
  struct Case {
    const char* name;
    int16_t greenLayer;
    bool greenEnabled;
    int width;                       // of the picture
    std::vector<std::pair<int, int>> points;
    std::vector<uint32_t> want;
  };
  // Red 4 x 4 at the origin; green 2 x 2 doubled and moved to (2, 2).
  const Case kCases[] = {
      {"green in front", -1, true, 6, {{1, 1}, {3, 3}, {5, 5}, {5, 0}, {0, 5}}, {kRed, kGreen, kGreen, 0, 0}},
      {"green behind", 1, true, 6, {{1, 1}, {3, 3}, {5, 5}}, {kRed, kRed, kGreen}},
      {"green disabled", -1, false, 4, {{3, 3}}, {kRed}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TrackSpec green = SolidTrack(2, kGreen);
    green.matrix = Place(2, 2, 2, 2);
    green.layer = c.greenLayer;
    green.enabled = c.greenEnabled;
    Movie movie(MakeFilm({SolidTrack(4, kRed), green}));
    ASSERT_TRUE(movie.ok);
    qtc::MoviePicture picture(movie.model, movie.source);
    qtc::Frame frame;
    ASSERT_TRUE(picture.Draw(0, frame));
    EXPECT_EQ(c.width, frame.width);
    EXPECT_EQ(c.width, frame.height);
    for (size_t i = 0; i < c.points.size(); ++i)
      EXPECT_EQ(c.want[i], frame.At(c.points[i].first, c.points[i].second)) << "at " << c.points[i].first;
  }
}

TEST(MoviePicture, MovieMatrixScalesTheBox) {
  Movie movie(MakeFilm({SolidTrack(4, kRed)}, Place(2, 1.5, 10, 10)));
  ASSERT_TRUE(movie.ok);
  qtc::MoviePicture picture(movie.model, movie.source);
  EXPECT_EQ(10, picture.Left());
  EXPECT_EQ(10, picture.Top());
  qtc::Frame frame;
  ASSERT_TRUE(picture.Draw(0, frame));
  EXPECT_EQ(8, frame.width);
  EXPECT_EQ(6, frame.height);
  EXPECT_EQ(std::vector<uint32_t>(48, kRed), frame.pixels);
}

TEST(MoviePicture, EditsMapMovieTimeToSamples) {
  // Media time scale 10: each sample lasts 60 units of the movie's 600.
  TrackSpec t;
  t.description = VideoDescription("raw ", 1, 1, 24);
  t.samples = {Solid(1, 1, kRed), Solid(1, 1, kGreen), Solid(1, 1, kBlue)};
  t.edits = {{60, -1, 0x10000}, {120, 1, 0x10000}};  // nothing for 60, then media from sample 1
  Movie movie(MakeFilm({t}));
  ASSERT_TRUE(movie.ok);
  qtc::MoviePicture picture(movie.model, movie.source);
  struct Case {
    uint64_t time;
    uint32_t want;
  };
  for (Case c : {Case{30, 0}, Case{60, kGreen}, Case{130, kBlue}, Case{179, kBlue}, Case{5000, kBlue}}) {
    qtc::Frame frame;
    ASSERT_TRUE(picture.Draw(c.time, frame));
    EXPECT_EQ(c.want, frame.At(0, 0)) << "at " << c.time;
  }
}

TEST(MoviePicture, SamplesBetweenKeysDecodeFromTheKeyBefore) {
  auto key = [](uint32_t rgb) {
    return Bytes{0, 0, 0, 0, 0, 0, 1, uint8_t(-2), uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 0xFF};
  };
  auto pixel = [](int x, uint32_t rgb) {
    return Bytes{0, 0, 0, 0, 0, 0, uint8_t(x + 1), 1, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 0xFF};
  };
  TrackSpec t;
  t.description = VideoDescription("rle ", 2, 1, 24);
  t.samples = {key(kRed), pixel(0, kGreen), pixel(1, kBlue), key(0xFFFFFF), pixel(1, 0)};
  t.sync = {1, 4};
  Movie movie(MakeFilm({t}));
  ASSERT_TRUE(movie.ok);
  qtc::MoviePicture picture(movie.model, movie.source);
  struct Case {
    uint64_t time;  // 60 per sample
    std::vector<uint32_t> want;
  };
  // Forward, back, across a key and back to the start.
  for (const Case& c : {Case{120, {kGreen, kBlue}}, Case{60, {kGreen, kRed}}, Case{180, {0xFFFFFF, 0xFFFFFF}},
                        Case{240, {0xFFFFFF, 0}}, Case{0, {kRed, kRed}}}) {
    qtc::Frame frame;
    ASSERT_TRUE(picture.Draw(c.time, frame));
    EXPECT_EQ(c.want, frame.pixels) << "at " << c.time;
  }
}

TEST(MoviePicture, NoPictureWithoutABoxToDraw) {
  TrackSpec hidden = SolidTrack(4, kRed);
  hidden.enabled = false;
  // Found by the fuzzer: a box beyond any pixel coordinate.
  TrackSpec vast = SolidTrack(4, kRed);
  vast.width = 65535;
  vast.matrix = Place(30000, 1, 0, 0);
  TrackSpec large = SolidTrack(4, kRed);
  large.width = 5000;
  for (const TrackSpec& t : {hidden, vast, large}) {
    Movie movie(MakeFilm({t}));
    ASSERT_TRUE(movie.ok);
    qtc::MoviePicture picture(movie.model, movie.source);
    qtc::Frame frame;
    EXPECT_FALSE(picture.Draw(0, frame)) << t.width;
  }
}

}  // namespace
