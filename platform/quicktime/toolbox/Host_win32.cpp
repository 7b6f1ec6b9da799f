// Playback on Windows: GDI drawing into the associated window (GetDC), the
// real clock's thread timer, and sound through waveOut.
#include "Decoder.h"
#include "Host.h"
#include "Player.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace qtb {

namespace {

// A thread timer with a procedure: no window of the programs is touched,
// and no timer id of theirs (the engine kills timer 1 of its panes).
constexpr UINT kTickMs = 15;

void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD) {
  // Nothing may leave a timer procedure; a failed pass is just skipped.
  try {
    Player::Get().Tick();
  } catch (...) {
  }
}

class ClientDC {
 public:
  explicit ClientDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ClientDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void Fill(HDC dc, const Rect& r, HBRUSH brush) {
  RECT rc = ToRect(r);
  FillRect(dc, &rc, brush);
}

void DrawPicture(HDC dc, const Rect& box, const qtc::Frame* picture) {
  int w = box.right - box.left, h = box.bottom - box.top;
  if (!picture || picture->width == 0 || picture->height == 0 ||
      picture->pixels.size() < size_t(picture->width) * picture->height) {
    Fill(dc, box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture->width;
  info.bmiHeader.biHeight = -int(picture->height);  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, box.left, box.top, w, h, 0, 0, picture->width, picture->height, picture->pixels.data(), &info,
                DIB_RGB_COLORS, SRCCOPY);
}

// A small play triangle or two pause bars, centred in the button.
void DrawButton(HDC dc, const BarLook& look) {
  HBRUSH ink = GetSysColorBrush(look.active && look.enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  const Rect& b = look.button;
  int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
  int size = std::min(b.right - b.left, b.bottom - b.top) / 2;
  if (size <= 0) return;
  if (look.playing) {
    int bar = std::max(1, size / 3);
    Fill(dc, Rect{int16_t(cy - size / 2), int16_t(cx - bar - 1), int16_t(cy + size / 2 + 1), int16_t(cx - 1)}, ink);
    Fill(dc, Rect{int16_t(cy - size / 2), int16_t(cx + 1), int16_t(cy + size / 2 + 1), int16_t(cx + bar + 1)}, ink);
    return;
  }
  // Rows of a triangle pointing right.
  int half = size / 2;
  for (int dy = -half; dy <= half; ++dy) {
    int len = half - (dy < 0 ? -dy : dy) + 1;
    int left = cx - half / 2;
    Fill(dc, Rect{int16_t(cy + dy), int16_t(left), int16_t(cy + dy + 1), int16_t(left + len)}, ink);
  }
}

void DrawBar(HDC dc, const BarLook& look) {
  if (look.bar.right <= look.bar.left || look.bar.bottom <= look.bar.top) return;
  Fill(dc, look.bar, GetSysColorBrush(COLOR_BTNFACE));
  Fill(dc, Rect{look.bar.top, look.bar.left, int16_t(look.bar.top + 1), look.bar.right},
       GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  DrawButton(dc, look);
  if (look.track.right > look.track.left) {
    Fill(dc, look.track, GetSysColorBrush(COLOR_BTNSHADOW));
    if (look.enabled) {
      RECT thumb = ToRect(look.thumb);
      DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
  }
}

// waveOut without a callback: finished blocks are collected when asked.
class WaveOut : public SoundOut {
 public:
  WaveOut(HWAVEOUT wave, int32_t* count) : wave_(wave), count_(count) { ++*count_; }
  ~WaveOut() override {
    waveOutReset(wave_);
    Collect(true);
    waveOutClose(wave_);
    --*count_;
  }

  size_t Queued() override {
    Collect(false);
    size_t frames = 0;
    for (const auto& b : blocks_) frames += b->samples.size() / 2;
    return frames;
  }

  bool Write(const int16_t* frames, size_t count) override {
    auto block = std::make_unique<Block>();
    block->samples.assign(frames, frames + 2 * count);
    block->header.lpData = reinterpret_cast<LPSTR>(block->samples.data());
    block->header.dwBufferLength = DWORD(count * 4);
    if (waveOutPrepareHeader(wave_, &block->header, sizeof block->header) != MMSYSERR_NOERROR) return false;
    if (waveOutWrite(wave_, &block->header, sizeof block->header) != MMSYSERR_NOERROR) {
      waveOutUnprepareHeader(wave_, &block->header, sizeof block->header);
      return false;
    }
    blocks_.push_back(std::move(block));
    return true;
  }

  void Reset() override {
    waveOutReset(wave_);
    Collect(true);
  }

 private:
  struct Block {
    WAVEHDR header = {};
    std::vector<int16_t> samples;
  };

  // After a reset every block is done.
  void Collect(bool all) {
    while (!blocks_.empty() && (all || (blocks_.front()->header.dwFlags & WHDR_DONE))) {
      waveOutUnprepareHeader(wave_, &blocks_.front()->header, sizeof(WAVEHDR));
      blocks_.pop_front();
    }
  }

  HWAVEOUT wave_;
  int32_t* count_;
  std::deque<std::unique_ptr<Block>> blocks_;
};

class WindowsHost : public Host {
 public:
  bool WindowAlive(void* window) override { return window && IsWindow(static_cast<HWND>(window)); }

  Point ScreenToWindow(void* window, Point screen) override {
    POINT p = {screen.h, screen.v};
    ScreenToClient(static_cast<HWND>(window), &p);
    return Point{int16_t(p.y), int16_t(p.x)};
  }

  uint64_t NowMs() override {
    LARGE_INTEGER frequency, now;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0) return GetTickCount();
    QueryPerformanceCounter(&now);
    return uint64_t(now.QuadPart / (frequency.QuadPart / 1000 ? frequency.QuadPart / 1000 : 1));
  }

  bool StartTimer() override {
    timer_ = SetTimer(nullptr, 0, kTickMs, TimerProc);
    thread_ = GetCurrentThreadId();
    return timer_ != 0;
  }

  void StopTimer() override {
    // A thread timer can only be ended by its own thread.
    if (timer_ && GetCurrentThreadId() == thread_) KillTimer(nullptr, timer_);
    timer_ = 0;
  }

  void Draw(const DrawJob& job) override {
    ClientDC dc(static_cast<HWND>(job.window));
    if (!dc.Get()) return;
    if (job.movie) {
      DrawPicture(dc.Get(), job.box, job.picture);
      if (job.frame) {
        RECT around = {job.box.left - 1, job.box.top - 1, job.box.right + 1, job.box.bottom + 1};
        FrameRect(dc.Get(), &around, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      }
    }
    if (job.showBar) DrawBar(dc.Get(), job.look);
  }

  std::unique_ptr<SoundOut> OpenSound(uint32_t framesPerSecond) override {
    if (waveOutGetNumDevs() == 0) return nullptr;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = framesPerSecond;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = framesPerSecond * 4;
    HWAVEOUT wave = nullptr;
    if (waveOutOpen(&wave, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR || !wave)
      return nullptr;
    return std::make_unique<WaveOut>(wave, &openSound_);
  }

  int32_t OpenSoundCount() const override { return openSound_; }

 private:
  UINT_PTR timer_ = 0;
  DWORD thread_ = 0;
  int32_t openSound_ = 0;
};

}  // namespace

Host& TheHost() {
  static WindowsHost* host = new WindowsHost;
  return *host;
}

}  // namespace qtb
