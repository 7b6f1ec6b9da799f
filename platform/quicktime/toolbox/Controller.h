#pragma once
// A movie controller: the movie it shows, where, its bar, its action
// filter, and what it drew last.
#include "Host.h"
#include "Records.h"

// A sprite a controller follows: the one pressed, the one under the mouse.
struct SpriteRef {
  const TrackRecord* track = nullptr;  // none when null
  uint32_t id = 0;

  bool operator==(const SpriteRef& o) const { return track == o.track && id == o.id; }
  bool operator!=(const SpriteRef& o) const { return !(*this == o); }
};

struct MovieControllerRecord {
  uint32_t serial = 0;
  MovieRecord* movie = nullptr;
  GrafPort* port = nullptr;  // where it draws when it has no movie
  long flags = 0;
  Rect rect{0, 0, 0, 0};     // the rectangle it was given: the bar's place without a movie
  bool visible = true;       // the bar
  bool attached = true;      // the bar sits below the movie box
  bool active = true;

  MCActionFilterWithRefConProcPtr filter = nullptr;
  QTRefCon refCon = 0;
  bool inFilter = false;     // the filter is never entered twice
  bool disposed = false;     // gone; the memory waits for the outermost call
  uint32_t generation = 0;   // moves on whenever the movie changes

  // What the window shows of it.
  bool drawn = false;
  uint64_t shownPicture = 0;
  Rect shownBox{0, 0, 0, 0};
  int32_t shownThumb = -1;
  bool shownPlaying = false;
  bool redrawSoon = false;   // paint again on the next idle turn
  bool tracking = false;     // the slider follows the mouse

  // Sprites of its movie.
  SpriteRef pressed;         // gets the click's end
  SpriteRef under;           // gets the exit when the mouse leaves it
};

namespace qtb {

constexpr int16_t kBarHeight = 16;

// The port the controller draws into: its movie's, else its own.
GrafPort* DrawPort(const MovieControllerRecord& mc);
Rect MovieBoxOf(const MovieControllerRecord& mc);
BarLook BarOf(const MovieControllerRecord& mc);

// Runs the filter for an action; true when it handled it. A filter that is
// already running is not entered again: the action gets the default.
bool CallFilter(MovieControllerRecord* mc, int16_t action, void* params);
// The action through the filter, then the controller's own handling.
ComponentResult DoAction(MovieControllerRecord* mc, int16_t action, void* params);
// One idle turn: the filter's idle, then drawing what changed.
void IdleTurn(MovieControllerRecord* mc);
// Draws the movie box and the bar into the window now.
void DrawNow(MovieControllerRecord* mc);

// Sprite events (Wired.cpp). Points are in the window's client
// coordinates. Each may run the filter: callers check mc->disposed after.
// A press on a sprite that handles clicks; false when no such sprite is
// under the point.
bool SpriteMouseDown(MovieControllerRecord* mc, Point p);
// The release after a press on a sprite; over is null when the release is
// not over the controller's window. False when no sprite was pressed.
bool SpriteMouseUp(MovieControllerRecord* mc, const Point* over);
void SpriteMouseMoved(MovieControllerRecord* mc, Point p);
bool SpriteKey(MovieControllerRecord* mc);
// Frame-loaded and idle events.
void SpriteIdle(MovieControllerRecord* mc);
// The controller's own part of one wired action (action 64).
ComponentResult DoWiredAction(MovieControllerRecord* mc, const ResolvedQTEventSpec* spec);

}  // namespace qtb
