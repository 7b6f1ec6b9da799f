#pragma once
// Shared by the playback tests: windows for ports, the stand-in's manual
// clock and trace, and films. Under Wine the windows are real top-level
// windows whose procedure offers every message to a controller as the
// panes do; natively any distinct pointer serves as a window and nothing is
// drawn.
#include "QTStandInControl.h"
#include "ToolboxSupport.h"

#include <string>
#include <vector>

namespace filmtest {

// The films make_play_films.sh makes: quad.mov, tone.mov, clip.mov.
std::string PlayFilm(const std::string& name);

// Marks a pointer move that a test posts (no key-state flag has this bit):
// the display's real pointer belongs to every program on it, and only the
// tests' own moves reach the controller.
constexpr unsigned kTestMove = 0x8000;

class PlayWindow {
 public:
  // A window of the given client size at a screen position.
  PlayWindow(int x = 40, int y = 40, int width = 160, int height = 120);
  ~PlayWindow();
  PlayWindow(const PlayWindow&) = delete;
  PlayWindow& operator=(const PlayWindow&) = delete;

  void* Handle() const { return window_; }
  // Every message of the window goes to this controller first.
  void Offer(MovieController mc) { controller_ = mc; }
  // Destroys the window now (natively: forgets it).
  void Destroy();

  MovieController controller_ = nullptr;

 private:
  void* window_ = nullptr;
};

// Runs this thread's messages for a while (natively: nothing).
void Pump(int ms);

// The manual clock and the trace for one test, between the toolbox's start
// and end (under Wine the control entry is reached through the glue).
class ManualClock {
 public:
  void Start();
  void Stop();
  void Advance(int ms) { QTStandInControl(kQTStandInAdvance, ms, nullptr, 0); }
};

std::string Trace();
void ClearTrace();
// The lines of the trace that begin with one of the prefixes, in order.
std::vector<std::string> TraceLines(const std::vector<std::string>& prefixes);
int32_t Live(QTStandInCount what);

bool IsPlaying(MovieController mc);
TimeValue Now(MovieController mc);
void Play(MovieController mc, Fixed rate = 0x10000);
void GoTo(MovieController mc, TimeValue time, TimeScale scale = 0);

}  // namespace filmtest
