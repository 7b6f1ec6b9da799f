#pragma once
// One file that answers as one on a network share that has gone, or one the
// user may not see, for as long as the object lives: this test program's
// calls of GetFileAttributesA for that path fail with the error given;
// every other path goes to the system.
#include "ImportPatch.h"

#include <string>

namespace kxtest {

class UnreachableFile {
 public:
  UnreachableFile(const std::string& path, DWORD error)
      : fPatch("kernel32.dll", "GetFileAttributesA", reinterpret_cast<void*>(&Attributes)) {
    State() = {path, error, reinterpret_cast<AttributesCall>(fPatch.Original())};
  }
  // The system function stays until the patch itself is gone.
  ~UnreachableFile() { State().path.clear(); }
  UnreachableFile(const UnreachableFile&) = delete;
  UnreachableFile& operator=(const UnreachableFile&) = delete;

  bool Installed() const { return fPatch.Installed(); }

 private:
  using AttributesCall = DWORD(WINAPI*)(LPCSTR);
  struct Unreachable {
    std::string path;
    DWORD error = 0;
    AttributesCall system = nullptr;
  };
  static Unreachable& State() {
    static Unreachable state;
    return state;
  }
  static DWORD WINAPI Attributes(LPCSTR path) {
    if (path && lstrcmpiA(path, State().path.c_str()) == 0) {
      SetLastError(State().error);
      return INVALID_FILE_ATTRIBUTES;
    }
    return State().system(path);
  }

  ImportPatch fPatch;
};

}  // namespace kxtest
