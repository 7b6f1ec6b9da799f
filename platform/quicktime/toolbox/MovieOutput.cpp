#include "MovieOutput.h"

#include "File.h"
#include "Toolbox.h"

#include <algorithm>
#include <cmath>

namespace qtb {

namespace {

// A sample or sound chunk larger than this is not read: no film of the
// system comes near it, and a damaged table must not make us allocate it.
constexpr uint64_t kMaxReadBytes = 32u << 20;
// After a jump, at most this many samples are decoded to reach the new one
// from its key sample; a film without key samples still plays, roughly.
constexpr uint32_t kMaxCatchUp = 3000;
// Pixels the sprites of one picture may paint: many sprites over a large
// box stop here instead of taking seconds.
constexpr uint64_t kMaxSpritePixels = 64u << 20;

uint64_t Fnv(uint64_t h, uint64_t v) {
  for (int i = 0; i < 8; ++i) {
    h ^= (v >> (i * 8)) & 0xFF;
    h *= 1099511628211ull;
  }
  return h;
}

// The natural box of the enabled tracks, as whole pixels; false when it is
// empty or too large to compose.
bool CanvasBox(const MovieRecord& movie, qtf::Box& box, uint16_t& width, uint16_t& height) {
  std::vector<const qtf::TrackModel*> models;
  for (const auto& t : movie.tracks) models.push_back(&t->model);
  box = qtf::NaturalBox(models);
  if (box.Empty()) return false;
  double w = std::floor(box.right - box.left + 0.5), h = std::floor(box.bottom - box.top + 0.5);
  if (!(w >= 1 && h >= 1 && w <= qtc::kMaxFrameSide && h <= qtc::kMaxFrameSide)) return false;
  width = uint16_t(w);
  height = uint16_t(h);
  return true;
}

const qtf::SampleDescription* DescriptionOf(const qtf::SampleTable& table, uint32_t sample,
                                            uint32_t& index) {
  uint32_t chunk = table.ChunkOfSample(sample);
  if (chunk >= table.chunks.size()) return nullptr;
  index = table.chunks[chunk].description;
  if (index < 1 || index > table.descriptions.size()) return nullptr;
  return &table.descriptions[index - 1];
}

// Opens the media's file for reading, if it is still the file its tables
// describe.
bool OpenMediaFile(const MediaRecord& media, qtf::File& file) {
  if (!media.data || !CheckStamp(*media.data).Ok()) return false;
  return file.Open(media.data->path, qtf::File::Mode::Read).Ok();
}

bool ReadBytes(qtf::File& file, uint64_t offset, uint64_t size, std::vector<uint8_t>& out) {
  if (size > kMaxReadBytes) return false;
  out.resize(size_t(size));
  return size == 0 || file.ReadAt(offset, size_t(size), out.data()).Ok();
}

// A media time as a sample table's index; false for what no table holds.
bool TableTime(double t, uint64_t& out) {
  if (!(t >= 0 && t < 9.0e18)) return false;
  out = uint64_t(t);
  return true;
}

// The media time a track plays at a movie time, following its edits.
bool MediaTimeAt(const std::vector<qtf::Edit>& edits, double movieTime, uint32_t movieScale,
                 uint32_t mediaScale, double& mediaTime) {
  if (movieTime < 0 || movieScale == 0) return false;
  double start = 0;
  for (const qtf::Edit& e : edits) {
    double end = start + double(e.duration);
    if (movieTime < end) {
      if (e.mediaTime < 0) return false;
      mediaTime = double(e.mediaTime) + (movieTime - start) * mediaScale / movieScale * (e.rate / 65536.0);
      return true;
    }
    start = end;
  }
  return false;
}

// Nearest-neighbour copy of a picture into a rectangle of another.
void Place(const qtc::Frame& from, qtc::Frame& to, const qtf::Box& r) {
  if (from.width == 0 || from.height == 0 || from.pixels.size() < size_t(from.width) * from.height) return;
  int x0 = std::max(0, int(std::floor(r.left + 0.5))), y0 = std::max(0, int(std::floor(r.top + 0.5)));
  int x1 = std::min(int(to.width), int(std::floor(r.right + 0.5)));
  int y1 = std::min(int(to.height), int(std::floor(r.bottom + 0.5)));
  double w = r.right - r.left, h = r.bottom - r.top;
  if (x1 <= x0 || y1 <= y0 || w <= 0 || h <= 0) return;
  for (int y = y0; y < y1; ++y) {
    int sy = std::min(int(from.height) - 1, std::max(0, int((y + 0.5 - r.top) * from.height / h)));
    const uint32_t* src = &from.pixels[size_t(sy) * from.width];
    uint32_t* dst = &to.pixels[size_t(y) * to.width];
    for (int x = x0; x < x1; ++x) {
      int sx = std::min(int(from.width) - 1, std::max(0, int((x + 0.5 - r.left) * from.width / w)));
      dst[x] = src[sx];
    }
  }
}

}  // namespace

bool IsVisual(const TrackRecord& t) {
  const qtf::TrackModel& m = t.model;
  return (m.header.flags & qtf::kTrackEnabled) && t.media && m.hasMedia && m.media.type == qtf::Tag("vide") &&
         m.header.width > 0 && m.header.height > 0;
}

bool IsSprite(const TrackRecord& t) {
  const qtf::TrackModel& m = t.model;
  return (m.header.flags & qtf::kTrackEnabled) && t.media && m.hasMedia && m.media.type == qtf::Tag("sprt") &&
         m.header.width > 0 && m.header.height > 0;
}

bool ReadSampleBytes(const TrackRecord& track, uint32_t sample, std::vector<uint8_t>& out) {
  const qtf::SampleTable& table = track.model.media.samples;
  uint64_t offset = 0, size = 0;
  qtf::File file;
  if (!track.media || sample >= table.sampleCount || !table.SampleRange(sample, offset, size) ||
      !OpenMediaFile(*track.media, file))
    return false;
  return ReadBytes(file, offset, size, out);
}

bool IsSound(const TrackRecord& t) {
  const qtf::TrackModel& m = t.model;
  return (m.header.flags & qtf::kTrackEnabled) && t.media && m.hasMedia && m.media.type == qtf::Tag("soun");
}

bool SampleAt(const TrackRecord& track, uint32_t movieScale, uint64_t movieDuration, int64_t movieTime,
              uint32_t& sample) {
  const qtf::MediaModel& media = track.model.media;
  if (media.samples.sampleCount == 0 || movieTime < 0) return false;
  std::vector<qtf::Edit> edits = qtf::EffectiveEdits(track.model, movieScale);
  uint64_t trackEnd = qtf::TrackDuration(track.model, movieScale);
  uint64_t t = uint64_t(movieTime);
  if (t >= trackEnd) {
    if (trackEnd == 0 || t < movieDuration) return false;
    t = trackEnd - 1;
  }
  double mediaTime = 0;
  uint64_t index = 0;
  if (!MediaTimeAt(edits, double(t), movieScale, media.timeScale, mediaTime) || !TableTime(mediaTime, index))
    return false;
  return media.samples.SampleAtTime(index, sample);
}

struct MovieOutput::VideoTrack {
  const TrackRecord* track = nullptr;
  std::vector<std::unique_ptr<qtc::VideoDecoder>> decoders;  // by description index - 1
  qtc::Frame frame;
  int64_t decoded = -1;

  // Brings the frame to sample k: from the key sample before it, or on
  // from the sample decoded last when that lies between.
  void Show(uint32_t k) {
    if (decoded == int64_t(k)) return;
    const qtf::SampleTable& table = track->model.media.samples;
    uint32_t from = k;
    if (!table.allSync) {
      auto it = std::upper_bound(table.syncSamples.begin(), table.syncSamples.end(), k + 1);
      from = it == table.syncSamples.begin() ? 0 : *(it - 1) - 1;
      if (from > k) from = k;
      if (decoded >= int64_t(from) && decoded < int64_t(k)) from = uint32_t(decoded + 1);
      if (k - from > kMaxCatchUp) from = k - kMaxCatchUp;
    }
    decoded = k;
    qtf::File file;
    if (!OpenMediaFile(*track->media, file)) return;
    std::vector<uint8_t> bytes;
    for (uint32_t s = from; s <= k; ++s) {
      uint64_t offset = 0, size = 0;
      uint32_t index = 0;
      const qtf::SampleDescription* d = DescriptionOf(table, s, index);
      if (!d || !table.SampleRange(s, offset, size) || !ReadBytes(file, offset, size, bytes)) continue;
      if (decoders.size() < index) decoders.resize(index);
      if (!decoders[index - 1]) decoders[index - 1] = std::make_unique<qtc::VideoDecoder>(*d);
      decoders[index - 1]->Decode(bytes.data(), bytes.size(), frame);
    }
  }
};

struct MovieOutput::SoundTrack {
  const TrackRecord* track = nullptr;
  std::unique_ptr<qtc::SoundDecoder> decoder;
  uint32_t description = 0;
  int64_t chunk = -1;
  std::vector<int16_t> pcm;
  size_t frames = 0;
  double chunkStart = 0;  // media time of the chunk's first frame
  double perFrame = 1;    // media time of one decoded frame

  qtc::SoundDecoder* DecoderFor(uint32_t index) {
    const qtf::SampleTable& table = track->model.media.samples;
    if (index < 1 || index > table.descriptions.size()) return nullptr;
    if (!decoder || description != index) {
      decoder = std::make_unique<qtc::SoundDecoder>(table.descriptions[index - 1]);
      description = index;
    }
    return decoder->Supported() ? decoder.get() : nullptr;
  }

  // Decodes the chunk that holds the media time; false when there is none.
  bool Load(double mediaTime) {
    const qtf::SampleTable& table = track->model.media.samples;
    uint32_t sample = 0;
    uint64_t index = 0;
    if (!TableTime(mediaTime, index) || !table.SampleAtTime(index, sample)) return false;
    uint32_t c = table.ChunkOfSample(sample);
    if (c >= table.chunks.size()) return false;
    if (int64_t(c) == chunk) return frames > 0;
    chunk = c;
    frames = 0;
    pcm.clear();
    const qtf::SampleTable::Chunk& ch = table.chunks[c];
    qtc::SoundDecoder* d = DecoderFor(ch.description);
    qtf::File file;
    std::vector<uint8_t> bytes;
    if (!d || !OpenMediaFile(*track->media, file) || !ReadBytes(file, ch.offset, ch.bytes, bytes)) return false;
    frames = d->Decode(bytes.data(), bytes.size(), pcm);
    if (frames == 0 || d->Channels() == 0 || pcm.size() < frames * d->Channels()) {
      frames = 0;
      return false;
    }
    uint64_t end = ch.firstSample + ch.sampleCount;
    double start = double(table.SampleTime(uint32_t(ch.firstSample)));
    double stop = end < table.sampleCount ? double(table.SampleTime(uint32_t(end))) : double(table.Duration());
    chunkStart = start;
    perFrame = stop > start ? (stop - start) / double(frames) : 1.0;
    return true;
  }

  // The stereo value at a media time; silence where there is nothing.
  void ValueAt(double mediaTime, int32_t& left, int32_t& right) {
    left = right = 0;
    if (mediaTime < 0) return;
    if (chunk < 0 || frames == 0 || mediaTime < chunkStart || mediaTime >= chunkStart + perFrame * double(frames)) {
      if (!Load(mediaTime)) return;
    }
    size_t i = size_t((mediaTime - chunkStart) / perFrame);
    if (i >= frames) i = frames - 1;
    uint16_t channels = decoder->Channels();
    left = pcm[i * channels];
    right = channels > 1 ? pcm[i * channels + 1] : left;
  }
};

MovieOutput::MovieOutput() = default;
MovieOutput::~MovieOutput() = default;

MovieOutput::VideoTrack* MovieOutput::VideoFor(const TrackRecord* track) {
  for (auto& v : video_)
    if (v->track == track) return v.get();
  video_.push_back(std::make_unique<VideoTrack>());
  video_.back()->track = track;
  return video_.back().get();
}

MovieOutput::SoundTrack* MovieOutput::SoundFor(const TrackRecord* track) {
  for (auto& s : sound_)
    if (s->track == track) return s.get();
  sound_.push_back(std::make_unique<SoundTrack>());
  sound_.back()->track = track;
  return sound_.back().get();
}

SpriteTrack* MovieOutput::SpritesFor(const TrackRecord* track) {
  for (auto& s : sprites_)
    if (s->Track() == track) return s.get();
  sprites_.push_back(std::make_unique<SpriteTrack>(track));
  return sprites_.back().get();
}

void MovieOutput::ForgetTrack(const TrackRecord* track) {
  sprites_.erase(
      std::remove_if(sprites_.begin(), sprites_.end(), [&](const auto& s) { return s->Track() == track; }),
      sprites_.end());
  video_.erase(std::remove_if(video_.begin(), video_.end(), [&](const auto& v) { return v->track == track; }),
               video_.end());
  sound_.erase(std::remove_if(sound_.begin(), sound_.end(), [&](const auto& s) { return s->track == track; }),
               sound_.end());
}

uint64_t MovieOutput::PictureKey(const MovieRecord& movie) {
  uint64_t h = 14695981039346656037ull;
  uint64_t duration = uint64_t(PlayLength(movie));
  for (const auto& t : movie.tracks) {
    uint32_t sample = 0;
    const bool sprites = IsSprite(*t);
    bool shown = (IsVisual(*t) || sprites) && SampleAt(*t, movie.header.timeScale, duration, movie.play.time, sample);
    h = Fnv(h, uint64_t(reinterpret_cast<uintptr_t>(t.get())));
    h = Fnv(h, shown ? sample : UINT64_MAX);
    // Wired actions change sprites between samples.
    if (sprites) h = Fnv(h, SpritesFor(t.get())->Revision());
  }
  return h;
}

const qtc::Frame* MovieOutput::Picture(const MovieRecord& movie) {
  qtf::Box natural;
  uint16_t width = 0, height = 0;
  if (!CanvasBox(movie, natural, width, height)) return nullptr;
  uint64_t duration = uint64_t(PlayLength(movie));

  // Back to front: a lower layer lies in front.
  std::vector<const TrackRecord*> tracks;
  for (const auto& t : movie.tracks)
    if (IsVisual(*t) || IsSprite(*t)) tracks.push_back(t.get());
  std::stable_sort(tracks.begin(), tracks.end(), [](const TrackRecord* a, const TrackRecord* b) {
    return a->model.header.layer > b->model.header.layer;
  });

  struct Shown {
    VideoTrack* video;
    SpriteTrack* sprites;
    qtf::Box rect;  // in the canvas
  };
  std::vector<Shown> shown;
  for (const TrackRecord* t : tracks) {
    VideoTrack* v = nullptr;
    SpriteTrack* s = nullptr;
    if (IsSprite(*t)) {
      s = SpritesFor(t);
      s->Update(movie);
    } else {
      uint32_t sample = 0;
      if (!SampleAt(*t, movie.header.timeScale, duration, movie.play.time, sample)) continue;
      v = VideoFor(t);
      v->Show(sample);
    }
    const qtf::TrackHeader& h = t->model.header;
    qtf::Box r = qtf::Transform(h.matrix, qtf::Box{0, 0, h.width / 65536.0, h.height / 65536.0});
    r.left -= natural.left;
    r.right -= natural.left;
    r.top -= natural.top;
    r.bottom -= natural.top;
    shown.push_back({v, s, r});
  }

  // One video track that covers the canvas at its own size needs no copy.
  if (shown.size() == 1 && shown[0].video) {
    const qtc::Frame& f = shown[0].video->frame;
    const qtf::Box& r = shown[0].rect;
    if (f.width == width && f.height == height && std::fabs(r.left) < 0.5 && std::fabs(r.top) < 0.5 &&
        std::fabs(r.right - width) < 0.5 && std::fabs(r.bottom - height) < 0.5 &&
        f.pixels.size() == size_t(width) * height)
      return &f;
  }
  canvas_.width = width;
  canvas_.height = height;
  canvas_.pixels.assign(size_t(width) * height, 0);
  uint64_t budget = kMaxSpritePixels;
  for (const Shown& s : shown) {
    if (s.video) Place(s.video->frame, canvas_, s.rect);
    if (s.sprites) s.sprites->Draw(canvas_, s.rect, budget);
  }
  return &canvas_;
}

uint32_t MovieOutput::MixRate(const MovieRecord& movie) {
  uint32_t rate = 0;
  for (const auto& t : movie.tracks) {
    if (!IsSound(*t)) continue;
    const qtf::SampleTable& table = t->model.media.samples;
    if (table.chunks.empty()) continue;
    SoundTrack* s = SoundFor(t.get());
    qtc::SoundDecoder* d = s->DecoderFor(table.chunks[0].description);
    if (d) rate = std::max(rate, d->SampleRate() >> 16);
  }
  // A rate no device plays is not played.
  return rate >= 1000 && rate <= 192000 ? rate : 0;
}

int32_t MovieOutput::Mix(const MovieRecord& movie, double seconds, size_t frames, int16_t* out) {
  std::fill(out, out + 2 * frames, int16_t(0));
  uint32_t rate = MixRate(movie);
  int32_t movieVolume = std::max<int32_t>(0, std::min<int32_t>(movie.play.volume, 0x100));
  if (rate == 0 || movieVolume == 0 || frames == 0) return 0;
  std::vector<int32_t> sum(2 * frames, 0);
  const uint32_t movieScale = movie.header.timeScale;
  for (const auto& t : movie.tracks) {
    if (!IsSound(*t)) continue;
    int32_t trackVolume = std::max<int32_t>(0, std::min<int32_t>(t->model.header.volume, 0x100));
    int32_t gain = movieVolume * trackVolume;  // 16.16
    if (gain == 0) continue;
    SoundTrack* s = SoundFor(t.get());
    std::vector<qtf::Edit> edits = qtf::EffectiveEdits(t->model, movieScale);
    const uint32_t mediaScale = t->model.media.timeScale;
    for (size_t j = 0; j < frames; ++j) {
      double movieTime = (seconds + double(j) / rate) * movieScale;
      double mediaTime = 0;
      if (!MediaTimeAt(edits, movieTime, movieScale, mediaScale, mediaTime)) continue;
      int32_t left = 0, right = 0;
      s->ValueAt(mediaTime, left, right);
      sum[2 * j] += int32_t((int64_t(left) * gain) >> 16);
      sum[2 * j + 1] += int32_t((int64_t(right) * gain) >> 16);
    }
  }
  int32_t peak = 0;
  for (size_t i = 0; i < sum.size(); ++i) {
    int32_t v = std::max(-32768, std::min(32767, sum[i]));
    out[i] = int16_t(v);
    peak = std::max(peak, v < 0 ? -v : v);
  }
  return peak;
}

}  // namespace qtb
