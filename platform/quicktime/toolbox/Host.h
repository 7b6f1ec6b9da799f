#pragma once
// What playback needs from the system it runs on: windows to draw into, a
// timer, the time, and a sound device. Windows gives GDI, a thread timer and
// waveOut; the native build has none of them and draws nowhere.
#include "QTToolbox.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace qtc {
struct Frame;
}

namespace qtb {

// The controller bar's parts, in the window's client coordinates.
struct BarLook {
  Rect bar{0, 0, 0, 0};
  Rect button{0, 0, 0, 0};  // play or pause
  Rect track{0, 0, 0, 0};   // the slider's groove
  Rect thumb{0, 0, 0, 0};
  bool playing = false;
  bool active = true;
  bool enabled = false;     // a movie to play
};

// One drawing of a controller into its window.
struct DrawJob {
  void* window = nullptr;
  bool movie = false;        // draw the movie box
  Rect box{0, 0, 0, 0};
  const qtc::Frame* picture = nullptr;  // scaled into box; none: black
  bool frame = false;        // a black line around box
  bool showBar = false;
  BarLook look;
};

// A stereo 16-bit output stream. Writes never wait for the device.
class SoundOut {
 public:
  virtual ~SoundOut() = default;
  // Frames written and not yet played.
  virtual size_t Queued() = 0;
  virtual bool Write(const int16_t* frames, size_t count) = 0;
  // Drops everything queued.
  virtual void Reset() = 0;
};

class Host {
 public:
  virtual ~Host() = default;
  virtual bool WindowAlive(void* window) = 0;
  // Screen to the window's client coordinates.
  virtual Point ScreenToWindow(void* window, Point screen) = 0;
  virtual uint64_t NowMs() = 0;
  // The real clock's timer: calls Player::Tick on this thread until stopped.
  virtual bool StartTimer() = 0;
  virtual void StopTimer() = 0;
  virtual void Draw(const DrawJob& job) = 0;
  // Null when there is no device or it refuses the rate: the movie is silent.
  virtual std::unique_ptr<SoundOut> OpenSound(uint32_t framesPerSecond) = 0;
  virtual int32_t OpenSoundCount() const = 0;
};

Host& TheHost();

}  // namespace qtb
