#include "films/GH_FilmOpening.h"

#include "CP_Win.h"
#include "store/StrStream.h"
#include "utility/GH_Utility.h"

#include <cstring>

void LoadMovieFromFileSpec(FSSpec spec, Movie& movie) {
  movie = nullptr;
  int16_t file = 0;
  if (OpenMovieFile(&spec, &file, fsRdPerm) != noErr) return;
  int16_t resourceId = 0;  // the file's first movie
  Movie made = nullptr;
  const OSErr result = NewMovieFromFile(&made, file, &resourceId, nullptr, newMovieActive, nullptr);
  CloseMovieFile(file);
  if (result != noErr) {
    if (made) DisposeMovie(made);
    return;
  }
  movie = made;
}

namespace {

// The new film while it is written: what a failed step leaves is released
// and the file removed.
class TrackCopy {
 public:
  explicit TrackCopy(const std::string& path) : fPath(path) {}
  ~TrackCopy() {
    if (fMedia) DisposeTrackMedia(fMedia);
    if (fTrack) DisposeMovieTrack(fTrack);
    if (fMovie) DisposeMovie(fMovie);
    if (fFileOpen) CloseMovieFile(fFile);
    if (!fDone && fCreated) DeleteFileA(fPath.c_str());
  }
  TrackCopy(const TrackCopy&) = delete;
  TrackCopy& operator=(const TrackCopy&) = delete;

  bool Copy(Track sourceTrack, Movie source);

 private:
  std::string fPath;
  int16_t fFile = 0;
  bool fFileOpen = false;
  bool fCreated = false;
  bool fDone = false;
  Movie fMovie = nullptr;
  Track fTrack = nullptr;
  Media fMedia = nullptr;
};

bool TrackCopy::Copy(Track sourceTrack, Movie source) {
  const TimeValue duration = GetTrackDuration(sourceTrack);

  // An FSSpec for a file that need not exist yet.
  unsigned char name[256] = {};
  StringToLengthPrefixed(fPath, name);
  FSSpec spec;
  std::memset(&spec, 0, sizeof spec);
  FSMakeFSSpec(0, 0, name, &spec);

  if (CreateMovieFile(&spec, FourCharCode("TVOD"), 0,
                      createMovieFileDeleteCurFile | createMovieFileDontCreateResFile, &fFile, &fMovie) != noErr)
    return false;
  fFileOpen = fCreated = true;

  CopyMovieSettings(source, fMovie);
  const TimeScale scale = GetMovieTimeScale(source);
  Fixed width = 0, height = 0;
  GetTrackDimensions(sourceTrack, &width, &height);
  fTrack = NewMovieTrack(fMovie, width, height, 0);
  OSType mediaType = 0;
  GetMediaHandlerDescription(GetTrackMedia(sourceTrack), &mediaType, nullptr, nullptr);
  // The movie's time scale, not the source media's: the inserted segment
  // is measured in movie time.
  fMedia = NewTrackMedia(fTrack, mediaType, scale, nullptr, 0);

  if (BeginMediaEdits(fMedia) != noErr) return false;
  if (CopyTrackSettings(sourceTrack, fTrack) != noErr) return false;
  InsertTrackSegment(sourceTrack, fTrack, 0, duration, 0);
  // Films keep some tracks off (a film's strip, pages of a list film):
  // played on its own, the copy must show.
  SetTrackEnabled(fTrack, true);
  if (EndMediaEdits(fMedia) != noErr) return false;
  int16_t resourceId = 0;
  if (AddMovieResource(fMovie, fFile, &resourceId, nullptr) != noErr) return false;
  CloseMovieFile(fFile);
  fFileOpen = false;
  fDone = true;

  DisposeTrackMedia(fMedia);
  fMedia = nullptr;
  DisposeMovieTrack(fTrack);
  fTrack = nullptr;
  DisposeMovieTrack(sourceTrack);  // the source gives the track up
  DisposeMovie(fMovie);
  fMovie = nullptr;
  return true;
}

}  // namespace

bool WriteTrackMovieFile(int32_t trackIndex, Movie source, const std::string& path) {
  if (!source || path.empty() || path.size() > kMaxTrackFilePath) return false;
  Track sourceTrack = GetMovieIndTrack(source, trackIndex);
  if (!sourceTrack) return false;
  TrackCopy copy(path);
  return copy.Copy(sourceTrack, source);
}

Movie ExtractTrackMovie(int32_t trackIndex, Movie source, const std::string& path) {
  if (!WriteTrackMovieFile(trackIndex, source, path)) return nullptr;
  Movie movie = nullptr;
  LoadMovieFromFileSpec(PathToFileSpec(path), movie);
  if (movie) SetMovieActive(movie, true);
  return movie;
}

void DisableAllTracks(Movie movie) {
  const int32_t count = GetMovieTrackCount(movie);
  for (int32_t i = 1; i <= count; ++i) {
    if (Track track = GetMovieIndTrack(movie, i)) SetTrackEnabled(track, false);
  }
}
