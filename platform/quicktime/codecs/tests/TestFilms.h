#pragma once
// Sample descriptions and small films for the decoders' tests, written with
// the film core's writer.
#include "Model.h"

#include <cstdint>
#include <vector>

namespace codectest {

using Bytes = std::vector<uint8_t>;

// A video description; with a colour table when colours is not empty
// (entries 0x00RRGGBB, in pixel order).
qtf::SampleDescription VideoDescription(const char* codec, uint16_t width, uint16_t height, uint16_t depth,
                                        const std::vector<uint32_t>& colours = {});
qtf::SampleDescription SoundDescription(const char* format, uint16_t channels, uint16_t bits);

struct TrackSpec {
  qtf::SampleDescription description;
  std::vector<Bytes> samples;  // each one frame of one media time unit
  std::vector<uint32_t> sync;  // 1-based key samples; empty: all
  uint32_t timeScale = 10;     // of the media
  uint16_t width = 0, height = 0;  // the track's; 0: the description's
  int16_t layer = 0;
  bool enabled = true;
  qtf::Matrix matrix;
  std::vector<qtf::Edit> edits;  // empty: no edit list
};

// A film: an 'mdat' with every sample, then the movie (time scale 600).
Bytes MakeFilm(const std::vector<TrackSpec>& tracks, const qtf::Matrix& movieMatrix = {});

// A translation (and scale) matrix.
qtf::Matrix Place(double scaleX, double scaleY, double x, double y);

}  // namespace codectest

namespace codectest {

// 'rle ' coding for tests: each line's units (bytes of one unit each) become
// skips where they equal the previous picture's, repeats where a unit
// repeats, copies otherwise.
struct AnimationLine {
  std::vector<Bytes> units;
  const std::vector<Bytes>* previous = nullptr;  // the same line before; none: code all
};
Bytes AnimationSample(const std::vector<AnimationLine>& lines, uint16_t firstLine, bool withLineRange);

// Cinepak: a chunk, a strip of some height (its chunks inside) and a frame.
Bytes CinepakChunk(uint16_t id, const Bytes& body);
Bytes CinepakStrip(uint16_t id, uint16_t width, uint16_t height, const Bytes& chunks);
Bytes CinepakFrame(uint8_t flags, uint16_t width, uint16_t height, const std::vector<Bytes>& strips);

// A baseline JPEG of rgb24 pixels, by stb_image_write.
Bytes EncodeJpeg(int width, int height, const std::vector<uint8_t>& rgb, int quality);

}  // namespace codectest
