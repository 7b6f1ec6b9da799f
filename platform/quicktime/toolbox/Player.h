#pragma once
// What drives playback: the ports, the live controllers, the clock that
// advances the movies they show and gives them their idle turns, disposal
// deferred while a filter runs, and the trace. One per process.
#include "Records.h"

#include <cstdarg>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct MovieControllerRecord;

namespace qtb {

struct SoundChannel;

class Player {
 public:
  static Player& Get();

  // --- Ports ---
  GrafPort* PortOf(void* window) const;
  GrafPort* LivePort(GrafPtr port) const;
  GrafPort* NewPort(void* window);
  void DestroyPort(GrafPort* port);
  GrafPort* current = nullptr;  // MacSetPort's

  // --- Controllers ---
  MovieControllerRecord* LiveController(MovieController mc) const;
  MovieControllerRecord* AddController(std::unique_ptr<MovieControllerRecord> mc);
  // The controller leaves the live ones at once; its memory goes when the
  // outermost toolbox call returns.
  void DisposeController(MovieControllerRecord* mc);
  const std::vector<MovieControllerRecord*>& Controllers() const { return live_; }

  // --- Movies (called by the toolbox's own movie functions) ---
  void MovieOpened(MovieRecord* movie);
  // Detaches the movie from its controllers and silences it; answers
  // whether its memory must wait for the outermost call to return.
  bool MovieGoing(MovieRecord* movie);
  void KeepUntilSafe(std::unique_ptr<MovieRecord> movie);
  void TrackGoing(TrackRecord* track);

  // A movie plays only while a controller drives it; one that loses its
  // last one falls silent where it stands.
  void Undriven(MovieRecord* movie);
  void SetRate(MovieRecord* movie, Fixed rate, const char* why = "");
  void SetVolume(MovieRecord* movie, int16_t volume);
  void SetTime(MovieRecord* movie, int64_t time);

  // --- Calls that may run filters ---
  // While one is active, disposal waits; leaving the outermost frees.
  void Enter() { ++depth_; }
  void Leave();
  int Depth() const { return depth_; }

  // --- Clock ---
  bool Manual() const { return manual_; }
  void SetManual(bool manual);
  bool Advance(uint32_t ms);  // manual clock only
  void Tick();                // the real clock's timer
  // One pass: the movies move on by ms, then every controller has its idle turn.
  void IdlePass(uint32_t ms);
  void StopEverything();      // the toolbox ends: no timer, no sound

  // --- Trace ---
  bool tracing = false;
  void Trace(const char* format, ...)
#ifdef __GNUC__
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  std::string trace;

  int32_t Count(int32_t what) const;

 private:
  Player();
  ~Player();
  void UpdateTimer();
  void FreeDeferred();
  // Moves a playing movie's time on; at its end it stops.
  void MoveOn(MovieRecord* movie, uint32_t ms);
  void ServiceSound(MovieRecord* movie);
  void CaptureSound(MovieRecord* movie, int64_t from, int64_t to);

  std::map<void*, std::unique_ptr<GrafPort>> ports_;
  std::map<MovieControllerRecord*, std::unique_ptr<MovieControllerRecord>> controllers_;
  std::vector<MovieControllerRecord*> live_;
  std::vector<std::unique_ptr<MovieControllerRecord>> deadControllers_;
  std::vector<std::unique_ptr<MovieRecord>> deadMovies_;
  std::map<MovieRecord*, std::unique_ptr<SoundChannel>> sound_;
  int depth_ = 0;
  bool manual_ = false;
  uint64_t lastTick_ = 0;
  uint64_t pass_ = 0;
  uint32_t nextSerial_ = 1;
  bool timer_ = false;
};

// Holds the player's call depth for one toolbox call that may run filters.
class CallScope {
 public:
  CallScope() { Player::Get().Enter(); }
  ~CallScope() { Player::Get().Leave(); }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;
};

}  // namespace qtb
