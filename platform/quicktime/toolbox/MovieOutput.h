#pragma once
// What a movie shows and sounds at a time: the picture of its enabled video
// and sprite tracks composed over its natural box, and its enabled sound
// tracks mixed to stereo. Keeps one decoder per track and sample
// description, the last picture and sound chunk decoded, and each sprite
// track's sprites. Platform-free; the film's bytes are read as they are
// needed, each sample checked against the file.
#include "Decoder.h"
#include "Records.h"
#include "SoundDecoder.h"
#include "Sprites.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qtb {

class MovieOutput {
 public:
  MovieOutput();
  ~MovieOutput();
  MovieOutput(const MovieOutput&) = delete;
  MovieOutput& operator=(const MovieOutput&) = delete;

  // Names what the movie shows at its current time: the same key means the
  // same picture. Cheap: nothing is decoded.
  uint64_t PictureKey(const MovieRecord& movie);
  // The picture at the movie's current time, at its natural box's size;
  // null when no enabled track has a picture. Valid until the next call.
  const qtc::Frame* Picture(const MovieRecord& movie);

  // Frames per second of the mix: the highest rate of the enabled sound
  // tracks we decode; 0 when the movie has none.
  uint32_t MixRate(const MovieRecord& movie);
  // Mixes `frames` stereo frames at MixRate from the movie time `seconds` on
  // into out (2 * frames values), at the movie's volume. Answers the
  // largest absolute sample value written.
  int32_t Mix(const MovieRecord& movie, double seconds, size_t frames, int16_t* out);

  // The track is going: nothing of it may be used again.
  void ForgetTrack(const TrackRecord* track);

  // The sprites of a sprite track (IsSprite), made when first asked for.
  SpriteTrack* SpritesFor(const TrackRecord* track);

  struct VideoTrack;
  struct SoundTrack;

 private:
  VideoTrack* VideoFor(const TrackRecord* track);
  SoundTrack* SoundFor(const TrackRecord* track);

  std::vector<std::unique_ptr<VideoTrack>> video_;
  std::vector<std::unique_ptr<SoundTrack>> sound_;
  std::vector<std::unique_ptr<SpriteTrack>> sprites_;
  qtc::Frame canvas_;
};

// The sample a track shows at a movie time (in the movie's scale), or
// false when it shows nothing then (an empty edit, or past its end). At
// the very end of the movie a track shows its last moment.
bool SampleAt(const TrackRecord& track, uint32_t movieScale, uint64_t movieDuration, int64_t movieTime,
              uint32_t& sample);

// Tracks whose samples are pictures, sprites, sound.
bool IsVisual(const TrackRecord& track);
bool IsSprite(const TrackRecord& track);
bool IsSound(const TrackRecord& track);

// Reads one sample of a media in the movie's own file, if the file is still
// the one its tables describe; false when it cannot be read.
bool ReadSampleBytes(const TrackRecord& track, uint32_t sample, std::vector<uint8_t>& out);

}  // namespace qtb
