#include "QTGlue.h"

#include "QTExportList.h"

#include <windows.h>

#include <string>

namespace {

// One slot per forwarded function, filled when the library loads.
enum Slot : int {
#define QT_SLOT(ret, name, params, args, missing) k##name,
  QT_FORWARDED_FUNCTIONS(QT_SLOT)
#undef QT_SLOT
      kSlotCount
};

const char* const kSlotNames[kSlotCount] = {
#define QT_NAME(ret, name, params, args, missing) #name,
    QT_FORWARDED_FUNCTIONS(QT_NAME)
#undef QT_NAME
};

HMODULE gLibrary = nullptr;
FARPROC gEntries[kSlotCount] = {};

std::string LibraryPath() {
  char dir[MAX_PATH] = {};
  UINT n = GetSystemDirectoryA(dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return {};
  std::string path(dir);
  if (path.back() != '\\') path += '\\';
  return path + "QuickTime.qts";
}

template <typename Fn>
Fn Entry(const char* name) {
  if (!gLibrary) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(gLibrary, name)));
}

void Unload() {
  for (FARPROC& entry : gEntries) entry = nullptr;
  if (gLibrary) FreeLibrary(gLibrary);
  gLibrary = nullptr;
}

}  // namespace

extern "C" OSErr InitializeQTML(int32_t flags) {
  if (!gLibrary) {
    std::string path = LibraryPath();
    if (path.empty()) return qtmlDllLoadErr;
    gLibrary = LoadLibraryA(path.c_str());
    if (!gLibrary) return qtmlDllLoadErr;
    for (int i = 0; i < kSlotCount; ++i) gEntries[i] = GetProcAddress(gLibrary, kSlotNames[i]);
  }
  auto fn = Entry<OSErr (*)(int32_t)>("InitializeQTML");
  if (!fn) {
    Unload();
    return qtmlDllEntryNotFoundErr;
  }
  return fn(flags);
}

extern "C" void TerminateQTML(void) {
  if (!gLibrary) return;
  if (auto fn = Entry<void (*)()>("TerminateQTML")) fn();
  Unload();
}

// Each forwarder calls the library's entry, or answers as the list says when
// the library is not loaded or lacks the entry.
#define QT_FORWARD(ret, name, params, args, missing)                               \
  extern "C" ret name params {                                                     \
    auto fn = reinterpret_cast<ret(*) params>(reinterpret_cast<void*>(gEntries[k##name])); \
    if (!fn) return missing;                                                       \
    return fn args;                                                                \
  }
QT_FORWARDED_FUNCTIONS(QT_FORWARD)
#undef QT_FORWARD
