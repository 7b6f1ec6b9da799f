#pragma once
// A sprite track as its movie shows it at one time: the key frame and the
// current override read from the film, the sprites as they stand (wired
// actions change them), their images decoded when first drawn, drawing
// into the movie's picture and hit testing. Platform-free.
#include "Decoder.h"
#include "Records.h"
#include "SpriteSample.h"

#include <initializer_list>
#include <vector>

namespace qtb {

struct Sprite {
  uint32_t id = 0;
  qtf::Matrix matrix;
  bool visible = true;
  int16_t layer = 0;
  uint32_t mode = qtf::kModeCopy;
  uint16_t opColor[3] = {0, 0, 0};
  int16_t image = 1;
  size_t order = 0;  // its place in the key frame: a later one lies in front
};

class SpriteTrack {
 public:
  explicit SpriteTrack(const TrackRecord* track) : track_(track) {}
  SpriteTrack(const SpriteTrack&) = delete;
  SpriteTrack& operator=(const SpriteTrack&) = delete;

  const TrackRecord* Track() const { return track_; }

  // Brings the sprites to the sample the track shows at the movie's time.
  // A sample that cannot be read or is damaged shows nothing.
  void Update(const MovieRecord& movie);
  // Moves on whenever what the track shows may have changed.
  uint64_t Revision() const { return revision_; }
  void Changed() { ++revision_; }

  // Draws the visible sprites, back to front, into a picture where the
  // track's box lies at place. Drawing stops when budget (pixels) is spent.
  void Draw(qtc::Frame& picture, const qtf::Box& place, uint64_t& budget);

  // The sprite drawn topmost at a point of the track; null when none.
  Sprite* At(double x, double y);
  Sprite* Find(uint32_t id);

  // The key frame's actions for a sprite's event; null when it has none.
  const std::vector<uint32_t>* Actions(uint32_t sprite, qtf::FourCC event) const;
  bool Handles(uint32_t sprite, std::initializer_list<qtf::FourCC> events) const;
  // The sprites that handle an event, front to back.
  std::vector<uint32_t> Handling(qtf::FourCC event) const;
  // The bytes the key frame's action offsets refer to.
  const std::vector<uint8_t>& KeyBytes() const { return keyBytes_; }
  // The frame-loaded actions of a sample that became current since the
  // last call, and that sample's bytes; false when there are none.
  bool TakeFrameLoaded(std::vector<uint8_t>& bytes, std::vector<uint32_t>& actions);

 private:
  struct Picture {
    bool tried = false;
    qtc::Frame frame;
  };
  static constexpr int64_t kNone = -1;

  bool Load(uint32_t sample, std::vector<uint8_t>& bytes, qtf::SpriteSample& parsed);
  void Rebuild();
  // The image's size from its description, without decoding it.
  bool ImageSize(int16_t index, double& width, double& height) const;
  const qtc::Frame* Decoded(int16_t index);
  bool Box(const Sprite& s, qtf::Box& box) const;
  // Sprites in drawing order: back to front.
  std::vector<Sprite*> BackToFront();

  const TrackRecord* track_;
  int64_t current_ = kNone;  // the sample shown
  int64_t key_ = kNone;      // its key frame
  std::vector<uint8_t> keyBytes_, overrideBytes_;
  qtf::SpriteSample keySample_, overrideSample_;
  std::vector<Picture> pictures_;  // by the key frame's image, decoded when first drawn
  uint64_t decodedPixels_ = 0;
  std::vector<Sprite> sprites_;
  bool frameLoadedPending_ = false;
  uint64_t revision_ = 0;
};

}  // namespace qtb
