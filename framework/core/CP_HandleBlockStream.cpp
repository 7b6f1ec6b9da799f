#include "CP_HandleBlockStream.h"

#include "CP_Exception.h"
#include "CP_Utilities.h"

CP_HandleBlockInStream::CP_HandleBlockInStream(CP_HandleBlock* block, uint8_t hasHeader)
    : CP_InStream(hasHeader, 0, kNeverSwap), fBlock(block) {
  if (fBlock) fBlock->AddReference();
}

CP_HandleBlockInStream::~CP_HandleBlockInStream() {
  if (fBlock && fBlock->GetReferenceCount() != 0) fBlock->RemoveReference();
}

uint32_t CP_HandleBlockInStream::GetLength() const {
  const int32_t size = fBlock ? fBlock->GetSize() : 0;
  return size > 0 ? uint32_t(size) : 0;
}

// Compared as count against what is left, so that position + count cannot
// wrap round.
bool CP_HandleBlockInStream::Remains(uint32_t count) const {
  const uint32_t length = GetLength();
  return fPosition <= length && count <= length - fPosition;
}

// A block its owner has locked stays locked: the stream undoes only its own lock.
void CP_HandleBlockInStream::CopyOut(void* buffer, uint32_t count) {
  const bool lockedByOwner = fBlock->IsLocked();
  if (!lockedByOwner) fBlock->Lock();
  const uint8_t* data = static_cast<const uint8_t*>(fBlock->GetPointer());
  CopyBytes(data ? data + fPosition : nullptr, buffer, int32_t(count));
  if (!lockedByOwner) fBlock->Unlock();
  fPosition += count;
}

void CP_HandleBlockInStream::ReadRawBytes(void* buffer, uint32_t count) {
  ThrowIfPlatformError(Remains(count) ? 0 : kCP_StreamEndError, "CP_HandleBlockStream.cpp", 372);
  CopyOut(buffer, count);
}

uint32_t CP_HandleBlockInStream::TryReadRawBytes(void* buffer, uint32_t count) {
  if (!Remains(count)) return 0;
  CopyOut(buffer, count);
  return count;
}
