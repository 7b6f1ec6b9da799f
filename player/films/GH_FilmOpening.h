#pragma once
// Opening films and copying one track of a film into a film of its own, as
// the panes and actions play single tracks.
#include "QTToolbox.h"

#include <cstdint>
#include <string>

// An active movie from the film of `spec`; none when the file cannot be
// opened or holds no movie. The caller owns the movie.
void LoadMovieFromFileSpec(FSSpec spec, Movie& movie);

// The longest target path a track copy takes: the FSSpec of the new file
// must hold the whole path.
constexpr size_t kMaxTrackFilePath = 254;

// Copies track `trackIndex` (from 1) of `source` into a new movie file at
// `path`, replacing any file there; the copied track is enabled, whatever
// it was in the source. The source movie loses the track. False, with no
// file left at the path, when the track does not exist, the path is longer
// than kMaxTrackFilePath or QuickTime refuses a step.
bool WriteTrackMovieFile(int32_t trackIndex, Movie source, const std::string& path);

// The same copy, loaded back as an active movie that the caller owns; none
// on failure.
Movie ExtractTrackMovie(int32_t trackIndex, Movie source, const std::string& path);

// Turns every track of the movie off.
void DisableAllTracks(Movie movie);
