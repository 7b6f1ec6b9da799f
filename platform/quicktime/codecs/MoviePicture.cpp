#include "MoviePicture.h"

#include <algorithm>
#include <cmath>

namespace qtc {

struct MoviePicture::Track {
  const qtf::TrackModel* model = nullptr;
  std::vector<qtf::Edit> edits;
  double width = 0, height = 0;  // the track's own size
  // Movie coordinates to track coordinates: x = a X + c Y + tx, y = b X + d Y + ty.
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  uint32_t description = 0;  // 1-based, of the decoder; 0: none yet
  std::unique_ptr<VideoDecoder> decoder;
  Frame frame;
  bool decoded = false;  // frame holds lastSample
  uint32_t lastSample = 0;
  bool shown = false;  // the track has a sample at the time drawn
};

namespace {

struct Affine {
  double a, b, c, d, tx, ty;  // X = a x + c y + tx, Y = b x + d y + ty
};

Affine FromMatrix(const qtf::Matrix& m) {
  const double k = 65536.0;
  return {m.m[0] / k, m.m[1] / k, m.m[3] / k, m.m[4] / k, m.m[6] / k, m.m[7] / k};
}

// First p, then q.
Affine Then(const Affine& p, const Affine& q) {
  return {q.a * p.a + q.c * p.b, q.b * p.a + q.d * p.b, q.a * p.c + q.c * p.d,
          q.b * p.c + q.d * p.d, q.a * p.tx + q.c * p.ty + q.tx, q.b * p.tx + q.d * p.ty + q.ty};
}

bool Invert(const Affine& m, Affine& out) {
  double det = m.a * m.d - m.c * m.b;
  if (std::fabs(det) < 1e-12) return false;
  out.a = m.d / det;
  out.c = -m.c / det;
  out.b = -m.b / det;
  out.d = m.a / det;
  out.tx = -(out.a * m.tx + out.c * m.ty);
  out.ty = -(out.b * m.tx + out.d * m.ty);
  return true;
}

// Whole pixels; false for coordinates no picture could reach.
bool Round(double v, int& out) {
  if (!(std::fabs(v) < 1e9)) return false;
  out = int(std::floor(v + 0.5));
  return true;
}

// The last key sample at or before a sample; the first sample when a broken
// table names none.
uint32_t KeyBefore(const qtf::SampleTable& s, uint32_t sample) {
  if (s.allSync) return sample;
  auto it = std::upper_bound(s.syncSamples.begin(), s.syncSamples.end(), sample + 1);
  if (it == s.syncSamples.begin() || *(it - 1) == 0) return 0;
  return *(it - 1) - 1;
}

}  // namespace

MoviePicture::MoviePicture(const qtf::MovieModel& movie, qtf::DataSource& source)
    : movie_(movie), source_(source) {
  std::vector<const qtf::TrackModel*> all;
  for (const qtf::TrackModel& t : movie.tracks) {
    all.push_back(&t);
    duration_ = std::max(duration_, qtf::TrackDuration(t, movie.header.timeScale));
  }
  qtf::Box box = qtf::Transform(movie.header.matrix, qtf::NaturalBox(all));
  int left, top, right, bottom;
  if (Round(box.left, left) && Round(box.top, top) && Round(box.right, right) && Round(box.bottom, bottom)) {
    left_ = left;
    top_ = top;
    width_ = right - left;
    height_ = bottom - top;
  }

  Affine place = FromMatrix(movie.header.matrix);
  for (const qtf::TrackModel& t : movie.tracks) {
    const qtf::TrackHeader& h = t.header;
    if (!(h.flags & qtf::kTrackEnabled) || !t.hasMedia || t.media.type != qtf::Tag("vide") ||
        !t.media.selfContained || h.width <= 0 || h.height <= 0 || t.media.timeScale == 0)
      continue;
    auto track = std::make_unique<Track>();
    Affine inverse;
    if (!Invert(Then(FromMatrix(h.matrix), place), inverse)) continue;
    track->a = inverse.a;
    track->b = inverse.b;
    track->c = inverse.c;
    track->d = inverse.d;
    track->tx = inverse.tx;
    track->ty = inverse.ty;
    track->model = &t;
    track->edits = qtf::EffectiveEdits(t, movie.header.timeScale);
    track->width = h.width / 65536.0;
    track->height = h.height / 65536.0;
    tracks_.push_back(std::move(track));
  }
  // Lower layers are in front, so they are drawn last.
  std::stable_sort(tracks_.begin(), tracks_.end(), [](const std::unique_ptr<Track>& p, const std::unique_ptr<Track>& q) {
    return p->model->header.layer > q->model->header.layer;
  });
}

MoviePicture::~MoviePicture() = default;

bool MoviePicture::Draw(uint64_t movieTime, Frame& out) {
  if (width_ <= 0 || height_ <= 0 || width_ > int(kMaxFrameSide) || height_ > int(kMaxFrameSide)) return false;
  if (duration_ > 0 && movieTime >= duration_) movieTime = duration_ - 1;
  out.width = uint16_t(width_);
  out.height = uint16_t(height_);
  out.pixels.assign(size_t(width_) * height_, 0);
  for (auto& t : tracks_)
    if (Update(*t, movieTime)) Paint(*t, out);
  return true;
}

bool MoviePicture::Update(Track& t, uint64_t movieTime) {
  const qtf::MediaModel& media = t.model->media;
  const qtf::SampleTable& s = media.samples;
  uint64_t start = 0;
  const qtf::Edit* edit = nullptr;
  for (const qtf::Edit& e : t.edits) {
    if (movieTime - start < e.duration) {
      edit = &e;
      break;
    }
    start += e.duration;
    if (start > movieTime) return false;
  }
  if (!edit || edit->mediaTime < 0) return false;  // past the edits, or an empty edit
  // Media time scale over movie time scale, at the edit's rate (0 holds its first picture).
  double into = double(movieTime - start) * media.timeScale / movie_.header.timeScale * (edit->rate / 65536.0);
  uint64_t mediaTime = uint64_t(edit->mediaTime) + uint64_t(std::max(0.0, into));
  uint32_t sample;
  if (!s.SampleAtTime(mediaTime, sample)) return false;

  uint32_t key = KeyBefore(s, sample);
  uint32_t from = (t.decoded && t.lastSample >= key && t.lastSample <= sample) ? t.lastSample + 1 : key;
  for (uint32_t i = from; i <= sample; ++i) {
    uint32_t description = s.chunks.empty() ? 0 : s.chunks[s.ChunkOfSample(i)].description;
    if (description == 0 || description > s.descriptions.size()) continue;
    if (description != t.description) {
      t.decoder = std::make_unique<VideoDecoder>(s.descriptions[description - 1]);
      t.description = description;
    }
    uint64_t offset = 0, size = 0;
    if (!s.SampleRange(i, offset, size) || size > kMaxSampleBytes) size = 0;
    sample_.resize(size_t(size));
    if (size > 0 && !source_.ReadAt(offset, size_t(size), sample_.data()).Ok()) sample_.clear();
    (void)t.decoder->Decode(sample_.data(), sample_.size(), t.frame);
  }
  t.decoded = true;
  t.lastSample = sample;
  return t.frame.width > 0 && t.frame.height > 0;
}

void MoviePicture::Paint(const Track& t, Frame& out) const {
  const double sx = t.frame.width / t.width, sy = t.frame.height / t.height;
  for (int py = 0; py < height_; ++py) {
    const double Y = top_ + py + 0.5;
    uint32_t* row = &out.pixels[size_t(py) * width_];
    for (int px = 0; px < width_; ++px) {
      const double X = left_ + px + 0.5;
      const double x = t.a * X + t.c * Y + t.tx, y = t.b * X + t.d * Y + t.ty;
      if (x < 0 || y < 0 || x >= t.width || y >= t.height) continue;
      int fx = std::min(int(x * sx), t.frame.width - 1), fy = std::min(int(y * sy), t.frame.height - 1);
      row[px] = t.frame.At(fx, fy);
    }
  }
}

}  // namespace qtc
