#pragma once
// The picture a movie shows at a time: each enabled video track's sample at
// that time, decoded, placed by the track's and the movie's matrices in the
// movie box, lower layers in front. Platform-free.
//
// Keeps one decoder and one picture per track, so that asking for later
// times in order decodes only the samples in between.
#include "Decoder.h"
#include "File.h"
#include "Model.h"

#include <memory>

namespace qtc {

// The largest sample read; larger ones count as damaged.
constexpr uint64_t kMaxSampleBytes = 64u << 20;

class MoviePicture {
 public:
  // movie and source must outlive this object; source holds the film's
  // bytes (media in other files are not drawn).
  MoviePicture(const qtf::MovieModel& movie, qtf::DataSource& source);
  ~MoviePicture();
  MoviePicture(const MoviePicture&) = delete;
  MoviePicture& operator=(const MoviePicture&) = delete;

  // The movie box in whole pixels (left, top, right, bottom).
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Draws the picture at a movie time (movie time scale) into out, which
  // becomes the box's size; a time at or past the end shows the last
  // picture. Places no track shows are black. False when the box is empty
  // or larger than kMaxFrameSide.
  bool Draw(uint64_t movieTime, Frame& out);

 private:
  struct Track;
  bool Update(Track& t, uint64_t movieTime);
  void Paint(const Track& t, Frame& out) const;

  const qtf::MovieModel& movie_;
  qtf::DataSource& source_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  uint64_t duration_ = 0;
  std::vector<std::unique_ptr<Track>> tracks_;  // in drawing order
  std::vector<uint8_t> sample_;
};

}  // namespace qtc
