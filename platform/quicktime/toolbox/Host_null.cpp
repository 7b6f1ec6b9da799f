// The native build's host: no windows, no timer, no sound device. Any
// non-null pointer counts as a window, and nothing is drawn; tests drive
// time with the manual clock.
#include "Host.h"

#include <chrono>

namespace qtb {

namespace {

class NullHost : public Host {
 public:
  bool WindowAlive(void* window) override { return window != nullptr; }
  Point ScreenToWindow(void*, Point screen) override { return screen; }
  uint64_t NowMs() override {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  bool StartTimer() override { return false; }
  void StopTimer() override {}
  void Draw(const DrawJob&) override {}
  std::unique_ptr<SoundOut> OpenSound(uint32_t) override { return nullptr; }
  int32_t OpenSoundCount() const override { return 0; }
};

}  // namespace

Host& TheHost() {
  static NullHost* host = new NullHost;
  return *host;
}

}  // namespace qtb
