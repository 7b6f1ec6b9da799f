#include "QTGlue.h"

#include <windows.h>

#include <string>

namespace {

HMODULE gLibrary = nullptr;

std::string LibraryPath() {
  char dir[MAX_PATH] = {};
  UINT n = GetSystemDirectoryA(dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return {};
  return std::string(dir) + "\\QuickTime.qts";
}

template <typename Fn>
Fn Entry(const char* name) {
  if (!gLibrary) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(gLibrary, name)));
}

}  // namespace

extern "C" OSErr InitializeQTML(long flags) {
  if (!gLibrary) {
    std::string path = LibraryPath();
    if (path.empty()) return qtmlDllLoadErr;
    gLibrary = LoadLibraryA(path.c_str());
    if (!gLibrary) return qtmlDllLoadErr;
  }
  auto fn = Entry<OSErr (*)(long)>("InitializeQTML");
  if (!fn) return qtmlDllEntryNotFoundErr;
  return fn(flags);
}

extern "C" void TerminateQTML(void) {
  if (!gLibrary) return;
  if (auto fn = Entry<void (*)()>("TerminateQTML")) fn();
  FreeLibrary(gLibrary);
  gLibrary = nullptr;
}

extern "C" OSErr EnterMovies(void) {
  auto fn = Entry<OSErr (*)()>("EnterMovies");
  if (!gLibrary) return qtmlDllLoadErr;
  return fn ? fn() : qtmlDllEntryNotFoundErr;
}

extern "C" void ExitMovies(void) {
  if (auto fn = Entry<void (*)()>("ExitMovies")) fn();
}
