#pragma once
// Owners of the GDI objects, memory DCs and global memory blocks that the
// drawn controls and the printer make. One owner per handle; owners are
// move-only and everyone else borrows the plain handle.
#include "CP_Win.h"

#include <utility>

// A pen, brush, bitmap, region or font, deleted with DeleteObject.
template <typename Handle>
class CP_GdiObject {
 public:
  CP_GdiObject() = default;
  explicit CP_GdiObject(Handle handle) : fHandle(handle) {}
  CP_GdiObject(CP_GdiObject&& other) noexcept : fHandle(std::exchange(other.fHandle, nullptr)) {}
  CP_GdiObject& operator=(CP_GdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.fHandle, nullptr));
    return *this;
  }
  CP_GdiObject(const CP_GdiObject&) = delete;
  CP_GdiObject& operator=(const CP_GdiObject&) = delete;
  ~CP_GdiObject() { Reset(); }

  // The caller has made sure the object is not selected into a DC.
  void Reset(Handle handle = nullptr) {
    if (fHandle) DeleteObject(fHandle);
    fHandle = handle;
  }
  Handle Get() const { return fHandle; }
  explicit operator bool() const { return fHandle != nullptr; }

 private:
  Handle fHandle = nullptr;
};

// A memory device context, deleted with DeleteDC.
class CP_MemoryDC {
 public:
  CP_MemoryDC() = default;
  explicit CP_MemoryDC(HDC compatibleWith) : fDC(CreateCompatibleDC(compatibleWith)) {}
  CP_MemoryDC(CP_MemoryDC&& other) noexcept : fDC(std::exchange(other.fDC, nullptr)) {}
  CP_MemoryDC& operator=(CP_MemoryDC&& other) noexcept {
    if (this != &other) {
      Reset();
      fDC = std::exchange(other.fDC, nullptr);
    }
    return *this;
  }
  CP_MemoryDC(const CP_MemoryDC&) = delete;
  CP_MemoryDC& operator=(const CP_MemoryDC&) = delete;
  ~CP_MemoryDC() { Reset(); }

  void Reset() {
    if (fDC) DeleteDC(fDC);
    fDC = nullptr;
  }
  HDC Get() const { return fDC; }

 private:
  HDC fDC = nullptr;
};

// Selects an object into a DC and puts the one it replaced back first,
// before either dies.
class CP_SelectGuard {
 public:
  CP_SelectGuard(HDC dc, HGDIOBJ object) : fDC(dc), fOld(dc && object ? SelectObject(dc, object) : nullptr) {}
  CP_SelectGuard(const CP_SelectGuard&) = delete;
  CP_SelectGuard& operator=(const CP_SelectGuard&) = delete;
  ~CP_SelectGuard() {
    if (fOld) SelectObject(fDC, fOld);
  }

 private:
  HDC fDC;
  HGDIOBJ fOld;
};
