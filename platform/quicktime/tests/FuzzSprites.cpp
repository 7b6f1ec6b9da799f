// Plays arbitrary bytes as the samples of a sprite film: the key frame and
// an override after it, drawn, clicked at a few places, moved over, given a
// key and idle turns, with a filter that reads every action as the panes
// do; then walks the bytes as a container with the atom functions.
// Nothing may crash, hang or leak.
#include "QTStandInControl.h"
#include "QTToolbox.h"
#include "SpriteFilms.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

bool Start() {
  InitializeQTML(0);
  EnterMovies();
  QTStandInControl(kQTStandInManualClock, 0, nullptr, 0);
  return true;
}

Movie Load(const std::string& path) {
  Str255 name;
  name[0] = uint8_t(path.size());
  std::memcpy(name + 1, path.data(), path.size());
  FSSpec spec;
  FSMakeFSSpec(0, 0, name, &spec);
  int16_t file = 0;
  if (OpenMovieFile(&spec, &file, fsRdPerm) != noErr) return nullptr;
  Movie movie = nullptr;
  NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr);
  CloseMovieFile(file);
  return movie;
}

// Reads an action's children as the panes do.
Boolean ReadActions(MovieController, int16_t action, void* params, QTRefCon) {
  if (action != mcActionExecuteOneActionForQTEvent || !params) return 0;
  const auto* spec = static_cast<const ResolvedQTEventSpec*>(params);
  QTAtom child = 0;
  for (int i = 0; i < 3; ++i) {
    if (QTNextChildAnyType(spec->actionAtom.container, spec->actionAtom.atom, child, &child) != noErr || !child) break;
    long size = 0;
    Ptr data = nullptr;
    if (QTGetAtomDataPtr(spec->actionAtom.container, child, &size, &data) == noErr && size > 0) {
      volatile char first = data[0], last = data[size - 1];
      (void)first;
      (void)last;
    }
  }
  return 0;
}

// Every atom below parent, with the atom functions; at most `budget` visits.
void Walk(Handle h, QTAtom parent, int& budget) {
  QTAtom child = 0;
  int index = 0;
  while (budget-- > 0 && QTNextChildAnyType(h, parent, child, &child) == noErr && child) {
    ++index;
    long size = 0;
    Ptr data = nullptr;
    char copy[16];
    long copied = 0;
    (void)QTGetAtomDataPtr(h, child, &size, &data);
    (void)QTCopyAtomDataToPtr(h, child, 1, sizeof copy, copy, &copied);
    (void)QTCountChildrenOfType(h, parent, 0);
    QTAtomID id = 0;
    (void)QTFindChildByIndex(h, parent, long(filmtest::Code("actn")), int16_t(index), &id);
    Walk(h, child, budget);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = Start();
  (void)started;
  static const std::string path = "/tmp/kx-fuzz-sprites-" + std::to_string(getpid()) + ".mov";
  filmtest::Bytes sample(data, data + size);
  filmtest::SpriteFilmOptions o;
  o.width = 64;
  o.height = 48;
  o.samples = {sample, sample};
  o.keyFrames = {true, false};
  filmtest::Bytes film = filmtest::SpriteFilm(o);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(film.data(), 1, film.size(), f);
  std::fclose(f);

  if (Movie movie = Load(path)) {
    static char window;
    GrafPtr port = CreatePortAssociation(&window, nullptr, 0);
    SetMovieGWorld(movie, port, nullptr);
    Rect r = {0, 0, 96, 128};  // twice the track's size
    MovieController mc = NewMovieController(movie, &r, mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible);
    MCSetActionFilterWithRefCon(mc, ReadActions, 0);
    QTStandInControl(kQTStandInAdvance, 10, nullptr, 0);
    const uint32_t self = uint32_t(uintptr_t(&window));
    for (int i = 0; i < 4; ++i) {
      Point p{int16_t(size > size_t(i) ? data[i] % 96 : 10), int16_t(size > size_t(i + 4) ? data[i + 4] % 128 : 10)};
      EventRecord e{};
      e.message = self;
      e.where = p;
      e.what = nullEvent;
      e.modifiers = btnState;
      MCIsPlayerEvent(mc, &e);
      e.what = mouseDown;
      e.modifiers = 0;
      MCIsPlayerEvent(mc, &e);
      e.what = mouseUp;
      e.modifiers = btnState;
      MCIsPlayerEvent(mc, &e);
    }
    EventRecord key{};
    key.what = keyDown;
    MCIsPlayerEvent(mc, &key);
    TimeRecord second = {};
    second.value.lo = 900;
    MCDoAction(mc, mcActionGoToTime, &second);
    QTStandInControl(kQTStandInAdvance, 10, nullptr, 0);
    MCDraw(mc, port);
    DisposeMovieController(mc);
    DisposeMovie(movie);
    DestroyPortAssociation(port);
  }

  if (size < 0x7FFFFFFF) {
    Handle h = NewHandle(int32_t(size));
    if (h) {
      if (size) std::memcpy(*h, data, size);
      int budget = 2000;
      Walk(h, kParentAtomIsContainer, budget);
      DisposeHandle(h);
    }
  }
  return 0;
}
