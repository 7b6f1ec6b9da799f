#pragma once
// A file on disk opened through a Win32 file handle. Every failure throws
// the framework's platform error: -36 for a failed create, open, close,
// flush, read, write, truncate or size query, the Windows error for a failed
// position change or query.
#include "CP_FileSpec.h"
#include "CP_Win.h"

#include <cstdint>

class CP_File {
 public:
  // The longest path that Create hands to Windows.
  static constexpr size_t kMaxCreatePath = 1023;

  CP_File() = default;
  explicit CP_File(const CP_FileSpec& spec) : fSpec(spec) {}
  CP_File(const CP_File&) = delete;
  CP_File& operator=(const CP_File&) = delete;
  // Closes a handle that is still open; a failure there goes unreported, so
  // a writer closes (or flushes) first.
  virtual ~CP_File();

  virtual void CreateWithSpec(const CP_FileSpec& spec, uint32_t access, uint32_t creator,
                              uint32_t type, bool replaceExisting);
  // Makes the file on disk and closes it again. The creator and type codes
  // are kept for other platforms and not used here.
  virtual void Create(uint32_t access, uint32_t creator, uint32_t type, bool replaceExisting);
  virtual void Delete();
  virtual void Open(uint32_t access);
  // A close can fail: the system may report there a write it had deferred.
  // The handle is gone either way.
  virtual void Close();
  // origin: 0 start, 1 current, 2 end. Answers the new position.
  virtual uint32_t SetPosition(int16_t origin, int32_t offset);
  virtual uint32_t GetPosition();
  // *count bytes are asked for; *count becomes the number read (0 at the end).
  virtual void Read(void* buffer, uint32_t* count);
  // *count becomes the number written.
  virtual void Write(const void* buffer, uint32_t* count);
  // Writes, then ends the file right after what was written.
  virtual void WriteAndTruncate(const void* buffer, uint32_t* count);

  // Puts what was written on the disk itself, past the system's cache.
  void Flush();
  // Closes without throwing, for the clean-up after a failure; answers
  // whether the system closed the file cleanly.
  bool Release();

  uint32_t GetSize();
  bool IsOpen() const { return fHandle != INVALID_HANDLE_VALUE; }
  HANDLE GetHandle() const { return fHandle; }

  void SetSpec(const CP_FileSpec& spec) { fSpec = spec; }
  const CP_FileSpec& GetSpec() const { return fSpec; }

 private:
  // Keeps a newly opened handle, closing the one held before.
  void TakeHandle(HANDLE handle);

  CP_FileSpec fSpec;
  HANDLE fHandle = INVALID_HANDLE_VALUE;
};
