#include "CP_HandleBlock.h"

#include "CP_Utilities.h"

#include <algorithm>

namespace {

// A negative size asks for nothing.
SIZE_T ByteCount(int32_t size) { return size > 0 ? SIZE_T(size) : 0; }

}  // namespace

CP_HandleBlock::CP_HandleBlock() { Allocate(1); }

CP_HandleBlock::CP_HandleBlock(int32_t size) : fLogicalSize(size) { Allocate(size); }

CP_HandleBlock::~CP_HandleBlock() {
  if (fOwnsHandle == 1) Free();
}

void CP_HandleBlock::Allocate(int32_t size) { fHandle = AllocGlobalBlock(GMEM_MOVEABLE | GMEM_ZEROINIT, ByteCount(size)); }

void CP_HandleBlock::Free() {
  if (fLocked) GlobalUnlock(fHandle);
  if (fHandle) FreeGlobalBlock(fHandle);
  fHandle = nullptr;
  fLocked = 0;
  fPointer = nullptr;
}

void* CP_HandleBlock::GetPointer() {
  if (!fLocked) Lock();
  return fPointer;
}

void CP_HandleBlock::Lock() {
  if (fLocked) return;
  fPointer = fHandle ? GlobalLock(fHandle) : nullptr;
  if (fPointer) fLocked = 1;
}

void CP_HandleBlock::Unlock() {
  if (!fLocked) return;
  if (!GlobalUnlock(fHandle)) fLocked = 0;
}

void CP_HandleBlock::ReadBytes(void* destination, int32_t count) {
  if (count <= 0 || !fHandle) return;
  // Never past the block's end, whatever the caller asks.
  count = std::min(count, GetSize());
  void* data = GlobalLock(fHandle);
  CopyBytes(data, destination, count);
  if (data) GlobalUnlock(fHandle);
}

int32_t CP_HandleBlock::GetSize() const {
  const SIZE_T real = fHandle ? GlobalSize(fHandle) : 0;
  if (real < SIZE_T(INT32_MAX) && int32_t(real) < fLogicalSize) return int32_t(real);
  return fLogicalSize;
}

void CP_HandleBlock::SetSize(int32_t size) {
  fLogicalSize = size;
  if (!fHandle) return;
  HGLOBAL moved = ReallocGlobalBlock(fHandle, ByteCount(size), GMEM_MOVEABLE);
  if (moved) fHandle = moved;
}
