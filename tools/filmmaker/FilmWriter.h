#pragma once
// Writes a film: an 'mdat' with every sample, then the movie, then, for the
// system's own films, the 'udta'/'flm_' block with the film's database (its
// "Actions" and "Preferences" roots), written through the store.
//
// A film with the system's block starts its movie with its user data, not
// with 'mvhd': that is how the readers tell the system's films from others.
#include "Bytes.h"
#include "Model.h"
#include "Picture.h"
#include "SoundEncoder.h"
#include "SpriteTrack.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace film {

// Settings every kind of track shares.
struct TrackPlace {
  bool enabled = true;
  int16_t layer = 0;
  int x = 0, y = 0;  // the track's place in the movie
};

struct VideoTrack {
  TrackPlace place;
  qtf::FourCC codec = qtf::Tag("rle ");  // 'rle ' or 'raw '
  uint16_t depth = 24;
  uint32_t timeScale = 600;
  uint32_t frameDuration = 60;  // in the time scale
  uint32_t keyInterval = 10;    // 'rle ': a key frame every so many frames
  std::vector<Picture> frames;  // all of one size
};

struct SoundTrack {
  TrackPlace place;
  SoundFormat format;
  std::vector<int16_t> frames;  // interleaved
};

struct SpriteFrame {
  std::optional<SpriteKeyFrame> key;     // a key frame, or
  std::vector<SpriteOverride> overrides;  // an override of the key frame before it
  std::vector<SpriteAction> frameLoaded;  // for an override frame
  uint32_t duration = 600;                // in the track's time scale
};

struct SpriteTrack {
  TrackPlace place;
  int width = 0, height = 0;
  uint32_t timeScale = 600;
  std::vector<SpriteFrame> frames;  // the first must be a key frame
};

// The system's block: the film's database with its two roots.
struct SystemData {
  std::vector<std::pair<std::string, std::string>> actions;  // identifier, command text
  std::map<std::string, std::string> preferences;
};

struct FilmSpec {
  std::vector<VideoTrack> video;
  std::vector<SoundTrack> sound;
  std::vector<SpriteTrack> sprites;  // tracks in this order: video, sound, sprites
  // The movie's 'AANM' (name) and 'AACY' (copyright) items; empty: none.
  std::string name;
  std::string copyright;
  std::optional<SystemData> system;
};

// Writes the film to path, replacing any file there. The status tells which
// step failed; a film refused before writing leaves no file.
qtf::Status WriteFilm(const FilmSpec& spec, const std::string& path);

}  // namespace film
