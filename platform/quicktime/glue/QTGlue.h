#pragma once
// The programs' side of the movie toolbox: each function forwards to the
// export of the same name in QuickTime.qts, loaded from the Windows system
// folder by InitializeQTML.
#include <cstdint>

typedef int16_t OSErr;

constexpr OSErr noErr = 0;
constexpr OSErr qtmlDllLoadErr = -2092;           // QuickTime.qts is missing or did not load
constexpr OSErr qtmlDllEntryNotFoundErr = -2093;  // it has no such entry

extern "C" {
OSErr InitializeQTML(long flags);
void TerminateQTML(void);
OSErr EnterMovies(void);
void ExitMovies(void);
}
