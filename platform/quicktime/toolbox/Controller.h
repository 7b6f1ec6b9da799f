#pragma once
// A movie controller: the movie it shows, where, its bar, its action
// filter, and what it drew last.
#include "Host.h"
#include "Records.h"

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
  long refCon = 0;
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

}  // namespace qtb
