#pragma once
// A movable block of global memory with a logical size, shared by reference
// count. The block may be larger than asked for: its size is the smaller of
// the two.
#include "CP_RefCounted.h"
#include "CP_Win.h"

#include <cstdint>

class CP_HandleBlock : public CP_M_ReferenceCounted {
 public:
  CP_HandleBlock();  // one byte
  explicit CP_HandleBlock(int32_t size);
  ~CP_HandleBlock() override;

  // A failed allocation leaves the handle null; locks then give null and
  // byte copies copy nothing.
  void Allocate(int32_t size);
  void Free();

  // Locks when not locked.
  void* GetPointer();
  void Lock();
  void Unlock();
  bool IsLocked() const { return fLocked != 0; }
  // The first `count` bytes, locked only for the copy.
  void ReadBytes(void* destination, int32_t count);

  int32_t GetSize() const;
  // Bytes added at the end are not cleared.
  void SetSize(int32_t size);

  HGLOBAL GetHandle() const { return fHandle; }

 private:
  HGLOBAL fHandle = nullptr;
  uint8_t fOwnsHandle = 1;
  uint8_t fLocked = 0;
  int32_t fLogicalSize = 1;
  void* fPointer = nullptr;
};
