#include "Sprites.h"

#include "MovieOutput.h"
#include "Toolbox.h"

#include <algorithm>
#include <cmath>

namespace qtb {

namespace {

// Decoded images of one key frame stop here: a film that names thousands
// of huge images must not take the memory.
constexpr uint64_t kMaxDecodedPixels = 16u << 20;

uint32_t Mix(uint32_t over, uint32_t under, const uint16_t weight[3]) {
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    int shift = 16 - 8 * c;
    uint32_t a = (over >> shift) & 0xFF, b = (under >> shift) & 0xFF;
    uint32_t v = (a * weight[c] + b * (65535u - weight[c]) + 32767u) / 65535u;
    out |= v << shift;
  }
  return out;
}

// A coordinate as a pixel edge of a picture `size` wide: rounded, then
// kept inside it (a sprite may be placed anywhere a 16.16 value reaches).
int Pixel(double v, uint16_t size) {
  double p = std::floor(v + 0.5);
  return p <= 0 ? 0 : p >= size ? int(size) : int(p);
}

// A position in an image as the index of a pixel.
int Index(double v, uint16_t size) { return v <= 0 ? 0 : v >= size - 1 ? size - 1 : int(v); }

}  // namespace

bool SpriteTrack::Load(uint32_t sample, std::vector<uint8_t>& bytes, qtf::SpriteSample& parsed) {
  parsed = qtf::SpriteSample{};
  if (!ReadSampleBytes(*track_, sample, bytes) || !qtf::ReadSpriteSample(bytes.data(), bytes.size(), parsed).Ok()) {
    bytes.clear();
    parsed = qtf::SpriteSample{};
    return false;
  }
  return true;
}

void SpriteTrack::Update(const MovieRecord& movie) {
  uint32_t sample = 0;
  bool shown = SampleAt(*track_, movie.header.timeScale, uint64_t(PlayLength(movie)), movie.play.time, sample);
  if (!shown) {
    if (current_ != kNone) {
      current_ = kNone;
      sprites_.clear();
      ++revision_;
    }
    return;
  }
  if (int64_t(sample) == current_) return;
  current_ = sample;
  ++revision_;

  // The key frame at or before the sample; the first sample when the
  // table names none before it.
  const qtf::SampleTable& table = track_->model.media.samples;
  uint32_t key = sample;
  if (!table.allSync) {
    auto it = std::upper_bound(table.syncSamples.begin(), table.syncSamples.end(), sample + 1);
    key = it == table.syncSamples.begin() ? 0 : std::min(sample, *(it - 1) - 1);
  }
  if (int64_t(key) != key_) {
    key_ = key;
    Load(key, keyBytes_, keySample_);
    pictures_.assign(keySample_.images.size(), Picture{});
    decodedPixels_ = 0;
  }
  overrideBytes_.clear();
  overrideSample_ = qtf::SpriteSample{};
  if (sample != key) Load(sample, overrideBytes_, overrideSample_);
  Rebuild();
  frameLoadedPending_ = true;
}

void SpriteTrack::Rebuild() {
  sprites_.clear();
  auto apply = [](Sprite& s, const qtf::SpriteProperties& p, bool all) {
    if (all || p.hasMatrix) s.matrix = p.matrix;
    if (all || p.hasVisible) s.visible = p.visible;
    if (all || p.hasLayer) s.layer = p.layer;
    if (all || p.hasMode) {
      s.mode = p.mode;
      std::copy(p.opColor, p.opColor + 3, s.opColor);
    }
    if (all || p.hasImage) s.image = p.imageIndex;
  };
  for (size_t i = 0; i < keySample_.sprites.size(); ++i) {
    const qtf::SpriteAtom& a = keySample_.sprites[i];
    Sprite s;
    s.id = a.id;
    s.order = i;
    apply(s, a.properties, true);
    for (const qtf::SpriteAtom& o : overrideSample_.sprites)
      if (o.id == a.id) apply(s, o.properties, false);
    sprites_.push_back(s);
  }
}

bool SpriteTrack::TakeFrameLoaded(std::vector<uint8_t>& bytes, std::vector<uint32_t>& actions) {
  if (!frameLoadedPending_) return false;
  frameLoadedPending_ = false;
  const bool isOverride = current_ != key_;
  const qtf::SpriteSample& s = isOverride ? overrideSample_ : keySample_;
  if (s.frameLoaded.empty()) return false;
  bytes = isOverride ? overrideBytes_ : keyBytes_;
  actions = s.frameLoaded;
  return true;
}

bool SpriteTrack::ImageSize(int16_t index, double& width, double& height) const {
  const qtf::SpriteImage* image = keySample_.Image(index);
  qtf::VideoFormat vf;
  if (!image || !qtf::ReadVideoFormat(image->description, vf) || vf.width == 0 || vf.height == 0 ||
      vf.width > qtc::kMaxFrameSide || vf.height > qtc::kMaxFrameSide)
    return false;
  width = vf.width;
  height = vf.height;
  return true;
}

const qtc::Frame* SpriteTrack::Decoded(int16_t index) {
  const qtf::SpriteImage* image = keySample_.Image(index);
  if (!image) return nullptr;
  Picture& p = pictures_[size_t(image - keySample_.images.data())];
  if (!p.tried) {
    p.tried = true;
    double w = 0, h = 0;
    if (!ImageSize(index, w, h) || decodedPixels_ + uint64_t(w * h) > kMaxDecodedPixels) return nullptr;
    decodedPixels_ += uint64_t(w * h);
    qtc::VideoDecoder decoder(image->description);
    // The offsets were checked against these bytes when the sample was read.
    decoder.Decode(keyBytes_.data() + image->dataOffset, image->dataSize, p.frame);
  }
  if (p.frame.width == 0 || p.frame.height == 0 || p.frame.pixels.size() < size_t(p.frame.width) * p.frame.height)
    return nullptr;
  return &p.frame;
}

bool SpriteTrack::Box(const Sprite& s, qtf::Box& box) const {
  double w = 0, h = 0;
  if (!ImageSize(s.image, w, h)) return false;
  box = qtf::Transform(s.matrix, qtf::Box{0, 0, w, h});
  return !box.Empty() && std::isfinite(box.left) && std::isfinite(box.right) && std::isfinite(box.top) &&
         std::isfinite(box.bottom);
}

std::vector<Sprite*> SpriteTrack::BackToFront() {
  std::vector<Sprite*> order;
  for (Sprite& s : sprites_) order.push_back(&s);
  // A lower layer lies in front; among equal layers a later sprite does.
  std::stable_sort(order.begin(), order.end(), [](const Sprite* a, const Sprite* b) {
    if (a->layer != b->layer) return a->layer > b->layer;
    return a->order < b->order;
  });
  return order;
}

void SpriteTrack::Draw(qtc::Frame& picture, const qtf::Box& place, uint64_t& budget) {
  const qtf::TrackHeader& h = track_->model.header;
  const double trackW = h.width / 65536.0, trackH = h.height / 65536.0;
  if (!(trackW > 0 && trackH > 0) || place.Empty()) return;
  const double sx = (place.right - place.left) / trackW, sy = (place.bottom - place.top) / trackH;
  for (Sprite* s : BackToFront()) {
    qtf::Box b;
    if (!s->visible || !Box(*s, b)) continue;
    const qtc::Frame* image = Decoded(s->image);
    if (!image) continue;
    const double left = place.left + b.left * sx, right = place.left + b.right * sx;
    const double top = place.top + b.top * sy, bottom = place.top + b.bottom * sy;
    const double w = right - left, hgt = bottom - top;
    const int x0 = Pixel(left, picture.width), x1 = Pixel(right, picture.width);
    const int y0 = Pixel(top, picture.height), y1 = Pixel(bottom, picture.height);
    if (x1 <= x0 || y1 <= y0 || !(w > 0) || !(hgt > 0)) continue;
    const uint64_t area = uint64_t(x1 - x0) * uint64_t(y1 - y0);
    if (area > budget) return;
    budget -= area;
    // Transparent leaves out the op colour, taken as 8-bit components.
    const uint32_t key = uint32_t(s->opColor[0] >> 8) << 16 | uint32_t(s->opColor[1] >> 8) << 8 | (s->opColor[2] >> 8);
    for (int y = y0; y < y1; ++y) {
      const int iy = Index((y + 0.5 - top) * image->height / hgt, image->height);
      const uint32_t* src = &image->pixels[size_t(iy) * image->width];
      uint32_t* dst = &picture.pixels[size_t(y) * picture.width];
      for (int x = x0; x < x1; ++x) {
        const int ix = Index((x + 0.5 - left) * image->width / w, image->width);
        uint32_t p = src[ix];
        switch (s->mode) {
          case qtf::kModeTransparent:
            if (p != key) dst[x] = p;
            break;
          case qtf::kModeBlend:
            dst[x] = Mix(p, dst[x], s->opColor);
            break;
          default:
            dst[x] = p;
        }
      }
    }
  }
}

Sprite* SpriteTrack::At(double x, double y) {
  std::vector<Sprite*> order = BackToFront();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    qtf::Box b;
    if ((*it)->visible && Box(**it, b) && x >= b.left && x < b.right && y >= b.top && y < b.bottom) return *it;
  }
  return nullptr;
}

Sprite* SpriteTrack::Find(uint32_t id) {
  for (Sprite& s : sprites_)
    if (s.id == id) return &s;
  return nullptr;
}

const std::vector<uint32_t>* SpriteTrack::Actions(uint32_t sprite, qtf::FourCC event) const {
  for (const qtf::SpriteAtom& a : keySample_.sprites)
    if (a.id == sprite) return a.Actions(event);
  return nullptr;
}

bool SpriteTrack::Handles(uint32_t sprite, std::initializer_list<qtf::FourCC> events) const {
  for (qtf::FourCC e : events)
    if (Actions(sprite, e)) return true;
  return false;
}

std::vector<uint32_t> SpriteTrack::Handling(qtf::FourCC event) const {
  std::vector<const Sprite*> order;
  for (const Sprite& s : sprites_) order.push_back(&s);
  std::stable_sort(order.begin(), order.end(), [](const Sprite* a, const Sprite* b) {
    if (a->layer != b->layer) return a->layer < b->layer;
    return a->order > b->order;
  });
  std::vector<uint32_t> ids;
  for (const Sprite* s : order)
    if (Actions(s->id, event)) ids.push_back(s->id);
  return ids;
}

}  // namespace qtb
