#pragma once
// The process runs out of GDI regions once: the first region this test
// program's own code asks for after `ready` answers true is refused, as
// when the process has used up its GDI objects; every other is made. The
// framework's region then throws, from wherever it was being made.
#include "ImportPatch.h"

#include <functional>
#include <memory>
#include <utility>

namespace kxtest {

class RegionsRunOutOnce {
 public:
  explicit RegionsRunOutOnce(std::function<bool()> ready) : fReady(std::move(ready)) {
    sActive = this;
    fPatch = std::make_unique<ImportPatch>("gdi32.dll", "CreateRectRgn", reinterpret_cast<void*>(&Create));
    sOriginal = fPatch->Original();
  }
  ~RegionsRunOutOnce() {
    fPatch.reset();
    sActive = nullptr;
  }
  RegionsRunOutOnce(const RegionsRunOutOnce&) = delete;
  RegionsRunOutOnce& operator=(const RegionsRunOutOnce&) = delete;

  bool Installed() const { return fPatch->Installed(); }
  bool Refused() const { return fRefused; }

 private:
  using CreateFunction = HRGN(WINAPI*)(int, int, int, int);

  static HRGN WINAPI Create(int left, int top, int right, int bottom) {
    RegionsRunOutOnce* self = sActive;
    if (self && !self->fRefused && self->fReady()) {
      self->fRefused = true;
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    return reinterpret_cast<CreateFunction>(sOriginal)(left, top, right, bottom);
  }

  static inline RegionsRunOutOnce* sActive = nullptr;
  static inline void* sOriginal = nullptr;
  std::function<bool()> fReady;
  bool fRefused = false;
  std::unique_ptr<ImportPatch> fPatch;
};

}  // namespace kxtest
