#pragma once
// The toolbox's state: the last error, whether it was started, the register
// of live movies, tracks, media, user data and handles, and the table of
// open movie files. One per process, as the library has one.
#include "Records.h"

#include <map>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace qtb {

struct MovieFile {
  std::string path;
  bool writable = false;
};

class Toolbox {
 public:
  static Toolbox& Get();

  OSErr error = noErr;
  bool qtmlReady = false;
  bool moviesReady = false;

  // Live objects. Movies are owned here; tracks and media by their movie.
  std::unordered_map<MovieRecord*, std::unique_ptr<MovieRecord>> movies;
  std::unordered_set<TrackRecord*> tracks;
  std::unordered_set<MediaRecord*> media;
  std::unordered_set<UserDataRecord*> userData;
  std::unordered_set<Handle> handles;

  std::map<int16_t, MovieFile> files;

  MovieRecord* LiveMovie(Movie m) const { return m && movies.count(m) ? m : nullptr; }
  TrackRecord* LiveTrack(Track t) const { return t && tracks.count(t) ? t : nullptr; }
  MediaRecord* LiveMedia(Media m) const { return m && media.count(m) ? m : nullptr; }
  UserDataRecord* LiveUserData(UserData u) const { return u && userData.count(u) ? u : nullptr; }

  MovieRecord* AddMovie(std::unique_ptr<MovieRecord> movie);
  TrackRecord* AddTrack(MovieRecord* movie, std::unique_ptr<TrackRecord> track);
  MediaRecord* AttachMedia(TrackRecord* track, std::unique_ptr<MediaRecord> media);
  void DisposeMedia(MediaRecord* media);
  void DisposeTrack(TrackRecord* track);
  void DisposeMovie(MovieRecord* movie);

  // A free movie file number, or 0 when all are taken.
  int16_t NewFileNumber() const;

 private:
  Toolbox() = default;
  ~Toolbox();
};

// Sets the last error and passes it on.
inline OSErr SetError(OSErr e) {
  Toolbox::Get().error = e;
  return e;
}

// The toolbox error for a file-format fault.
OSErr ErrorFor(const qtf::Status& s);

// Runs one toolbox call: no exception leaves the library, and a failed
// allocation becomes memFullErr.
template <typename R, typename F>
R Guard(R failed, F&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    SetError(memFullErr);
  } catch (...) {
    SetError(paramErr);
  }
  return failed;
}

template <typename F>
void GuardVoid(F&& body) {
  try {
    body();
  } catch (const std::bad_alloc&) {
    SetError(memFullErr);
  } catch (...) {
    SetError(paramErr);
  }
}

// Checks that a media's file is still the one its tables describe: every
// read of media data starts here, so a film deleted or rewritten under its
// movie stops with an error.
qtf::Status CheckStamp(const DataFile& file);

// Gives a live handle a new size; its first bytes stay.
bool ResizeHandle(Handle h, int32_t size);

// The path a file specification names; empty when it names none.
std::string SpecPath(const FSSpec* spec);

// The movie's box: its natural box moved by its matrix. Setting it gives
// the movie the matrix that takes the natural box onto it.
Rect MovieBox(const MovieRecord& movie);
void SetMovieBox(MovieRecord& movie, const Rect& box);

// A movie lasts as long as its longest track; in its own time scale.
uint64_t MovieDuration(const MovieRecord& movie);
// The same, as far as playback counts: a damaged film's length is cut to
// what a movie time (int64_t) can hold with room to spare.
int64_t PlayLength(const MovieRecord& movie);

// Builds a movie from a file read by the format core.
MovieRecord* MakeMovie(qtf::MovieModel&& model, const std::string& path, const FileStamp& stamp);

}  // namespace qtb
