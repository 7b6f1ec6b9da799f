#include "Player.h"

#include "Controller.h"
#include "Host.h"
#include "MovieOutput.h"
#include "QTStandInControl.h"
#include "Toolbox.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace qtb {

namespace {

// The trace stops growing here: a real clock left tracing must not eat
// the memory.
constexpr size_t kMaxTrace = 8u << 20;
// Sound is queued this far ahead of the clock, in blocks of a third of it.
constexpr double kSoundAhead = 0.3;
constexpr double kMaxCaptureSeconds = 4.0;

std::string LeafName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

double Seconds(const MovieRecord& m, int64_t time) {
  return m.header.timeScale ? double(time) / m.header.timeScale : 0.0;
}

MovieOutput& OutputOf(MovieRecord* m) {
  if (!m->output) m->output = std::make_shared<MovieOutput>();
  return *m->output;
}

}  // namespace

// A movie's way to the sound device: the real clock queues a little ahead
// of the movie's time; the manual clock mixes each advance at once and
// only traces it.
struct SoundChannel {
  std::unique_ptr<SoundOut> out;
  uint32_t deviceRate = 0;
  uint32_t mixRate = 0;
  uint32_t refusedRate = 0;  // a rate the device refused: not asked again
  double fed = 0;            // movie seconds queued so far
};

Player::Player() = default;
Player::~Player() = default;

Player& Player::Get() {
  // Never destroyed: nothing of the timer or the sound device may be
  // touched while the library is being unloaded.
  static Player* player = new Player;
  return *player;
}

// --- Ports -----------------------------------------------------------------------

GrafPort* Player::PortOf(void* window) const {
  auto it = ports_.find(window);
  return it == ports_.end() ? nullptr : it->second.get();
}

GrafPort* Player::LivePort(GrafPtr port) const {
  if (!port) return nullptr;
  for (const auto& entry : ports_)
    if (entry.second.get() == port) return port;
  return nullptr;
}

GrafPort* Player::NewPort(void* window) {
  auto port = std::make_unique<GrafPort>();
  port->window = window;
  port->serial = nextSerial_++;
  GrafPort* p = port.get();
  ports_.emplace(window, std::move(port));
  Trace("port%u +", p->serial);
  return p;
}

void Player::DestroyPort(GrafPort* port) {
  // Whatever drew into it draws nowhere now.
  for (auto& entry : Toolbox::Get().movies)
    if (entry.first->play.port == port) entry.first->play.port = nullptr;
  for (MovieControllerRecord* mc : live_)
    if (mc->port == port) mc->port = nullptr;
  if (current == port) current = nullptr;
  Trace("port%u -", port->serial);
  ports_.erase(port->window);
}

// --- Controllers -------------------------------------------------------------------

MovieControllerRecord* Player::LiveController(MovieController mc) const {
  return mc && controllers_.count(mc) ? mc : nullptr;
}

MovieControllerRecord* Player::AddController(std::unique_ptr<MovieControllerRecord> mc) {
  MovieControllerRecord* r = mc.get();
  r->serial = nextSerial_++;
  controllers_.emplace(r, std::move(mc));
  live_.push_back(r);
  Trace("new mc%u movie%u flags %ld", r->serial, r->movie ? r->movie->play.serial : 0, r->flags);
  UpdateTimer();
  return r;
}

void Player::DisposeController(MovieControllerRecord* mc) {
  auto it = controllers_.find(mc);
  if (it == controllers_.end()) return;
  std::unique_ptr<MovieControllerRecord> owned = std::move(it->second);
  controllers_.erase(it);
  live_.erase(std::find(live_.begin(), live_.end(), mc));
  mc->disposed = true;
  Trace("dispose mc%u", mc->serial);
  if (mc->movie) Undriven(mc->movie);
  mc->movie = nullptr;
  if (depth_ > 0) deadControllers_.push_back(std::move(owned));
  UpdateTimer();
}

// --- Movies ----------------------------------------------------------------------

void Player::MovieOpened(MovieRecord* movie) {
  movie->play.serial = nextSerial_++;
  movie->play.volume = movie->header.preferredVolume;
  movie->play.port = current;
  Trace("open movie%u %s", movie->play.serial, movie->file ? LeafName(movie->file->path).c_str() : "");
}

bool Player::MovieGoing(MovieRecord* movie) {
  for (MovieControllerRecord* mc : live_) {
    if (mc->movie != movie) continue;
    mc->movie = nullptr;
    ++mc->generation;
    mc->drawn = false;
    mc->pressed = SpriteRef{};
    mc->under = SpriteRef{};
  }
  sound_.erase(movie);
  Trace("dispose movie%u", movie->play.serial);
  return depth_ > 0;
}

void Player::KeepUntilSafe(std::unique_ptr<MovieRecord> movie) { deadMovies_.push_back(std::move(movie)); }

void Player::TrackGoing(TrackRecord* track) {
  MovieRecord* m = track->movie;
  if (m && m->output) m->output->ForgetTrack(track);
}

void Player::Undriven(MovieRecord* movie) {
  for (MovieControllerRecord* mc : live_)
    if (mc->movie == movie) return;
  sound_.erase(movie);
}

void Player::SetRate(MovieRecord* movie, Fixed rate, const char* why) {
  if (movie->play.rate == rate) return;
  movie->play.rate = rate;
  movie->play.fraction = 0;
  Trace("rate movie%u %ld%s", movie->play.serial, long(rate), why);
  if (rate == 0) sound_.erase(movie);
}

void Player::SetVolume(MovieRecord* movie, int16_t volume) {
  movie->play.volume = volume;
  Trace("volume movie%u %d", movie->play.serial, int(volume));
  // Queued sound was mixed at the old volume.
  sound_.erase(movie);
}

void Player::SetTime(MovieRecord* movie, int64_t time) {
  movie->play.time = time;
  movie->play.fraction = 0;
  Trace("time movie%u %lld", movie->play.serial, static_cast<long long>(time));
  sound_.erase(movie);
}

// --- Calls that may run filters ------------------------------------------------

void Player::Leave() {
  if (--depth_ > 0) return;
  FreeDeferred();
  UpdateTimer();
}

void Player::FreeDeferred() {
  // Moving them out first: a destructor may not come back here.
  std::vector<std::unique_ptr<MovieControllerRecord>> controllers;
  controllers.swap(deadControllers_);
  std::vector<std::unique_ptr<MovieRecord>> movies;
  movies.swap(deadMovies_);
}

// --- Clock -------------------------------------------------------------------------

void Player::UpdateTimer() {
  bool want = !manual_ && !live_.empty();
  if (want && !timer_) {
    lastTick_ = TheHost().NowMs();
    timer_ = TheHost().StartTimer();
  } else if (!want && timer_) {
    TheHost().StopTimer();
    timer_ = false;
  }
}

void Player::SetManual(bool manual) {
  if (manual_ == manual) return;
  manual_ = manual;
  sound_.clear();
  UpdateTimer();
}

bool Player::Advance(uint32_t ms) {
  if (!manual_) return false;
  IdlePass(ms);
  return true;
}

void Player::Tick() {
  uint64_t now = TheHost().NowMs();
  uint64_t ms = now > lastTick_ ? now - lastTick_ : 0;
  lastTick_ = now;
  IdlePass(uint32_t(std::min<uint64_t>(ms, UINT32_MAX)));
}

void Player::StopEverything() {
  sound_.clear();
  if (timer_) TheHost().StopTimer();
  timer_ = false;
}

void Player::MoveOn(MovieRecord* m, uint32_t ms) {
  PlayState& p = m->play;
  if (p.rate == 0) return;
  int64_t before = p.time;
  double units = double(ms) * (p.rate / 65536.0) * m->header.timeScale / 1000.0 + p.fraction;
  double whole = std::floor(units);
  p.fraction = units - whole;
  int64_t duration = PlayLength(*m);
  double next = double(p.time) + whole;
  bool end = false;
  if (next >= double(duration)) {
    p.time = duration;
    end = p.rate > 0;
  } else if (next <= 0) {
    p.time = 0;
    end = p.rate < 0;
  } else {
    p.time = int64_t(next);
  }
  if (manual_ && tracing && p.rate > 0) CaptureSound(m, before, p.time);
  if (end) {
    // A movie that does not loop stops at its end: nobody plays it on.
    p.fraction = 0;
    SetRate(m, 0, " end");
  }
}

void Player::IdlePass(uint32_t ms) {
  CallScope scope;
  ++pass_;
  std::vector<MovieRecord*> driven;
  // A copy: turns may add and dispose controllers.
  std::vector<MovieControllerRecord*> controllers = live_;
  for (MovieControllerRecord* mc : controllers) {
    if (mc->disposed) continue;
    if (MovieRecord* m = mc->movie) {
      if (m->play.pass != pass_) {
        m->play.pass = pass_;
        MoveOn(m, ms);
        driven.push_back(m);
      }
    }
    IdleTurn(mc);
  }
  if (manual_) return;
  Toolbox& tb = Toolbox::Get();
  for (MovieRecord* m : driven)
    if (tb.LiveMovie(m)) ServiceSound(m);
}

// --- Sound -----------------------------------------------------------------------

void Player::ServiceSound(MovieRecord* m) {
  uint32_t mix = OutputOf(m).MixRate(*m);
  if (m->play.rate <= 0 || m->play.volume <= 0 || mix == 0) {
    sound_.erase(m);
    return;
  }
  uint32_t want = uint32_t(std::floor(mix * (m->play.rate / 65536.0) + 0.5));
  if (want < 1000 || want > 192000) {
    sound_.erase(m);
    return;
  }
  std::unique_ptr<SoundChannel>& slot = sound_[m];
  if (!slot) slot = std::make_unique<SoundChannel>();
  SoundChannel& ch = *slot;
  if (!ch.out || ch.deviceRate != want || ch.mixRate != mix) {
    // A device that refused once is not asked again at the same rate: no
    // device means silence, never waiting.
    if (ch.refusedRate == want) return;
    ch.out.reset();
    ch.out = TheHost().OpenSound(want);
    ch.deviceRate = want;
    ch.mixRate = mix;
    ch.fed = Seconds(*m, m->play.time);
    if (!ch.out) {
      ch.refusedRate = want;
      return;
    }
  }
  const double end = Seconds(*m, PlayLength(*m));
  const size_t target = size_t(mix * kSoundAhead);
  size_t queued = ch.out->Queued();
  // The device keeps its own time: when what it plays has drifted away
  // from the movie's clock, it starts again from the clock.
  const double now = Seconds(*m, m->play.time);
  if (std::fabs(ch.fed - double(queued) / mix - now) > kSoundAhead) {
    ch.out->Reset();
    queued = 0;
    ch.fed = now;
  }
  std::vector<int16_t> block;
  while (queued < target && ch.fed < end) {
    size_t n = std::min(target - queued, size_t(mix * kSoundAhead / 3) + 1);
    n = std::min(n, size_t(std::ceil((end - ch.fed) * mix)));
    if (n == 0) break;
    block.resize(2 * n);
    OutputOf(m).Mix(*m, ch.fed, n, block.data());
    if (!ch.out->Write(block.data(), n)) break;
    queued += n;
    ch.fed += double(n) / mix;
  }
}

void Player::CaptureSound(MovieRecord* m, int64_t from, int64_t to) {
  uint32_t mix = OutputOf(m).MixRate(*m);
  if (mix == 0 || to <= from) return;
  double start = Seconds(*m, from);
  // At a high rate one step covers much film: at most a few seconds of it
  // are mixed.
  double seconds = std::min(Seconds(*m, to) - start, kMaxCaptureSeconds);
  size_t frames = size_t(std::floor(seconds * mix + 0.5));
  std::vector<int16_t> block(2 * frames);
  int32_t peak = OutputOf(m).Mix(*m, start, frames, block.data());
  Trace("sound movie%u frames %lu peak %d", m->play.serial, static_cast<unsigned long>(frames), int(peak));
}

// --- Trace and counts -------------------------------------------------------------

void Player::Trace(const char* format, ...) {
  if (!tracing || trace.size() > kMaxTrace) return;
  char line[512];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  trace += line;
  trace += '\n';
  if (trace.size() > kMaxTrace) trace += "trace full\n";
}

int32_t Player::Count(int32_t what) const {
  switch (what) {
    case kQTStandInMovies: return int32_t(Toolbox::Get().movies.size());
    case kQTStandInControllers: return int32_t(live_.size());
    case kQTStandInPorts: return int32_t(ports_.size());
    case kQTStandInTimers: return timer_ ? 1 : 0;
    case kQTStandInSoundOutputs: return TheHost().OpenSoundCount();
    default: return -1;
  }
}

}  // namespace qtb

extern "C" int32_t QTStandInControl(int32_t request, int32_t value, char* buffer, int32_t size) {
  using qtb::Player;
  try {
    Player& player = Player::Get();
    switch (request) {
      case kQTStandInRealClock:
        player.SetManual(false);
        return 0;
      case kQTStandInManualClock:
        player.SetManual(true);
        return 0;
      case kQTStandInAdvance:
        if (value < 0) return -1;
        return player.Advance(uint32_t(value)) ? 0 : -1;
      case kQTStandInTraceStart:
        player.trace.clear();
        player.tracing = true;
        return 0;
      case kQTStandInTraceStop:
        player.tracing = false;
        return 0;
      case kQTStandInTraceRead:
        if (buffer && size > 0) {
          size_t n = std::min(player.trace.size(), size_t(size) - 1);
          std::memcpy(buffer, player.trace.data(), n);
          buffer[n] = 0;
        }
        return int32_t(std::min<size_t>(player.trace.size(), INT32_MAX));
      case kQTStandInLiveCount:
        return player.Count(value);
      default:
        return -1;
    }
  } catch (...) {
    return -1;
  }
}
