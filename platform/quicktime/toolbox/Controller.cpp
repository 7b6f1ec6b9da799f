// Movie controllers: their placement and bar, their actions through the
// action filter, events, and drawing. Every call that may run a filter
// holds a CallScope, so that whatever the filter disposes stays in memory
// until the outermost call has returned, and checks the controller again
// after each filter call.
#include "Controller.h"

#include "MovieOutput.h"
#include "Player.h"
#include "Toolbox.h"

#include <algorithm>
#include <cmath>

using qtb::CallScope;
using qtb::Guard;
using qtb::Player;
using qtb::SetError;
using qtb::Toolbox;

namespace {

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Contains(const Rect& r, Point p) {
  return p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom;
}

bool Same(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

Rect Moved(Rect r, int dh, int dv) {
  MacOffsetRect(&r, int16_t(dh), int16_t(dv));
  return r;
}

int16_t Clamp16(int v) { return int16_t(std::max(-32768, std::min(32767, v))); }

MovieControllerRecord* Live(MovieController mc) { return Player::Get().LiveController(mc); }

qtb::MovieOutput& OutputOf(MovieRecord* m) {
  if (!m->output) m->output = std::make_shared<qtb::MovieOutput>();
  return *m->output;
}

// The thumb's place along the slider: 0 at the start, 0x10000 at the end.
int32_t Position(const MovieRecord* m) {
  if (!m) return 0;
  int64_t duration = qtb::PlayLength(*m);
  if (duration <= 0) return 0;
  double at = double(std::max<int64_t>(0, m->play.time)) / double(duration);
  return int32_t(std::min(1.0, at) * 0x10000);
}

// Puts a new controller's movie in its rectangle as the flags ask. A movie
// without a picture keeps its empty box.
void PlaceMovie(MovieControllerRecord& mc, const Rect& rect) {
  MovieRecord* m = mc.movie;
  Rect box = qtb::MovieBox(*m);
  if (Empty(box)) return;
  int bar = mc.visible ? qtb::kBarHeight : 0;
  if (mc.flags & mcScaleMovieToFit) {
    Rect fit = rect;
    fit.bottom = Clamp16(std::max<int>(rect.top, rect.bottom - bar));
    if (fit.right < fit.left) fit.right = fit.left;
    qtb::SetMovieBox(*m, fit);
  } else if (mc.flags & mcTopLeftMovie) {
    qtb::SetMovieBox(*m, Moved(box, rect.left - box.left, rect.top - box.top));
  } else {
    int w = box.right - box.left, h = box.bottom - box.top;
    int left = rect.left + (rect.right - rect.left - w) / 2;
    int top = rect.top + (rect.bottom - rect.top - bar - h) / 2;
    qtb::SetMovieBox(*m, Moved(box, left - box.left, top - box.top));
  }
}

// Movie time of a time record: scale 0 means the movie's own scale; the
// time stays inside the movie.
int64_t TimeOf(const TimeRecord& tr, const MovieRecord& m) {
  int64_t value = int64_t((uint64_t(uint32_t(tr.value.hi)) << 32) | tr.value.lo);
  double t = double(value);
  if (tr.scale > 0 && tr.scale != TimeScale(m.header.timeScale)) t = t * m.header.timeScale / tr.scale;
  double duration = double(qtb::PlayLength(m));
  if (!(t < duration)) return qtb::PlayLength(m);  // past the end, or not a number
  return int64_t(std::floor(std::max(0.0, t)));
}

void DrawBarOnly(MovieControllerRecord* mc) {
  GrafPort* port = qtb::DrawPort(*mc);
  if (!port || !mc->visible || !qtb::TheHost().WindowAlive(port->window)) return;
  qtb::DrawJob job;
  job.window = port->window;
  job.showBar = true;
  job.look = qtb::BarOf(*mc);
  qtb::TheHost().Draw(job);
  mc->shownThumb = Position(mc->movie);
  mc->shownPlaying = job.look.playing;
}

// Draws what changed since the last drawing: the whole box for a new
// picture or place, else the bar for a moved thumb.
void DefaultIdle(MovieControllerRecord* mc) {
  qtb::SpriteIdle(mc);
  if (mc->disposed) return;
  GrafPort* port = qtb::DrawPort(*mc);
  if (!port || !qtb::TheHost().WindowAlive(port->window)) return;
  MovieRecord* m = mc->movie;
  bool whole = !mc->drawn || mc->redrawSoon || !Same(qtb::MovieBoxOf(*mc), mc->shownBox) ||
               (m && OutputOf(m).PictureKey(*m) != mc->shownPicture);
  if (whole) {
    mc->redrawSoon = false;
    qtb::DrawNow(mc);
    return;
  }
  bool playing = m && m->play.rate != 0;
  if (mc->visible && (Position(m) != mc->shownThumb || playing != mc->shownPlaying)) DrawBarOnly(mc);
}

// Seeks to the time under a point of the slider.
void SeekTo(MovieControllerRecord* mc, Point p) {
  MovieRecord* m = mc->movie;
  if (!m) return;
  qtb::BarLook look = qtb::BarOf(*mc);
  int span = look.track.right - look.track.left - (look.thumb.right - look.thumb.left);
  if (span <= 0) return;
  int x = std::max(0, std::min(span, p.h - look.track.left - (look.thumb.right - look.thumb.left) / 2));
  uint64_t t = uint64_t(double(qtb::PlayLength(*m)) * x / span);
  TimeRecord tr{};
  tr.value.lo = uint32_t(t);
  tr.value.hi = int32_t(t >> 32);
  tr.scale = TimeScale(m->header.timeScale);
  qtb::DoAction(mc, mcActionGoToTime, &tr);
}

// A press on the bar: the button plays or pauses (from the start again
// when the movie stands at its end); the slider moves the movie.
void BarMouseDown(MovieControllerRecord* mc, Point p) {
  qtb::BarLook look = qtb::BarOf(*mc);
  MovieRecord* m = mc->movie;
  if (!m) return;
  if (Contains(look.button, p)) {
    if (m->play.rate != 0) {
      qtb::DoAction(mc, mcActionPlay, reinterpret_cast<void*>(intptr_t(0)));
      return;
    }
    if (m->play.time >= qtb::PlayLength(*m)) {
      TimeRecord start{};
      qtb::DoAction(mc, mcActionGoToTime, &start);
      if (mc->disposed || mc->movie != m) return;
    }
    qtb::DoAction(mc, mcActionPlay, reinterpret_cast<void*>(intptr_t(0x10000)));
    return;
  }
  if (Contains(look.bar, p) && !Empty(look.track)) {
    mc->tracking = true;
    SeekTo(mc, p);
  }
}

bool SameWindow(const MovieControllerRecord& mc, const EventRecord& e) {
  GrafPort* port = qtb::DrawPort(mc);
  return port && uint32_t(uintptr_t(port->window)) == e.message;
}

}  // namespace

namespace qtb {

GrafPort* DrawPort(const MovieControllerRecord& mc) {
  if (mc.movie && mc.movie->play.port) return mc.movie->play.port;
  return mc.port;
}

Rect MovieBoxOf(const MovieControllerRecord& mc) {
  return mc.movie ? MovieBox(*mc.movie) : Rect{0, 0, 0, 0};
}

BarLook BarOf(const MovieControllerRecord& mc) {
  BarLook look;
  if (!mc.visible) return look;
  Rect box = MovieBoxOf(mc);
  Rect bar;
  if (mc.attached && mc.movie && !Empty(box)) {
    bar = Rect{box.bottom, box.left, Clamp16(box.bottom + kBarHeight), box.right};
  } else if (mc.attached) {
    // A movie without a picture: the bar at the top of the rectangle given.
    bar = Rect{mc.rect.top, mc.rect.left, Clamp16(mc.rect.top + kBarHeight), mc.rect.right};
  } else {
    bar = mc.rect;
  }
  look.bar = bar;
  int h = bar.bottom - bar.top, w = bar.right - bar.left;
  if (h <= 0 || w <= 0) return look;
  int side = std::min(h, w);
  look.button = Rect{bar.top, bar.left, bar.bottom, Clamp16(bar.left + side)};
  int middle = bar.top + h / 2;
  Rect track{Clamp16(middle - 2), Clamp16(bar.left + side + 6), Clamp16(middle + 2), Clamp16(bar.right - 6)};
  if (track.right > track.left + 8) {
    look.track = track;
    int span = track.right - track.left - 8;
    int x = track.left + int(int64_t(span) * Position(mc.movie) / 0x10000);
    look.thumb = Rect{Clamp16(bar.top + 2), Clamp16(x), Clamp16(bar.bottom - 2), Clamp16(x + 8)};
  }
  look.playing = mc.movie && mc.movie->play.rate != 0;
  look.active = mc.active;
  look.enabled = mc.movie != nullptr;
  return look;
}

bool CallFilter(MovieControllerRecord* mc, int16_t action, void* params) {
  if (!mc->filter || mc->inFilter || mc->disposed) return false;
  MCActionFilterWithRefConProcPtr filter = mc->filter;
  mc->inFilter = true;
  Boolean handled = filter(reinterpret_cast<MovieController>(mc), action, params, mc->refCon);
  // The record outlives a disposal inside the filter: see CallScope.
  mc->inFilter = false;
  Player::Get().Trace("filter mc%u %d -> %d", mc->serial, action, handled ? 1 : 0);
  return handled != 0;
}

ComponentResult DoAction(MovieControllerRecord* mc, int16_t action, void* params) {
  if (CallFilter(mc, action, params) || mc->disposed) return noErr;
  Player& player = Player::Get();
  MovieRecord* m = mc->movie;
  switch (action) {
    case mcActionIdle:
      DefaultIdle(mc);
      return noErr;
    case mcActionPlay:
      if (m) player.SetRate(m, Fixed(intptr_t(params)));
      if (mc->visible) DrawBarOnly(mc);
      return noErr;
    case mcActionGoToTime:
      if (!params) return paramErr;
      if (m) {
        player.SetTime(m, TimeOf(*static_cast<const TimeRecord*>(params), *m));
        DrawNow(mc);
      }
      return noErr;
    case mcActionSetVolume:
      if (m) player.SetVolume(m, int16_t(intptr_t(params)));
      return noErr;
    case mcActionGetVolume:
      if (!params) return paramErr;
      *static_cast<int16_t*>(params) = m ? m->play.volume : 0;
      return noErr;
    case mcActionActivate:
    case mcActionDeactivate:
      mc->active = action == mcActionActivate;
      if (mc->visible) DrawBarOnly(mc);
      return noErr;
    case mcActionExecuteOneActionForQTEvent:
      return DoWiredAction(mc, static_cast<const ResolvedQTEventSpec*>(params));
    case mcActionControllerSizeChanged:
    case mcActionMovieClick:
    case mcActionDoScript:
      // Nothing of the controller's own: these are for the filter.
      return noErr;
    default:
      return paramErr;
  }
}

void IdleTurn(MovieControllerRecord* mc) {
  if (CallFilter(mc, mcActionIdle, nullptr) || mc->disposed) return;
  DefaultIdle(mc);
}

void DrawNow(MovieControllerRecord* mc) {
  GrafPort* port = DrawPort(*mc);
  if (!port || !TheHost().WindowAlive(port->window)) return;
  MovieRecord* m = mc->movie;
  DrawJob job;
  job.window = port->window;
  Rect box = MovieBoxOf(*mc);
  if (m && !Empty(box)) {
    job.movie = true;
    job.box = box;
    job.picture = OutputOf(m).Picture(*m);
    job.frame = (mc->flags & mcWithFrame) != 0;
  }
  job.showBar = mc->visible;
  job.look = BarOf(*mc);
  TheHost().Draw(job);
  mc->drawn = true;
  mc->shownPicture = m ? OutputOf(m).PictureKey(*m) : 0;
  mc->shownBox = box;
  mc->shownThumb = Position(m);
  mc->shownPlaying = job.look.playing;
}

}  // namespace qtb

// --- The toolbox's controller functions ---------------------------------------

MovieController NewMovieController(Movie theMovie, const Rect* movieRect, long someFlags) {
  return Guard<MovieController>(nullptr, [&]() -> MovieController {
    MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
    if (!m || !movieRect) {
      SetError(m ? paramErr : invalidMovie);
      return nullptr;
    }
    auto mc = std::make_unique<MovieControllerRecord>();
    mc->movie = m;
    mc->flags = someFlags;
    mc->rect = *movieRect;
    mc->visible = !(someFlags & mcNotVisible);
    if (!m->play.port) m->play.port = Player::Get().current;
    mc->port = m->play.port;
    PlaceMovie(*mc, *movieRect);
    SetError(noErr);
    return reinterpret_cast<MovieController>(Player::Get().AddController(std::move(mc)));
  });
}

void DisposeMovieController(MovieController mc) {
  qtb::GuardVoid([&] {
    // A second disposal, or one of a controller never made, does nothing.
    if (MovieControllerRecord* r = Live(mc)) Player::Get().DisposeController(r);
  });
}

ComponentResult MCSetMovie(MovieController mc, Movie theMovie, WindowPtr movieWindow, Point where) {
  return Guard<ComponentResult>(paramErr, [&]() -> ComponentResult {
    MovieControllerRecord* r = Live(mc);
    if (!r) return badComponentInstance;
    Player& player = Player::Get();
    MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
    MovieRecord* old = r->movie;
    r->movie = m;
    r->port = movieWindow ? player.LivePort(movieWindow) : player.current;
    ++r->generation;
    r->drawn = false;
    r->tracking = false;
    r->pressed = SpriteRef{};
    r->under = SpriteRef{};
    if (old && old != m) player.Undriven(old);
    if (m) {
      m->play.port = r->port;
      Rect box = qtb::MovieBox(*m);
      if (!Empty(box)) qtb::SetMovieBox(*m, Moved(box, where.h - box.left, where.v - box.top));
    }
    player.Trace("setmovie mc%u movie%u", r->serial, m ? m->play.serial : 0);
    return noErr;
  });
}

ComponentResult MCSetControllerBoundsRect(MovieController mc, const Rect* bounds) {
  MovieControllerRecord* r = Live(mc);
  if (!r) return badComponentInstance;
  if (!bounds) return paramErr;
  r->rect = *bounds;
  // An attached controller takes its movie along: the movie fills the
  // rectangle above the bar.
  if (r->attached && r->movie && !Empty(qtb::MovieBox(*r->movie))) {
    Rect fit = *bounds;
    fit.bottom = Clamp16(std::max<int>(fit.top, fit.bottom - (r->visible ? qtb::kBarHeight : 0)));
    if (fit.right < fit.left) fit.right = fit.left;
    qtb::SetMovieBox(*r->movie, fit);
  }
  r->drawn = false;
  return noErr;
}

ComponentResult MCGetControllerBoundsRect(MovieController mc, Rect* bounds) {
  MovieControllerRecord* r = Live(mc);
  if (!r) return badComponentInstance;
  if (!bounds) return paramErr;
  Rect box = qtb::MovieBoxOf(*r);
  qtb::BarLook look = qtb::BarOf(*r);
  if (r->attached && r->movie && !Empty(box)) {
    *bounds = box;
    if (r->visible) bounds->bottom = look.bar.bottom;
  } else {
    *bounds = r->visible ? look.bar : r->rect;
  }
  return noErr;
}

ComponentResult MCSetControllerAttached(MovieController mc, Boolean attach) {
  MovieControllerRecord* r = Live(mc);
  if (!r) return badComponentInstance;
  // A detached bar stays where it stood.
  if (r->attached && !attach && r->visible) r->rect = qtb::BarOf(*r).bar;
  r->attached = attach != 0;
  r->drawn = false;
  return noErr;
}

ComponentResult MCSetVisible(MovieController mc, Boolean visible) {
  MovieControllerRecord* r = Live(mc);
  if (!r) return badComponentInstance;
  r->visible = visible != 0;
  r->drawn = false;
  return noErr;
}

ComponentResult MCMovieChanged(MovieController mc, Movie) {
  MovieControllerRecord* r = Live(mc);
  if (!r) return badComponentInstance;
  // The movie's box and length are read afresh at every drawing.
  r->drawn = false;
  return noErr;
}

ComponentResult MCDraw(MovieController mc, WindowPtr w) {
  return Guard<ComponentResult>(paramErr, [&]() -> ComponentResult {
    MovieControllerRecord* r = Live(mc);
    if (!r) return badComponentInstance;
    if (!qtb::DrawPort(*r) && w) r->port = Player::Get().LivePort(w);
    qtb::DrawNow(r);
    return noErr;
  });
}

ComponentResult MCActivate(MovieController mc, WindowPtr, Boolean activate) {
  return Guard<ComponentResult>(paramErr, [&]() -> ComponentResult {
    MovieControllerRecord* r = Live(mc);
    if (!r) return badComponentInstance;
    r->active = activate != 0;
    if (r->visible) DrawBarOnly(r);
    return noErr;
  });
}

ComponentResult MCIdle(MovieController mc) {
  return Guard<ComponentResult>(paramErr, [&]() -> ComponentResult {
    CallScope scope;
    MovieControllerRecord* r = Live(mc);
    if (!r) return badComponentInstance;
    Player::Get().Trace("idle mc%u", r->serial);
    qtb::IdleTurn(r);
    return noErr;
  });
}

TimeValue MCGetCurrentTime(MovieController mc, TimeScale* scale) {
  MovieControllerRecord* r = Live(mc);
  if (scale) *scale = r && r->movie ? TimeScale(r->movie->header.timeScale) : 0;
  if (!r || !r->movie) return 0;
  return TimeValue(std::min<int64_t>(r->movie->play.time, INT32_MAX));
}

ComponentResult MCIsPlayerEvent(MovieController mc, const EventRecord* e) {
  return Guard<ComponentResult>(0, [&]() -> ComponentResult {
    CallScope scope;
    MovieControllerRecord* r = Live(mc);
    if (!r || !e) return 0;
    switch (e->what) {
      case updateEvt:
        if (!SameWindow(*r, *e)) return 0;
        // The window may still erase under the new drawing: paint once more
        // on the next idle turn.
        qtb::DrawNow(r);
        r->redrawSoon = true;
        return 1;
      case activateEvt:
        if (!SameWindow(*r, *e)) return 0;
        r->active = (e->modifiers & activeFlag) != 0;
        if (r->visible) DrawBarOnly(r);
        return 0;
      case mouseDown: {
        if (!SameWindow(*r, *e)) return 0;
        Point p = qtb::TheHost().ScreenToWindow(qtb::DrawPort(*r)->window, e->where);
        qtb::BarLook look = qtb::BarOf(*r);
        if (r->visible && Contains(look.bar, p)) {
          BarMouseDown(r, p);
          return 1;
        }
        if (r->movie && Contains(qtb::MovieBoxOf(*r), p)) {
          // A sprite that handles clicks takes the press; anywhere else it
          // is a click on the movie.
          if (!qtb::SpriteMouseDown(r, p) && !r->disposed)
            qtb::DoAction(r, mcActionMovieClick, const_cast<EventRecord*>(e));
          return 1;
        }
        return 0;
      }
      case mouseUp: {
        if (r->tracking) {
          r->tracking = false;
          return 1;
        }
        Point p{0, 0};
        bool over = SameWindow(*r, *e);
        if (over) p = qtb::TheHost().ScreenToWindow(qtb::DrawPort(*r)->window, e->where);
        return qtb::SpriteMouseUp(r, over ? &p : nullptr) ? 1 : 0;
      }
      case nullEvent:
        if (!SameWindow(*r, *e)) return 0;
        // While the slider is held, it follows the mouse; otherwise the
        // mouse may move onto or off a sprite.
        if (r->tracking) {
          if (e->modifiers & btnState) {
            r->tracking = false;
          } else {
            SeekTo(r, qtb::TheHost().ScreenToWindow(qtb::DrawPort(*r)->window, e->where));
          }
        } else {
          qtb::SpriteMouseMoved(r, qtb::TheHost().ScreenToWindow(qtb::DrawPort(*r)->window, e->where));
        }
        return 0;
      case keyDown:
      case autoKey:
        return qtb::SpriteKey(r) ? 1 : 0;
      default:
        return 0;
    }
  });
}

ComponentResult MCSetActionFilterWithRefCon(MovieController mc, MCActionFilterWithRefConProcPtr filter,
                                            QTRefCon refCon) {
  MovieControllerRecord* r = Live(mc);
  if (!r) return badComponentInstance;
  r->filter = filter;
  r->refCon = refCon;
  return noErr;
}

ComponentResult MCGetControllerInfo(MovieController mc, long* someFlags) {
  MovieControllerRecord* r = Live(mc);
  if (someFlags) *someFlags = 0;
  if (!r) return badComponentInstance;
  if (!someFlags) return paramErr;
  if (r->movie && r->movie->play.rate != 0) *someFlags |= mcInfoIsPlaying;
  return noErr;
}

ComponentResult MCDoAction(MovieController mc, int16_t action, void* params) {
  return Guard<ComponentResult>(paramErr, [&]() -> ComponentResult {
    CallScope scope;
    MovieControllerRecord* r = Live(mc);
    if (!r) return badComponentInstance;
    Player& player = Player::Get();
    if (player.tracing) {
      switch (action) {
        case mcActionPlay:
          player.Trace("action mc%u play %ld", r->serial, long(Fixed(intptr_t(params))));
          break;
        case mcActionSetVolume:
          player.Trace("action mc%u volume %d", r->serial, int(int16_t(intptr_t(params))));
          break;
        case mcActionGoToTime:
          if (params)
            player.Trace("action mc%u goto %lu/%ld", r->serial,
                         static_cast<unsigned long>(static_cast<const TimeRecord*>(params)->value.lo),
                         long(static_cast<const TimeRecord*>(params)->scale));
          break;
        default:
          player.Trace("action mc%u %d", r->serial, action);
      }
    }
    return qtb::DoAction(r, action, params);
  });
}
