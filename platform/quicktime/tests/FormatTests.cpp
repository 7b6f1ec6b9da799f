// The film-file core on films written byte by byte: what it reads, what it
// refuses, and that what it writes reads back the same.
#include "FilmBytes.h"
#include "Inflate.h"
#include "MovieReader.h"
#include "MovieWriter.h"

#include <gtest/gtest.h>

#include <functional>

using namespace filmtest;
using qtf::Fault;
using qtf::Tag;

namespace {

qtf::Status Read(const Bytes& film, qtf::MovieModel& movie, qtf::FileFacts& facts) {
  qtf::MemorySource source(film.data(), film.size());
  return qtf::ReadMovie(source, movie, facts);
}

qtf::Status Read(const Bytes& film) {
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  return Read(film, movie, facts);
}

std::string ItemText(const qtf::UserDataList& items, qtf::FourCC type) {
  for (const qtf::UserDataItem& item : items)
    if (item.type == type) return std::string(item.data.begin(), item.data.end());
  return "(none)";
}

// What every valid variant of the tiny film must read as.
void ExpectTinyFilm(const qtf::MovieModel& m, bool withSound = true) {
  EXPECT_EQ(600u, m.header.timeScale);
  EXPECT_EQ(300u, m.header.posterTime);
  ASSERT_EQ(withSound ? 2u : 1u, m.tracks.size());

  const qtf::TrackModel& video = m.tracks[0];
  EXPECT_EQ(1u, video.header.id);
  EXPECT_EQ(64 << 16, video.header.width);
  EXPECT_EQ(48 << 16, video.header.height);
  EXPECT_EQ(Tag("vide"), video.media.type);
  EXPECT_EQ("Video Media Handler", video.media.handlerName);
  EXPECT_EQ(30u, video.media.timeScale);
  EXPECT_EQ(600u, qtf::TrackDuration(video, 600));
  const qtf::SampleTable& vt = video.media.samples;
  EXPECT_EQ(3u, vt.sampleCount);
  EXPECT_EQ(30u, vt.Duration());
  uint64_t offset, size;
  ASSERT_TRUE(vt.SampleRange(2, offset, size));
  EXPECT_EQ(8u + 10 + 20, offset);
  EXPECT_EQ(30u, size);
  EXPECT_TRUE(vt.IsSync(0));
  EXPECT_FALSE(vt.IsSync(1));
  qtf::VideoFormat vf;
  ASSERT_TRUE(qtf::ReadVideoFormat(vt.descriptions[0], vf));
  EXPECT_EQ(64, vf.width);
  EXPECT_EQ(24, vf.depth);
  EXPECT_EQ("none", vf.compressorName);

  if (withSound) {
    const qtf::TrackModel& sound = m.tracks[1];
    EXPECT_EQ(Tag("soun"), sound.media.type);
    EXPECT_FALSE(sound.hasEditList);
    // 800 samples at 8000 Hz: a tenth of a second, 60 units of the movie.
    EXPECT_EQ(60u, qtf::TrackDuration(sound, 600));
    ASSERT_EQ(2u, sound.media.samples.chunks.size());
    EXPECT_EQ(400u, sound.media.samples.chunks[1].bytes);
  }
  EXPECT_EQ("Tiny film", ItemText(m.userData, Tag("AANM")));
  EXPECT_EQ("(c) Glintharbour", ItemText(m.userData, Tag("AACY")));
}

TEST(FilmFormat, ReadsTheTinyFilmInEveryArrangement) {
  struct Case {
    const char* name;
    TinyFilmOptions options;
  };
  TinyFilmOptions userDataFirst, compressed, block, both;
  userDataFirst.userDataFirst = true;
  compressed.compressed = true;
  block.filmBlock = true;
  both.userDataFirst = both.compressed = both.filmBlock = true;
  const Case cases[] = {{"plain", {}},
                        {"user data before the movie header", userDataFirst},
                        {"compressed movie header", compressed},
                        {"system's block at the top level", block},
                        {"all of these", both}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qtf::MovieModel movie;
    qtf::FileFacts facts;
    qtf::Status s = Read(TinyFilm(c.options), movie, facts);
    ASSERT_TRUE(s.Ok()) << s.what;
    ExpectTinyFilm(movie);
    EXPECT_EQ(c.options.compressed, movie.compressedHeader);
    EXPECT_EQ(c.options.filmBlock, facts.filmBlock);
  }
}

TEST(FilmFormat, ReadsSixtyFourBitSizesAndALastAtomOfSizeZero) {
  Bytes film = TinyFilm();
  // The 'mdat' rewritten with a 64-bit size: 8 more header bytes move the
  // chunks, so the offsets move with them.
  Bytes data(film.begin() + 8, film.begin() + GetU32(film, 0));
  Bytes rest(film.begin() + GetU32(film, 0), film.end());
  Bytes wide = Cat({U32(1), Text("mdat"), U64(data.size() + 16), data, rest});
  for (int track = 0; track < 2; ++track) {
    size_t stco = FindAtom(wide, {"moov", "trak", "mdia", "minf", "stbl", "stco"}, track);
    uint32_t count = GetU32(wide, stco + 12);
    for (uint32_t i = 0; i < count; ++i) PutU32(wide, stco + 16 + 4 * i, GetU32(wide, stco + 16 + 4 * i) + 8);
  }
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  qtf::Status s = Read(wide, movie, facts);
  ASSERT_TRUE(s.Ok()) << s.what;
  uint64_t offset, size;
  ASSERT_TRUE(movie.tracks[0].media.samples.SampleRange(0, offset, size));
  EXPECT_EQ(16u, offset);

  Bytes open = TinyFilm();
  PutU32(open, FindAtom(open, {"moov"}), 0);  // the last atom runs to the end of the file
  s = Read(open, movie, facts);
  ASSERT_TRUE(s.Ok()) << s.what;
  ExpectTinyFilm(movie);
}

TEST(FilmFormat, RefusesDamagedFilms) {
  using Change = std::function<void(Bytes&)>;
  auto atom = [](std::vector<const char*> path) {
    return [path](Bytes& f) { return FindAtom(f, path); };
  };
  auto stbl = [](const char* table) {
    return [table](Bytes& f) { return FindAtom(f, {"moov", "trak", "mdia", "minf", "stbl", table}); };
  };
  auto setU32 = [](std::function<size_t(Bytes&)> where, size_t field, uint32_t v) -> Change {
    return [where, field, v](Bytes& f) { PutU32(f, where(f) + field, v); };
  };
  auto cut = [](size_t keep) -> Change { return [keep](Bytes& f) { f.resize(keep); }; };
  auto cutInside = [](std::function<size_t(Bytes&)> where, size_t into) -> Change {
    return [where, into](Bytes& f) { f.resize(where(f) + into); };
  };
  struct Case {
    const char* name;
    Change change;
    Fault want;
  };
  const Case cases[] = {
      {"cut inside the movie header", cutInside(atom({"moov", "mvhd"}), 40), Fault::Truncated},
      {"cut inside the sample sizes", cutInside(stbl("stsz"), 18), Fault::Truncated},
      {"cut inside a top-level header", cut(4), Fault::Truncated},
      {"movie atom past the end", setU32(atom({"moov"}), 0, 0x7FFFFFFF), Fault::Truncated},
      {"child atom past its parent", setU32(atom({"moov", "mvhd"}), 0, 0x10000), Fault::Truncated},
      {"child atom of size 0", setU32(stbl("stsz"), 0, 0), Fault::Corrupt},
      {"atom smaller than its header", setU32(atom({"moov", "trak"}), 0, 4), Fault::Corrupt},
      {"chunk offset past the end", setU32(stbl("stco"), 16, 0x7FFFFFF0), Fault::Truncated},
      {"chunk running past the end",
       [](Bytes& f) { PutU32(f, FindAtom(f, {"moov", "trak", "mdia", "minf", "stbl", "stco"}) + 16, uint32_t(f.size() - 10)); },
       Fault::Truncated},
      {"time-to-sample count beyond its table", setU32(stbl("stts"), 12, 0x40000000), Fault::Truncated},
      {"sample count beyond its table", setU32(stbl("stsz"), 16, 1000000), Fault::Truncated},
      {"durations for fewer samples", setU32(stbl("stts"), 16, 2), Fault::Corrupt},
      {"first chunk run not at chunk 1", setU32(stbl("stsc"), 16, 2), Fault::Corrupt},
      {"chunk run naming a missing description", setU32(stbl("stsc"), 24, 2), Fault::Corrupt},
      {"chunks holding more samples", setU32(stbl("stsc"), 20, 4), Fault::Corrupt},
      {"chunk run of empty chunks", setU32(stbl("stsc"), 20, 0), Fault::Corrupt},
      {"sync sample beyond the samples", setU32(stbl("stss"), 16, 9), Fault::Corrupt},
      {"movie time scale 0", setU32(atom({"moov", "mvhd"}), 20, 0), Fault::Corrupt},
      {"media time scale 0", setU32(atom({"moov", "trak", "mdia", "mdhd"}), 20, 0), Fault::Corrupt},
      {"edit before its media", setU32(atom({"moov", "trak", "edts", "elst"}), 20, 0xFFFFFFFE), Fault::Corrupt},
      {"sample description larger than its table", setU32(stbl("stsd"), 16, 5000), Fault::Truncated},
      {"sample table without sizes", setU32(stbl("stsz"), 4, Tag("free")), Fault::Corrupt},
      {"no movie at all", [](Bytes& f) { f.resize(GetU32(f, 0)); }, Fault::NoMovie},
      {"a text file", [](Bytes& f) { f = Text("This is not a film, only some words.\n"); }, Fault::Truncated},
      {"an empty file", [](Bytes& f) { f.clear(); }, Fault::NoMovie},
  };
  for (const Case& c : cases) {
    Bytes film = TinyFilm();
    c.change(film);
    qtf::Status s = Read(film);
    EXPECT_EQ(int(c.want), int(s.fault)) << c.name << ": " << s.what;
  }
}

TEST(FilmFormat, RefusesDamagedCompressedHeaders) {
  auto compressed = [](const Bytes& moov, const char* method, uint32_t size) {
    return Cat({Atom("mdat", Bytes(100, 0)),
                Atom("moov", Atom("cmov", Cat({Atom("dcom", Text(method)),
                                               Atom("cmvd", Cat({U32(size), qtf::Deflate(moov)}))})))});
  };
  Bytes film = TinyFilm();
  Bytes moov(film.begin() + FindAtom(film, {"moov"}), film.end());
  Bytes garbage = Cat({Atom("mdat", Bytes(100, 0)),
                       Atom("moov", Atom("cmov", Cat({Atom("dcom", Text("zlib")),
                                                      Atom("cmvd", Cat({U32(500), Bytes(40, 0x55)}))})))});
  Bytes nested = compressed(Atom("moov", Atom("cmov", Bytes(8, 0))), "zlib", 24);
  struct Case {
    const char* name;
    Bytes film;
    Fault want;
  };
  const Case cases[] = {
      {"unknown method", compressed(moov, "lzw ", uint32_t(moov.size())), Fault::Unsupported},
      {"size claimed too small", compressed(moov, "zlib", uint32_t(moov.size() - 1)), Fault::Corrupt},
      {"size claimed too large", compressed(moov, "zlib", uint32_t(moov.size() + 1)), Fault::Corrupt},
      {"size beyond the limit", compressed(moov, "zlib", 0xFFFFFFF0u), Fault::Unsupported},
      {"not a zlib stream", garbage, Fault::Corrupt},
      {"compressed inside compressed", nested, Fault::Corrupt},
  };
  for (const Case& c : cases) {
    qtf::Status s = Read(c.film);
    EXPECT_EQ(int(c.want), int(s.fault)) << c.name << ": " << s.what;
  }
}

TEST(FilmFormat, WrittenMovieReadsBackTheSame) {
  Bytes film = TinyFilm();
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  ASSERT_TRUE(Read(film, movie, facts).Ok());
  std::vector<const qtf::TrackModel*> tracks;
  for (const qtf::TrackModel& t : movie.tracks) tracks.push_back(&t);
  // Same media bytes, the movie atom replaced by ours.
  Bytes rewritten(film.begin(), film.begin() + facts.movieOffset);
  Bytes atom = qtf::BuildMovieAtom(movie.header, tracks, movie.userData);
  rewritten.insert(rewritten.end(), atom.begin(), atom.end());

  qtf::MovieModel again;
  qtf::Status s = Read(rewritten, again, facts);
  ASSERT_TRUE(s.Ok()) << s.what;
  ExpectTinyFilm(again);
  for (size_t i = 0; i < movie.tracks.size(); ++i) {
    const qtf::SampleTable& a = movie.tracks[i].media.samples;
    const qtf::SampleTable& b = again.tracks[i].media.samples;
    EXPECT_EQ(a.sampleCount, b.sampleCount);
    EXPECT_EQ(a.Duration(), b.Duration());
    EXPECT_EQ(a.allSync, b.allSync);
    EXPECT_EQ(a.syncSamples, b.syncSamples);
    ASSERT_EQ(a.chunks.size(), b.chunks.size());
    for (size_t c = 0; c < a.chunks.size(); ++c) EXPECT_EQ(a.chunks[c].offset, b.chunks[c].offset);
    EXPECT_EQ(a.descriptions[0].entry, b.descriptions[0].entry);
  }
}

TEST(FilmFormat, FindsSamplesByTime) {
  qtf::SampleTable t;
  t.descriptions.push_back({Tag("raw "), Bytes(16, 0)});
  t.times = {{2, 10}, {0, 99}, {3, 0}, {1, 5}};  // a run of none and a run of zero durations
  t.sampleCount = 6;
  t.constantSize = 4;
  t.chunks = {{100, 6, 1}};
  ASSERT_TRUE(t.Index(Tag("vide")).Ok());
  EXPECT_EQ(25u, t.Duration());
  struct Case {
    uint64_t time;
    bool found;
    uint32_t sample;
  };
  const Case cases[] = {{0, true, 0}, {9, true, 0}, {10, true, 1}, {19, true, 1},
                        {20, true, 5}, {24, true, 5}, {25, false, 0}};
  for (const Case& c : cases) {
    uint32_t sample = 99;
    EXPECT_EQ(c.found, t.SampleAtTime(c.time, sample)) << c.time;
    if (c.found) {
      EXPECT_EQ(c.sample, sample) << c.time;
    }
  }
  EXPECT_EQ(20u, t.SampleTime(2));
  EXPECT_EQ(20u, t.SampleTime(5));
  uint64_t offset, size;
  ASSERT_TRUE(t.SampleRange(3, offset, size));
  EXPECT_EQ(112u, offset);
}

TEST(FilmFormat, MeasuresSoundChunksFromTheirDescription) {
  // Old sound tables count single frames with the constant size 1; the
  // description says how many bytes a frame or a packet takes.
  auto description = [](uint16_t version, uint16_t channels, uint16_t bits, const char* format) {
    Bytes d = Cat({U32(0), Text(format), Bytes(6, 0), U16(1), U16(version), U16(0), U32(0), U16(channels),
                   U16(bits), U16(0), U16(0), U32(22050u << 16)});
    if (version == 1) d = Cat({d, U32(64), U32(34), U32(34 * channels), U32(2)});
    PutU32(d, 0, uint32_t(d.size()));
    return d;
  };
  struct Case {
    const char* name;
    Bytes description;
    uint32_t constantSize;
    uint64_t bytes;
  };
  const Case cases[] = {
      {"16-bit stereo frames", description(0, 2, 16, "twos"), 1, 128 * 4},
      {"8-bit mono frames", description(0, 1, 8, "raw "), 1, 128},
      {"ima4 packets counted in frames", description(1, 1, 16, "ima4"), 1, 2 * 34},
      {"ima4 stereo packets counted in frames", description(1, 2, 16, "ima4"), 1, 2 * 68},
      {"sizes given per sample", description(0, 2, 16, "twos"), 4, 128 * 4},
  };
  for (const Case& c : cases) {
    qtf::SampleTable t;
    t.descriptions.push_back({Tag("raw "), c.description});
    t.times = {{128, 1}};
    t.sampleCount = 128;
    t.constantSize = c.constantSize;
    t.chunks = {{0, 128, 1}};
    ASSERT_TRUE(t.Index(Tag("soun")).Ok()) << c.name;
    EXPECT_EQ(c.bytes, t.chunks[0].bytes) << c.name;
  }
}

TEST(FilmFormat, ConvertsTimesBetweenScales) {
  struct Case {
    uint64_t a;
    uint32_t b, c;
    uint64_t want;
  };
  const Case cases[] = {
      {600, 1000, 600, 1000},   {1, 1, 3, 0},       {2, 1, 3, 1},
      {uint64_t(1) << 40, 22050, 1000, 24244231392461u},  // 24244231392460.8, beyond 64-bit a*b
      {UINT64_MAX, 2, 1, UINT64_MAX},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, qtf::MulDiv(c.a, c.b, c.c)) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace
