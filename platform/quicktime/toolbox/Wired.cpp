// Sprite events and wired actions: hit testing a controller's sprites,
// running the actions of the events they handle through the controller's
// filter (action 64, then the controller's own part), and that part: the
// sprite, movie and script actions. The filter may dispose of the
// controller, its movie or the movie's tracks at any action: after each
// one the controller is checked again, and nothing read before is trusted.
#include "Controller.h"

#include "AtomContainer.h"
#include "MovieOutput.h"
#include "Player.h"
#include "Toolbox.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using qtb::MovieOutput;
using qtb::Player;
using qtb::Sprite;
using qtb::SpriteTrack;
using qtb::Toolbox;

namespace {

MovieOutput& OutputOf(MovieRecord* m) {
  if (!m->output) m->output = std::make_shared<MovieOutput>();
  return *m->output;
}

// The controller's movie's sprite track, brought to the movie's time; null
// when the track is no longer one of that movie's sprite tracks.
SpriteTrack* LiveSprites(MovieControllerRecord* mc, const TrackRecord* track) {
  MovieRecord* m = mc->movie;
  if (!m || !track) return nullptr;
  for (const auto& t : m->tracks) {
    if (t.get() != track) continue;
    if (!qtb::IsSprite(*t)) return nullptr;
    SpriteTrack* s = OutputOf(m).SpritesFor(t.get());
    s->Update(*m);
    return s;
  }
  return nullptr;
}

// The movie's sprite tracks, front to back: a lower layer lies in front.
std::vector<const TrackRecord*> SpriteTracks(const MovieRecord* m) {
  std::vector<const TrackRecord*> tracks;
  if (!m) return tracks;
  for (const auto& t : m->tracks)
    if (qtb::IsSprite(*t)) tracks.push_back(t.get());
  std::stable_sort(tracks.begin(), tracks.end(), [](const TrackRecord* a, const TrackRecord* b) {
    return a->model.header.layer < b->model.header.layer;
  });
  return tracks;
}

// A point of the window in a track's coordinates: relative to the movie
// box, scaled to the movie's picture, then into the track's box.
bool ToTrack(const MovieControllerRecord& mc, const TrackRecord& track, Point p, double& x, double& y) {
  const MovieRecord* m = mc.movie;
  Rect box = qtb::MovieBoxOf(mc);
  if (!m || box.right <= box.left || box.bottom <= box.top) return false;
  std::vector<const qtf::TrackModel*> models;
  for (const auto& t : m->tracks) models.push_back(&t->model);
  qtf::Box natural = qtf::NaturalBox(models);
  if (natural.Empty()) return false;
  // The picture is the natural box in whole pixels, stretched to the box.
  double w = std::floor(natural.right - natural.left + 0.5), h = std::floor(natural.bottom - natural.top + 0.5);
  double nx = natural.left + (p.h + 0.5 - box.left) * w / (box.right - box.left);
  double ny = natural.top + (p.v + 0.5 - box.top) * h / (box.bottom - box.top);
  const qtf::TrackHeader& th = track.model.header;
  double tw = th.width / 65536.0, tht = th.height / 65536.0;
  qtf::Box r = qtf::Transform(th.matrix, qtf::Box{0, 0, tw, tht});
  if (r.Empty()) return false;
  x = (nx - r.left) * tw / (r.right - r.left);
  y = (ny - r.top) * tht / (r.bottom - r.top);
  return std::isfinite(x) && std::isfinite(y);
}

// The sprite drawn topmost at a point of the window; none outside the box.
SpriteRef TopSprite(MovieControllerRecord* mc, Point p) {
  Rect box = qtb::MovieBoxOf(*mc);
  if (p.h < box.left || p.h >= box.right || p.v < box.top || p.v >= box.bottom) return {};
  for (const TrackRecord* t : SpriteTracks(mc->movie)) {
    double x = 0, y = 0;
    SpriteTrack* s = LiveSprites(mc, t);
    if (!s || !ToTrack(*mc, *t, p, x, y)) continue;
    if (Sprite* hit = s->At(x, y)) return SpriteRef{t, hit->id};
  }
  return {};
}

// Runs one event's actions: each goes to the filter as action 64, then to
// the controller's own part. The container handed over is a copy of the
// sample, so nothing the filter does can pull it away. False when the
// controller or its movie went away meanwhile.
bool RunActions(MovieControllerRecord* mc, std::vector<uint8_t> bytes, std::vector<uint32_t> actions,
                const TrackRecord* track, uint32_t sprite, qtf::FourCC event) {
  if (actions.empty()) return true;
  Player::Get().Trace("event mc%u sprite %u %s", mc->serial, sprite, qtf::TagText(event).c_str());
  if (bytes.size() > size_t(INT32_MAX)) return true;
  Handle container = NewHandle(int32_t(bytes.size()));
  if (!container) return true;
  std::memcpy(*container, bytes.data(), bytes.size());
  MovieRecord* movie = mc->movie;
  const uint32_t generation = mc->generation;
  uint64_t before = movie ? OutputOf(movie).PictureKey(*movie) : 0;
  bool alive = true;
  for (uint32_t atom : actions) {
    ResolvedQTEventSpec spec{{container, QTAtom(atom)},
                             reinterpret_cast<Track>(const_cast<TrackRecord*>(track)),
                             long(sprite)};
    qtb::DoAction(mc, mcActionExecuteOneActionForQTEvent, &spec);
    if (mc->disposed || mc->movie != movie || mc->generation != generation || !Toolbox::Get().LiveMovie(movie)) {
      alive = false;
      break;
    }
  }
  DisposeHandle(container);
  // What the actions changed is seen at once.
  if (alive && movie && OutputOf(movie).PictureKey(*movie) != before) qtb::DrawNow(mc);
  return alive;
}

// A copy of a sprite's actions for an event, with the bytes they lie in.
bool ActionsOf(MovieControllerRecord* mc, const SpriteRef& ref, qtf::FourCC event, std::vector<uint8_t>& bytes,
               std::vector<uint32_t>& actions) {
  SpriteTrack* s = LiveSprites(mc, ref.track);
  const std::vector<uint32_t>* found = s ? s->Actions(ref.id, event) : nullptr;
  if (!found || found->empty()) return false;
  actions = *found;
  bytes = s->KeyBytes();
  return true;
}

bool Fire(MovieControllerRecord* mc, const SpriteRef& ref, qtf::FourCC event) {
  std::vector<uint8_t> bytes;
  std::vector<uint32_t> actions;
  if (!ActionsOf(mc, ref, event, bytes, actions)) return true;
  return RunActions(mc, std::move(bytes), std::move(actions), ref.track, ref.id, event);
}

// The sprite that owns an action: the spec's track must still be a sprite
// track of the controller's movie.
Sprite* Owner(MovieControllerRecord* mc, const ResolvedQTEventSpec& spec, SpriteTrack*& track) {
  track = LiveSprites(mc, reinterpret_cast<const TrackRecord*>(spec.targetTrack));
  // Frame-loaded actions belong to no sprite: their reference value is 0.
  if (!track || spec.targetRefCon == 0) return nullptr;
  return track->Find(uint32_t(spec.targetRefCon));
}

// A C string parameter: the characters up to a zero byte or the end.
std::vector<char> CString(qtf::ByteReader r) {
  std::vector<char> text;
  uint8_t c = 0;
  while (r.ReadU8(c) && c != 0) text.push_back(char(c));
  text.push_back(0);
  return text;
}

bool Parameter(const qtf::WiredAction& a, size_t k, qtf::ByteReader& out) {
  if (k >= a.parameters.size()) return false;
  out = a.parameters[k];
  return true;
}

ComponentResult SpriteAction(MovieControllerRecord* mc, const ResolvedQTEventSpec& spec,
                             const qtf::WiredAction& a) {
  SpriteTrack* track = nullptr;
  Sprite* sprite = Owner(mc, spec, track);
  if (!sprite) return noErr;
  qtf::ByteReader p;
  switch (a.type) {
    case qtf::kActionSpriteSetImageIndex: {
      int16_t index = 0;
      if (!Parameter(a, 0, p) || !p.ReadI16(index)) return paramErr;
      sprite->image = index;
      break;
    }
    case qtf::kActionSpriteSetVisible: {
      int16_t visible = 0;
      if (!Parameter(a, 0, p) || !p.ReadI16(visible)) return paramErr;
      sprite->visible = visible != 0;
      break;
    }
    case qtf::kActionSpriteTranslate: {
      int32_t x = 0, y = 0;
      uint8_t relative = 0;
      qtf::ByteReader py, pr;
      if (!Parameter(a, 0, p) || !p.ReadI32(x) || !Parameter(a, 1, py) || !py.ReadI32(y)) return paramErr;
      if (Parameter(a, 2, pr)) (void)pr.ReadU8(relative);
      // The matrix's translation, saturated rather than wrapped.
      auto place = [&](int32_t& field, int32_t v) {
        int64_t t = relative ? int64_t(field) + v : int64_t(v);
        field = int32_t(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, t)));
      };
      place(sprite->matrix.m[6], x);
      place(sprite->matrix.m[7], y);
      break;
    }
    default:
      return noErr;
  }
  track->Changed();
  return noErr;
}

}  // namespace

namespace qtb {

bool SpriteMouseDown(MovieControllerRecord* mc, Point p) {
  SpriteRef hit = TopSprite(mc, p);
  SpriteTrack* s = LiveSprites(mc, hit.track);
  if (!s || !s->Handles(hit.id, {qtf::kEventMouseClick, qtf::kEventClickEnd, qtf::kEventClickEndTrigger}))
    return false;
  mc->pressed = hit;
  Fire(mc, hit, qtf::kEventMouseClick);
  return true;
}

bool SpriteMouseUp(MovieControllerRecord* mc, const Point* over) {
  if (!mc->pressed.track) return false;
  SpriteRef pressed = mc->pressed;
  mc->pressed = SpriteRef{};
  if (!Fire(mc, pressed, qtf::kEventClickEnd)) return true;
  if (over && TopSprite(mc, *over) == pressed) Fire(mc, pressed, qtf::kEventClickEndTrigger);
  return true;
}

void SpriteMouseMoved(MovieControllerRecord* mc, Point p) {
  SpriteRef now = TopSprite(mc, p);
  if (now == mc->under) return;
  SpriteRef before = mc->under;
  mc->under = now;
  if (before.track && !Fire(mc, before, qtf::kEventMouseExit)) return;
  if (now.track) Fire(mc, now, qtf::kEventMouseEnter);
}

bool SpriteKey(MovieControllerRecord* mc) {
  bool any = false;
  for (const TrackRecord* t : SpriteTracks(mc->movie)) {
    SpriteTrack* s = LiveSprites(mc, t);
    if (!s) continue;
    for (uint32_t id : s->Handling(qtf::kEventKey)) {
      any = true;
      if (!Fire(mc, SpriteRef{t, id}, qtf::kEventKey)) return true;
    }
  }
  return any;
}

void SpriteIdle(MovieControllerRecord* mc) {
  for (const TrackRecord* t : SpriteTracks(mc->movie)) {
    SpriteTrack* s = LiveSprites(mc, t);
    if (!s) continue;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> actions;
    if (s->TakeFrameLoaded(bytes, actions) &&
        !RunActions(mc, std::move(bytes), std::move(actions), t, 0, qtf::kEventFrameLoaded))
      return;
    s = LiveSprites(mc, t);
    if (!s) continue;
    for (uint32_t id : s->Handling(qtf::kEventIdle))
      if (!Fire(mc, SpriteRef{t, id}, qtf::kEventIdle)) return;
  }
}

ComponentResult DoWiredAction(MovieControllerRecord* mc, const ResolvedQTEventSpec* spec) {
  if (!spec) return paramErr;
  Handle h = spec->actionAtom.container;
  if (!h || !Toolbox::Get().handles.count(h)) return paramErr;
  int32_t size = GetHandleSize(h);
  qtf::AtomContainer container;
  qtf::WiredAction a;
  int index = -1;
  if (!container.Parse(reinterpret_cast<const uint8_t*>(*h), size_t(size)).Ok() ||
      (index = container.FromOffset(spec->actionAtom.atom)) < 0 || !qtf::ReadWiredAction(container, index, a))
    return paramErr;
  Player::Get().Trace("wired mc%u %lu", mc->serial, static_cast<unsigned long>(a.type));
  qtf::ByteReader p;
  switch (a.type) {
    case qtf::kActionScriptCommand: {
      uint32_t flags = uint32_t(kScriptIsUnknownType);
      if (Parameter(a, 0, p)) (void)p.ReadU32(flags);
      if (!Parameter(a, 1, p)) return paramErr;
      std::vector<char> command = CString(p);
      qtf::ByteReader args;
      std::vector<char> arguments = Parameter(a, 2, args) ? CString(args) : std::vector<char>(1, 0);
      QTDoScriptRecord script{long(flags), command.data(), arguments.data()};
      return DoAction(mc, mcActionDoScript, &script);
    }
    case qtf::kActionSpriteSetImageIndex:
    case qtf::kActionSpriteSetVisible:
    case qtf::kActionSpriteTranslate:
      return SpriteAction(mc, *spec, a);
    case qtf::kActionMovieSetVolume: {
      int16_t volume = 0;
      if (!Parameter(a, 0, p) || !p.ReadI16(volume)) return paramErr;
      return DoAction(mc, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(volume)));
    }
    case qtf::kActionMovieSetRate: {
      int32_t rate = 0;
      if (!Parameter(a, 0, p) || !p.ReadI32(rate)) return paramErr;
      return DoAction(mc, mcActionPlay, reinterpret_cast<void*>(intptr_t(rate)));
    }
    case qtf::kActionMovieGoToTime: {
      int32_t time = 0;
      if (!Parameter(a, 0, p) || !p.ReadI32(time) || !mc->movie) return paramErr;
      TimeRecord tr{};
      tr.value.lo = uint32_t(std::max(0, time));
      tr.scale = TimeScale(mc->movie->header.timeScale);
      return DoAction(mc, mcActionGoToTime, &tr);
    }
    default:
      // The application's number and string, and what we do not know: the
      // filter had its turn.
      return noErr;
  }
}

}  // namespace qtb
