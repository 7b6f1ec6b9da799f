#pragma once
// The engine finds its windows, and other programs' windows, by title
// across the whole desktop. Tests of other programs running at the same
// time may briefly own windows of the same titles ("GH_Window" of a
// starting program, "MainVideoWindow"); a test that starts the engine
// waits until none of another process is left.
#include "CP_Win.h"

#include <initializer_list>

namespace kxtest {

inline bool ForeignWindowExists(const char* title) {
  for (HWND w = FindWindowA(nullptr, title); w; w = FindWindowExA(nullptr, w, nullptr, title)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != GetCurrentProcessId()) return true;
  }
  return false;
}

// Waits up to `timeoutMs` until no other process has a window of one of
// the titles; answers whether that came to pass.
inline bool WaitForNoForeignWindows(std::initializer_list<const char*> titles, DWORD timeoutMs = 20000) {
  const DWORD start = GetTickCount();
  for (;;) {
    bool any = false;
    for (const char* title : titles) any = any || ForeignWindowExists(title);
    if (!any) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
}

}  // namespace kxtest
