#pragma once
// A movie as its file describes it: the movie header, the tracks with their
// edits and media, and the user data. The media's samples stay in the file;
// only their tables are held here.
#include "Bytes.h"
#include "SampleTable.h"

#include <string>
#include <vector>

namespace qtf {

// a, b, u, c, d, v, x, y, w: 16.16 except u, v and w, which are 2.30.
struct Matrix {
  int32_t m[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
};

struct MovieHeader {
  uint64_t creationTime = 0;
  uint64_t modificationTime = 0;
  uint32_t timeScale = 600;
  uint64_t duration = 0;  // as stored; the movie's duration is that of its longest track
  int32_t preferredRate = 0x10000;
  int16_t preferredVolume = 0x100;
  Matrix matrix;
  uint32_t previewTime = 0;
  uint32_t previewDuration = 0;
  uint32_t posterTime = 0;
  uint32_t selectionTime = 0;
  uint32_t selectionDuration = 0;
  uint32_t currentTime = 0;
  uint32_t nextTrackId = 1;
};

struct UserDataItem {
  FourCC type = 0;
  std::vector<uint8_t> data;
};
using UserDataList = std::vector<UserDataItem>;

// One entry of a track's edit list: a stretch of track time (movie time
// scale) that shows media from mediaTime on (media time scale), or nothing
// when mediaTime is -1.
struct Edit {
  uint64_t duration = 0;
  int64_t mediaTime = 0;
  int32_t rate = 0x10000;
};

constexpr uint32_t kTrackEnabled = 1;
constexpr uint32_t kTrackInMovie = 2;
constexpr uint32_t kTrackInPreview = 4;
constexpr uint32_t kTrackInPoster = 8;

struct TrackHeader {
  uint32_t flags = kTrackEnabled | kTrackInMovie | kTrackInPreview | kTrackInPoster;
  uint64_t creationTime = 0;
  uint64_t modificationTime = 0;
  uint32_t id = 0;
  uint64_t duration = 0;  // as stored; the edits decide
  int16_t layer = 0;
  int16_t alternateGroup = 0;
  int16_t volume = 0;  // 8.8
  Matrix matrix;
  int32_t width = 0;   // 16.16
  int32_t height = 0;  // 16.16
};

struct MediaModel {
  uint64_t creationTime = 0;
  uint64_t modificationTime = 0;
  uint32_t timeScale = 600;
  uint16_t language = 0;
  uint16_t quality = 0;
  FourCC type = 0;          // 'vide', 'soun', ...
  FourCC manufacturer = 0;  // of the media handler
  std::string handlerName;
  std::vector<uint8_t> infoHeader;  // the whole 'vmhd', 'smhd' or 'gmhd' atom; empty: default
  bool selfContained = true;        // the samples are in the movie's own file
  SampleTable samples;
};

struct TrackModel {
  TrackHeader header;
  bool hasEditList = false;
  std::vector<Edit> edits;  // empty without an edit list
  bool hasMedia = false;
  MediaModel media;
  UserDataList userData;
};

struct MovieModel {
  MovieHeader header;
  std::vector<TrackModel> tracks;
  UserDataList userData;
  bool compressedHeader = false;  // the movie came from a 'cmov' atom
};

// Facts about the file around the movie.
struct FileFacts {
  uint64_t fileSize = 0;
  uint64_t movieOffset = 0;  // of the 'moov' atom
  bool filmBlock = false;    // a top-level 'udta' atom whose data begins 'flm_'
};

// A rectangle in movie coordinates, before rounding to pixels.
struct Box {
  double left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
};

// The smallest box that holds a box moved by a matrix.
Box Transform(const Matrix& m, const Box& b);
// The union of the enabled tracks that have a picture, each placed by its
// own matrix; the movie's matrix is not applied.
Box NaturalBox(const std::vector<const TrackModel*>& tracks);

// The edits that decide a track's timing: its edit list, or one edit that
// shows the whole media once when it has none.
std::vector<Edit> EffectiveEdits(const TrackModel& track, uint32_t movieTimeScale);

// Sum of the effective edits, in the movie's time scale.
uint64_t TrackDuration(const TrackModel& track, uint32_t movieTimeScale);

}  // namespace qtf
