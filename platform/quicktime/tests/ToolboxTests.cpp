// The toolbox functions on films written in the test: opening, facts,
// boxes, user data, handles, damaged files and the track copy.
#include "ByteFixture.h"
#include "MovieReader.h"
#include "ToolboxSupport.h"

#include <cstring>

using namespace filmtest;

namespace {

std::string SpecName(const FSSpec& spec) { return std::string(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]); }

Str255* Pascal(const std::string& s, Str255& out) {
  out[0] = uint8_t(s.size() > 255 ? 255 : s.size());
  std::memcpy(out + 1, s.data(), out[0]);
  return &out;
}

class Toolbox : public ToolboxTest {
 protected:
  std::string WriteTiny(const std::string& name, const TinyFilmOptions& options = {}) {
    std::string path = dir_ + "/" + name;
    WriteFile(path, TinyFilm(options));
    return path;
  }
};

TEST_F(Toolbox, MakesFileSpecificationsOfFullPaths) {
  std::string film = WriteTiny("a.mov");
  Str255 name;
  FSSpec spec;
  EXPECT_EQ(noErr, FSMakeFSSpec(0, 0, *Pascal(film, name), &spec));
  // Packed fields are read by value: a reference to one would be misaligned.
  int16_t volume = spec.vRefNum;
  int32_t folder = spec.parID;
  EXPECT_EQ(0, volume);
  EXPECT_EQ(0, folder);
  // A file that is not there yet still gets its specification, to be created.
  std::string missing = dir_ + "/not yet.mov";
  EXPECT_EQ(fnfErr, FSMakeFSSpec(0, 0, *Pascal(missing, name), &spec));
  EXPECT_NE(std::string::npos, SpecName(spec).find("not yet.mov"));
  // A relative name becomes the full path it means now.
  EXPECT_EQ(fnfErr, FSMakeFSSpec(0, 0, *Pascal("relative.mov", name), &spec));
  EXPECT_GT(SpecName(spec).size(), std::string("relative.mov").size());

  EXPECT_EQ(paramErr, FSMakeFSSpec(1, 0, *Pascal(film, name), &spec));
  EXPECT_EQ(bdNamErr, FSMakeFSSpec(0, 0, *Pascal("", name), &spec));
  EXPECT_EQ(paramErr, FSMakeFSSpec(0, 0, nullptr, &spec));
}

TEST_F(Toolbox, RefusesPathsThatDoNotFitTheName) {
  // 255 characters fit; one more would name another file once cut, so the
  // specification fails and names nothing.
  std::string base = dir_ + "/";
  std::string fits = base + std::string(255 - base.size(), 'f');
  Str255 name;
  FSSpec spec;
  EXPECT_EQ(fnfErr, FSMakeFSSpec(0, 0, *Pascal(fits, name), &spec));
  EXPECT_EQ(255, spec.name[0]);
  // A relative name whose full path passes 255 characters.
  std::string relative(250, 'r');
  EXPECT_EQ(bdNamErr, FSMakeFSSpec(0, 0, *Pascal(relative, name), &spec));
  EXPECT_EQ(0, spec.name[0]);
}

TEST_F(Toolbox, OpensAFilmAndReportsItsFacts) {
  Movie movie = nullptr;
  ASSERT_EQ(noErr, LoadMovie(WriteTiny("tiny.mov"), movie));
  ASSERT_NE(nullptr, movie);
  EXPECT_TRUE(GetMovieActive(movie));
  EXPECT_EQ(600, GetMovieTimeScale(movie));
  EXPECT_EQ(600, GetMovieDuration(movie));
  EXPECT_EQ(300, GetMoviePosterTime(movie));
  ASSERT_EQ(2, GetMovieTrackCount(movie));

  struct Case {
    int32_t index;
    OSType type;
    const char* handler;
    TimeValue duration;
    Fixed width, height;
  };
  const Case cases[] = {
      {1, VideoMediaType, "Video Media Handler", 600, 64 << 16, 48 << 16},
      {2, SoundMediaType, "Sound Media Handler", 60, 0, 0},
  };
  for (const Case& c : cases) {
    Track track = GetMovieIndTrack(movie, c.index);
    ASSERT_NE(nullptr, track) << c.index;
    EXPECT_EQ(c.duration, GetTrackDuration(track));
    Fixed w = -1, h = -1;
    GetTrackDimensions(track, &w, &h);
    EXPECT_EQ(c.width, w);
    EXPECT_EQ(c.height, h);
    OSType type = 0;
    Str255 name;
    GetMediaHandlerDescription(GetTrackMedia(track), &type, name, nullptr);
    EXPECT_EQ(c.type, type);
    EXPECT_EQ(c.handler, std::string(reinterpret_cast<char*>(name + 1), name[0]));
  }
  // Tracks count from 1; 0 and numbers past the count give none.
  for (int32_t index : {0, 3, -1}) {
    EXPECT_EQ(nullptr, GetMovieIndTrack(movie, index)) << index;
    EXPECT_EQ(invalidTrack, GetMoviesError()) << index;
  }
  SetMovieActive(movie, 0);
  EXPECT_FALSE(GetMovieActive(movie));
  DisposeMovie(movie);
  EXPECT_EQ(noErr, GetMoviesError());
}

TEST_F(Toolbox, MovieBoxFollowsTracksAndScalesWhenSet) {
  Movie movie = nullptr;
  ASSERT_EQ(noErr, LoadMovie(WriteTiny("box.mov"), movie));
  Rect box;
  GetMovieBox(movie, &box);
  EXPECT_EQ(0, box.top);
  EXPECT_EQ(0, box.left);
  EXPECT_EQ(48, box.bottom);
  EXPECT_EQ(64, box.right);

  // Moved to the origin as the panes do it, then scaled to another size.
  OffsetRect(&box, 10, 20);
  EXPECT_EQ(20, box.top);
  EXPECT_EQ(10, box.left);
  EXPECT_EQ(68, box.bottom);
  EXPECT_EQ(74, box.right);
  const Rect sizes[] = {{20, 10, 68, 74}, {3, 5, 243, 325}, {0, 0, 31, 17}, {-5, -7, 95, 193}};
  for (const Rect& want : sizes) {
    SetMovieBox(movie, &want);
    EXPECT_EQ(noErr, GetMoviesError());
    Rect got;
    GetMovieBox(movie, &got);
    EXPECT_EQ(want.top, got.top);
    EXPECT_EQ(want.left, got.left);
    EXPECT_EQ(want.bottom, got.bottom);
    EXPECT_EQ(want.right, got.right);
  }
  Rect upsideDown{10, 0, 0, 10};
  SetMovieBox(movie, &upsideDown);
  EXPECT_EQ(invalidRect, GetMoviesError());

  // Without an enabled visual track the box is empty.
  SetTrackEnabled(GetMovieIndTrack(movie, 1), 0);
  EXPECT_FALSE(GetTrackEnabled(GetMovieIndTrack(movie, 1)));
  Rect origin{0, 0, 0, 0};
  SetMovieBox(movie, &origin);
  GetMovieBox(movie, &box);
  EXPECT_EQ(box.top, box.bottom);
  EXPECT_EQ(box.left, box.right);
  DisposeMovie(movie);
}

TEST_F(Toolbox, ReadsUserDataItemsPresentAndAbsent) {
  Movie movie = nullptr;
  ASSERT_EQ(noErr, LoadMovie(WriteTiny("named.mov", {true, false, true, true, true}), movie));
  UserData ud = GetMovieUserData(movie);
  ASSERT_NE(nullptr, ud);
  struct Case {
    OSType type;
    int16_t count;
    const char* text;
  };
  const Case cases[] = {{FourCharCode("AANM"), 1, "Tiny film"},
                        {FourCharCode("AACY"), 1, "(c) Glintharbour"},
                        {FourCharCode("AAXX"), 0, nullptr}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.count, CountUserDataType(ud, c.type));
    Handle h = NewHandle(0);
    ASSERT_NE(nullptr, h);
    OSErr err = GetUserData(ud, h, c.type, 1);
    if (c.text) {
      EXPECT_EQ(noErr, err);
      EXPECT_EQ(c.text, std::string(*h, size_t(GetHandleSize(h))));
    } else {
      EXPECT_EQ(userDataItemNotFound, err);
      EXPECT_EQ(0, GetHandleSize(h));
    }
    EXPECT_EQ(userDataItemNotFound, GetUserData(ud, h, c.type, 2));
    DisposeHandle(h);
  }
  DisposeMovie(movie);

  ASSERT_EQ(noErr, LoadMovie(WriteTiny("plain.mov", {false, false, false, true, false}), movie));
  EXPECT_EQ(0, CountUserDataType(GetMovieUserData(movie), FourCharCode("AANM")));
  DisposeMovie(movie);
}

TEST_F(Toolbox, HandlesKeepTheirSizeAndRefuseReuse) {
  EXPECT_EQ(nullptr, NewHandle(-1));
  Handle h = NewHandle(12);
  ASSERT_NE(nullptr, h);
  ASSERT_NE(nullptr, *h);
  EXPECT_EQ(12, GetHandleSize(h));
  DisposeHandle(h);
  EXPECT_EQ(noErr, GetMoviesError());
  DisposeHandle(h);
  EXPECT_EQ(nilHandleErr, GetMoviesError());
  EXPECT_EQ(0, GetHandleSize(h));
  EXPECT_EQ(0, GetHandleSize(nullptr));
}

TEST_F(Toolbox, DisposedObjectsGiveErrorsNotCrashes) {
  Movie movie = nullptr;
  ASSERT_EQ(noErr, LoadMovie(WriteTiny("gone.mov"), movie));
  Track track = GetMovieIndTrack(movie, 1);
  Media media = GetTrackMedia(track);
  UserData ud = GetMovieUserData(movie);
  DisposeMovie(movie);
  EXPECT_EQ(0, GetMovieTrackCount(movie));
  EXPECT_EQ(invalidMovie, GetMoviesError());
  EXPECT_EQ(0, GetTrackDuration(track));
  EXPECT_EQ(invalidTrack, GetMoviesError());
  OSType type = 1;
  GetMediaHandlerDescription(media, &type, nullptr, nullptr);
  EXPECT_EQ(invalidMedia, GetMoviesError());
  EXPECT_EQ(0u, type);
  EXPECT_EQ(0, CountUserDataType(ud, FourCharCode("AANM")));
  DisposeMovie(movie);
  EXPECT_EQ(invalidMovie, GetMoviesError());
}

TEST_F(Toolbox, DamagedOrMissingFilmsFailWithAnError) {
  Bytes good = TinyFilm();
  Bytes cut(good.begin(), good.end() - 20);
  Bytes badOffset = good;
  PutU32(badOffset, FindAtom(badOffset, {"moov", "trak", "mdia", "minf", "stbl", "stco"}) + 16, 0x00FFFFFF);
  Bytes noMovie(good.begin(), good.begin() + GetU32(good, 0));
  struct Case {
    const char* name;
    Bytes film;
    OSErr want;
  };
  const Case cases[] = {{"cut short", cut, invalidMovie},
                        {"chunk outside the file", badOffset, invalidMovie},
                        {"no movie", noMovie, noMovieFound},
                        {"text", Text("hello"), invalidMovie}};
  for (const Case& c : cases) {
    std::string path = dir_ + "/damaged.mov";
    WriteFile(path, c.film);
    Movie movie = reinterpret_cast<Movie>(1);
    EXPECT_EQ(c.want, LoadMovie(path, movie)) << c.name;
    EXPECT_EQ(nullptr, movie) << c.name;
  }
  Movie movie = nullptr;
  EXPECT_EQ(fnfErr, LoadMovie(dir_ + "/missing.mov", movie));
  int16_t file = 0;
  FSSpec spec = SpecFor(dir_ + "/missing.mov");
  EXPECT_EQ(fnfErr, OpenMovieFile(&spec, &file, fsRdPerm));
  EXPECT_EQ(rfNumErr, NewMovieFromFile(&movie, 77, nullptr, nullptr, 0, nullptr));
  EXPECT_EQ(rfNumErr, CloseMovieFile(77));
}

TEST_F(Toolbox, KeepsNoFileOpenBetweenCalls) {
  // Windows refuses to delete an open file: each removal proves the film is
  // closed again after the call before it.
  std::string path = WriteTiny("open.mov");
  FSSpec spec = SpecFor(path);
  int16_t file = 0;
  ASSERT_EQ(noErr, OpenMovieFile(&spec, &file, fsRdPerm));
  Movie movie = nullptr;
  ASSERT_EQ(noErr, NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr));
  EXPECT_TRUE(Remove(path));
  EXPECT_EQ(noErr, CloseMovieFile(file));
  // The movie outlives its file; copying its media now fails cleanly.
  EXPECT_EQ(2, GetMovieTrackCount(movie));
  std::string target = dir_ + "/copy.mov";
  EXPECT_EQ(fnfErr, WriteTrackMovieFile(1, movie, target));
  EXPECT_EQ(2, GetMovieTrackCount(movie));
  DisposeMovie(movie);
  EXPECT_TRUE(Remove(target));
}

TEST_F(Toolbox, AFilmRewrittenUnderItsMovieStopsCleanly) {
  std::string path = WriteTiny("changing.mov");
  Movie movie = nullptr;
  ASSERT_EQ(noErr, LoadMovie(path, movie));
  Bytes other = TinyFilm({false, false, true, true, true});
  WriteFile(path, other);
  EXPECT_EQ(invalidDataRef, WriteTrackMovieFile(1, movie, dir_ + "/copy.mov"));
  DisposeMovie(movie);
}

TEST_F(Toolbox, TrackCopyMakesAOneTrackMovieAndTakesTheTrackAway) {
  struct Case {
    int32_t index;
    OSType type;
    TimeValue duration;
    Fixed width;
  };
  const Case cases[] = {{1, VideoMediaType, 600, 64 << 16}, {2, SoundMediaType, 60, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    std::string source = WriteTiny("source.mov");
    std::string target = dir_ + "/track.mov";
    WriteFile(target, Text("an older file at the target is replaced"));
    Movie movie = nullptr;
    ASSERT_EQ(noErr, LoadMovie(source, movie));
    ASSERT_EQ(noErr, WriteTrackMovieFile(c.index, movie, target));
    EXPECT_EQ(1, GetMovieTrackCount(movie));
    DisposeMovie(movie);

    Movie copy = nullptr;
    ASSERT_EQ(noErr, LoadMovie(target, copy));
    EXPECT_EQ(600, GetMovieTimeScale(copy));
    EXPECT_EQ(c.duration, GetMovieDuration(copy));
    EXPECT_EQ(300, GetMoviePosterTime(copy));
    ASSERT_EQ(1, GetMovieTrackCount(copy));
    Track track = GetMovieIndTrack(copy, 1);
    EXPECT_TRUE(GetTrackEnabled(track));
    Fixed w = 0, h = 0;
    GetTrackDimensions(track, &w, &h);
    EXPECT_EQ(c.width, w);
    OSType type = 0;
    GetMediaHandlerDescription(GetTrackMedia(track), &type, nullptr, nullptr);
    EXPECT_EQ(c.type, type);
    EXPECT_EQ(1, CountUserDataType(GetMovieUserData(copy), FourCharCode("AANM")));
    DisposeMovie(copy);

    // The samples are the source's, byte for byte.
    qtf::MovieModel a, b;
    qtf::FileFacts fa, fb;
    ASSERT_TRUE(qtf::ReadMovieFile(source, a, fa).Ok());
    ASSERT_TRUE(qtf::ReadMovieFile(target, b, fb).Ok());
    Bytes sourceBytes = ReadFile(source), targetBytes = ReadFile(target);
    const qtf::SampleTable& sa = a.tracks[size_t(c.index) - 1].media.samples;
    const qtf::SampleTable& sb = b.tracks[0].media.samples;
    ASSERT_EQ(sa.chunks.size(), sb.chunks.size());
    for (size_t i = 0; i < sa.chunks.size(); ++i) {
      ASSERT_EQ(sa.chunks[i].bytes, sb.chunks[i].bytes);
      EXPECT_TRUE(std::equal(sourceBytes.begin() + long(sa.chunks[i].offset),
                             sourceBytes.begin() + long(sa.chunks[i].offset + sa.chunks[i].bytes),
                             targetBytes.begin() + long(sb.chunks[i].offset)));
    }
  }
}

// The reference track copy: the video track of the tiny film as the engine
// copies it out. Every build writes these bytes (the writer stores no clock
// time) and reads them back.
TEST_F(Toolbox, TheReferenceTrackCopyIsWrittenAndReadByEveryBuild) {
  const std::string fixture = HostPath(KX_FIXTURES) + "/track-copy.mov";
  std::string source = WriteTiny("source.mov");
  std::string target = dir_ + "/track.mov";
  Movie movie = nullptr;
  ASSERT_EQ(noErr, LoadMovie(source, movie));
  ASSERT_EQ(noErr, WriteTrackMovieFile(1, movie, target));
  DisposeMovie(movie);
  kxfixture::ExpectSameBytes(fixture, ReadFile(target));

  std::string stored = dir_ + "/stored.mov";
  WriteFile(stored, kxfixture::Reference(fixture));
  Movie copy = nullptr;
  ASSERT_EQ(noErr, LoadMovie(stored, copy));
  EXPECT_EQ(600, GetMovieTimeScale(copy));
  EXPECT_EQ(600, GetMovieDuration(copy));
  EXPECT_EQ(300, GetMoviePosterTime(copy));
  ASSERT_EQ(1, GetMovieTrackCount(copy));
  Track track = GetMovieIndTrack(copy, 1);
  Fixed w = 0, h = 0;
  GetTrackDimensions(track, &w, &h);
  EXPECT_EQ(64 << 16, w);
  EXPECT_EQ(48 << 16, h);
  OSType type = 0;
  GetMediaHandlerDescription(GetTrackMedia(track), &type, nullptr, nullptr);
  EXPECT_EQ(VideoMediaType, type);
  EXPECT_EQ(1, CountUserDataType(GetMovieUserData(copy), FourCharCode("AANM")));
  DisposeMovie(copy);
  qtf::MovieModel model;
  qtf::FileFacts facts;
  ASSERT_TRUE(qtf::ReadMovieFile(stored, model, facts).Ok());
  ASSERT_EQ(1u, model.tracks.size());
  EXPECT_EQ((std::vector<uint32_t>{10, 20, 30}), model.tracks[0].media.samples.sizes);
}

TEST_F(Toolbox, TrackCopyOfAMissingTrackMakesNoFile) {
  Movie movie = nullptr;
  ASSERT_EQ(noErr, LoadMovie(WriteTiny("source.mov"), movie));
  for (int32_t index : {0, 3}) {
    std::string target = dir_ + "/none" + std::to_string(index) + ".mov";
    EXPECT_EQ(invalidTrack, WriteTrackMovieFile(index, movie, target));
    EXPECT_FALSE(Exists(target));
  }
  EXPECT_EQ(2, GetMovieTrackCount(movie));
  DisposeMovie(movie);
}

TEST_F(Toolbox, EditingRulesOfNewMovies) {
  Movie movie = nullptr;
  ASSERT_EQ(noErr, LoadMovie(WriteTiny("source.mov"), movie));
  Track source = GetMovieIndTrack(movie, 1);
  // A film's own media are never written to.
  EXPECT_EQ(wrPermErr, BeginMediaEdits(GetTrackMedia(source)));

  FSSpec spec = SpecFor(dir_ + "/new.mov");
  int16_t file = 0;
  Movie fresh = nullptr;
  ASSERT_EQ(noErr, CreateMovieFile(&spec, FourCharCode("TVOD"), 0, 0, &file, &fresh));
  CloseMovieFile(file);
  // Without the delete flag an existing file is kept.
  EXPECT_EQ(dupFNErr, CreateMovieFile(&spec, FourCharCode("TVOD"), 0, 0, &file, &movie));
  Track video = NewMovieTrack(fresh, 64 << 16, 48 << 16, 0);
  Media videoMedia = NewTrackMedia(video, VideoMediaType, 600, nullptr, 0);
  Track sound = NewMovieTrack(fresh, 0, 0, 0);
  Media soundMedia = NewTrackMedia(sound, SoundMediaType, 600, nullptr, 0);
  ASSERT_NE(nullptr, videoMedia);
  ASSERT_NE(nullptr, soundMedia);
  EXPECT_EQ(nullptr, NewTrackMedia(sound, SoundMediaType, 600, nullptr, 0));
  // Samples are copied only inside an edit, and only between media of one type.
  EXPECT_EQ(dataNotOpenForWrite, InsertTrackSegment(source, video, 0, 600, 0));
  ASSERT_EQ(noErr, BeginMediaEdits(soundMedia));
  EXPECT_EQ(mediaTypesDontMatch, InsertTrackSegment(source, sound, 0, 600, 0));
  ASSERT_EQ(noErr, BeginMediaEdits(videoMedia));
  EXPECT_EQ(invalidTime, InsertTrackSegment(source, video, -1, 600, 0));
  EXPECT_EQ(invalidTime, InsertTrackSegment(source, video, 601, 10, 0));
  // Half the source at time 100: an empty edit leads up to it.
  EXPECT_EQ(noErr, InsertTrackSegment(source, video, 300, 300, 100));
  EXPECT_EQ(400, GetTrackDuration(video));
  EXPECT_EQ(noErr, EndMediaEdits(videoMedia));
  EXPECT_EQ(noErr, EndMediaEdits(soundMedia));
  DisposeMovie(fresh);
  DisposeMovie(movie);
}

}  // namespace
