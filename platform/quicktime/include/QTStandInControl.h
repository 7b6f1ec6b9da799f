#pragma once
// The stand-in's own control entry, for tests: not part of the toolbox the
// programs use. It switches the controllers' clock between the real one (a
// thread timer, the default) and a manual one that moves only when asked,
// and records a trace of what the controllers do.
#include <cstdint>

enum QTStandInRequest : int32_t {
  kQTStandInRealClock = 1,    // time follows the system clock (the default)
  kQTStandInManualClock = 2,  // time moves only by kQTStandInAdvance
  kQTStandInAdvance = 3,      // manual clock: value milliseconds pass, then one idle pass
  kQTStandInTraceStart = 4,   // clears the trace and starts recording
  kQTStandInTraceStop = 5,
  kQTStandInTraceRead = 6,    // copies the trace, one event a line, into buffer (cut to
                              // size - 1 and ended by 0); answers its whole length
  kQTStandInLiveCount = 7,    // value one of QTStandInCount; answers how many are live
};

enum QTStandInCount : int32_t {
  kQTStandInMovies = 1,
  kQTStandInControllers = 2,
  kQTStandInPorts = 3,
  kQTStandInTimers = 4,        // clock timers running
  kQTStandInSoundOutputs = 5,  // sound devices open
};

// Answers -1 for an unknown request or one not possible now (advancing the
// real clock).
extern "C" int32_t QTStandInControl(int32_t request, int32_t value, char* buffer, int32_t size);
