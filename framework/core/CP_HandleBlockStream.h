#pragma once
// An input stream over a CP_HandleBlock. The stream holds a reference to the
// block: a block that nobody else references goes with the stream.
#include "CP_HandleBlock.h"
#include "CP_InStream.h"

class CP_HandleBlockInStream : public CP_InStream {
 public:
  CP_HandleBlockInStream(CP_HandleBlock* block, uint8_t hasHeader);
  ~CP_HandleBlockInStream() override;

  uint32_t GetLength() const override;
  uint32_t GetPosition() const override { return fPosition; }
  // Any position is taken; reads past the end fail.
  void SetPosition(uint32_t position) override { fPosition = position; }
  // Throws CP_PlfrmErrorException -1002 when the bytes are not all there,
  // and leaves the position.
  void ReadRawBytes(void* buffer, uint32_t count) override;
  uint32_t TryReadRawBytes(void* buffer, uint32_t count) override;

  CP_HandleBlock* GetBlock() const { return fBlock; }

 private:
  bool Remains(uint32_t count) const;
  void CopyOut(void* buffer, uint32_t count);

  CP_HandleBlock* fBlock;
  uint32_t fPosition = 0;
};
