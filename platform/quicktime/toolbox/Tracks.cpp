// Finding tracks, their facts and their media; disposing of them.
#include "Toolbox.h"

#include <algorithm>
#include <cstring>

using qtb::SetError;
using qtb::Toolbox;

int32_t GetMovieTrackCount(Movie theMovie) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  SetError(m ? noErr : invalidMovie);
  return m ? int32_t(m->tracks.size()) : 0;
}

Track GetMovieIndTrack(Movie theMovie, int32_t index) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  if (!m) {
    SetError(invalidMovie);
    return nullptr;
  }
  // Tracks count from 1, in the order of the movie.
  if (index < 1 || size_t(index) > m->tracks.size()) {
    SetError(invalidTrack);
    return nullptr;
  }
  SetError(noErr);
  return m->tracks[size_t(index) - 1].get();
}

void SetTrackEnabled(Track theTrack, Boolean isEnabled) {
  TrackRecord* t = Toolbox::Get().LiveTrack(theTrack);
  if (!t) {
    SetError(invalidTrack);
    return;
  }
  if (isEnabled) {
    t->model.header.flags |= qtf::kTrackEnabled;
  } else {
    t->model.header.flags &= ~qtf::kTrackEnabled;
  }
  SetError(noErr);
}

Boolean GetTrackEnabled(Track theTrack) {
  TrackRecord* t = Toolbox::Get().LiveTrack(theTrack);
  SetError(t ? noErr : invalidTrack);
  return t && (t->model.header.flags & qtf::kTrackEnabled) != 0;
}

TimeValue GetTrackDuration(Track theTrack) {
  TrackRecord* t = Toolbox::Get().LiveTrack(theTrack);
  if (!t) {
    SetError(invalidTrack);
    return 0;
  }
  SetError(noErr);
  uint64_t d = qtf::TrackDuration(t->model, t->movie->header.timeScale);
  return d > uint64_t(INT32_MAX) ? INT32_MAX : TimeValue(d);
}

void GetTrackDimensions(Track theTrack, Fixed* width, Fixed* height) {
  TrackRecord* t = Toolbox::Get().LiveTrack(theTrack);
  if (width) *width = t ? t->model.header.width : 0;
  if (height) *height = t ? t->model.header.height : 0;
  SetError(t ? noErr : invalidTrack);
}

Media GetTrackMedia(Track theTrack) {
  TrackRecord* t = Toolbox::Get().LiveTrack(theTrack);
  if (!t) {
    SetError(invalidTrack);
    return nullptr;
  }
  SetError(t->media ? noErr : invalidMedia);
  return t->media.get();
}

void GetMediaHandlerDescription(Media theMedia, OSType* mediaType, StringPtr creatorName,
                                OSType* creatorManufacturer) {
  MediaRecord* m = Toolbox::Get().LiveMedia(theMedia);
  if (mediaType) *mediaType = 0;
  if (creatorName) creatorName[0] = 0;
  if (creatorManufacturer) *creatorManufacturer = 0;
  if (!m) {
    SetError(invalidMedia);
    return;
  }
  const qtf::MediaModel& model = m->Model();
  if (mediaType) *mediaType = model.type;
  if (creatorName) {
    size_t n = std::min<size_t>(model.handlerName.size(), 255);
    creatorName[0] = uint8_t(n);
    std::memcpy(creatorName + 1, model.handlerName.data(), n);
  }
  if (creatorManufacturer) *creatorManufacturer = model.manufacturer;
  SetError(noErr);
}

void DisposeTrackMedia(Media theMedia) {
  Toolbox& tb = Toolbox::Get();
  MediaRecord* m = tb.LiveMedia(theMedia);
  if (!m) {
    SetError(invalidMedia);
    return;
  }
  tb.DisposeMedia(m);
  SetError(noErr);
}

void DisposeMovieTrack(Track theTrack) {
  Toolbox& tb = Toolbox::Get();
  TrackRecord* t = tb.LiveTrack(theTrack);
  if (!t) {
    SetError(invalidTrack);
    return;
  }
  // The track leaves its movie: later indexes count one track fewer.
  tb.DisposeTrack(t);
  SetError(noErr);
}
