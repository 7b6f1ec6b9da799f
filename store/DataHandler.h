#pragma once
// The store's byte source and sink: a positioned sequence of bytes.
#include <cstdint>
#include <cstdio>
#include <string>

enum class SeekFrom : int { Start = 0, Current = 1, End = 2 };

class DataHandler_ {
public:
  virtual ~DataHandler_() = default;
  // Both answer the number of bytes moved; a short count is the caller's to judge.
  virtual uint64_t Read(void* buffer, uint64_t count) = 0;
  virtual uint64_t Write(const void* buffer, uint64_t count) = 0;
  // Once it returns, what was written is on the disk: a save relies on it
  // before it points its header at new data. Throws WriteError otherwise.
  virtual void Flush() = 0;
  virtual bool IsValid() = 0;
  virtual void Seek(int64_t position, SeekFrom origin);
  virtual uint64_t Tell();
  // Leaves the position where it was.
  virtual uint64_t Size();
};

// A data handler over a file opened by path.
class FileDataHandler : public DataHandler_ {
public:
  enum Mode : uint32_t { kRead = 0, kCreate = 1, kReadWrite = 2 };

  FileDataHandler(const std::string& path, uint32_t mode);
  ~FileDataHandler() override;
  FileDataHandler(const FileDataHandler&) = delete;
  FileDataHandler& operator=(const FileDataHandler&) = delete;

  // A short read throws EOFException "FileDataHandler EOF"; what was there
  // has been consumed.
  uint64_t Read(void* buffer, uint64_t count) override;
  // Most writes only fill the C library's buffer; their failure shows at
  // the flush. A write the C library refuses throws FileWriteError.
  uint64_t Write(const void* buffer, uint64_t count) override;
  // Empties the buffer and forces the file's data to the disk; throws
  // FileWriteError when either fails.
  void Flush() override;
  bool IsValid() override { return true; }
  void Seek(int64_t position, SeekFrom origin) override;
  uint64_t Tell() override;
  // Flushes and closes; the file is closed also when that fails, and the
  // failure is thrown as FileWriteError. The destructor closes without
  // reporting: callers who must know call Close.
  void Close();

private:
  [[noreturn]] void Fail(const std::string& what);

  std::FILE* fFile = nullptr;
  bool fUnsynced = false;  // written since the data last reached the disk
};

// Forward slashes become backslashes.
std::string ToBackslashPath(const std::string& path);
