// Plays arbitrary bytes as a film through the toolbox: a controller in a
// window that draws nowhere, a few steps of the manual clock at a rate the
// input picks, with the picture composed and the sound mixed at each step,
// and jumps about the film. Nothing may crash, hang or leak.
#include "QTStandInControl.h"
#include "QTToolbox.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = Start();
  (void)started;
  static const std::string path = "/tmp/kx-fuzz-play-" + std::to_string(getpid()) + ".mov";
  if (size < 2) return 0;
  // The whole input is the film; its last two bytes also choose the rate
  // (a quarter step, forwards or backwards; 0 means 1.0) and the steps.
  Fixed rate = Fixed(int8_t(data[size - 1])) * 0x4000;
  if (rate == 0) rate = 0x10000;
  const uint8_t steps = data[size - 2] & 7;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  Movie movie = Load(path);
  if (!movie) return 0;

  static char window;
  GrafPtr port = CreatePortAssociation(&window, nullptr, 0);
  SetMovieGWorld(movie, port, nullptr);
  Rect r = {0, 0, 64, 64};
  MovieController mc = NewMovieController(movie, &r, mcTopLeftMovie);
  // A trace makes the manual clock mix the sound of every step.
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  MCDoAction(mc, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(256)));
  MCDoAction(mc, mcActionPlay, reinterpret_cast<void*>(intptr_t(rate)));
  for (int i = 0; i <= steps; ++i) QTStandInControl(kQTStandInAdvance, 40, nullptr, 0);
  TimeRecord middle = {};
  middle.value.lo = uint32_t(GetMovieDuration(movie) / 2);
  MCDoAction(mc, mcActionGoToTime, &middle);
  MCDoAction(mc, mcActionPlay, reinterpret_cast<void*>(intptr_t(-rate)));
  QTStandInControl(kQTStandInAdvance, 40, nullptr, 0);
  MCDraw(mc, port);
  QTStandInControl(kQTStandInTraceStop, 0, nullptr, 0);
  DisposeMovieController(mc);
  DisposeMovie(movie);
  DestroyPortAssociation(port);
  return 0;
}
