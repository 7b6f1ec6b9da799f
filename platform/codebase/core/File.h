#pragma once
// The files a table lives in, seen through a small interface so that the
// format core stays free of any platform: the native build uses POSIX files,
// the Windows build Win32 handles, tests and the fuzzer files in memory.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace xbase {

enum class LockKind { Shared, Exclusive };

class File {
 public:
  virtual ~File() = default;

  // Reads exactly `size` bytes; false when the file is shorter or on error.
  [[nodiscard]] virtual bool ReadAt(uint64_t offset, void* data, size_t size) = 0;
  [[nodiscard]] virtual bool WriteAt(uint64_t offset, const void* data, size_t size) = 0;
  [[nodiscard]] virtual bool Size(uint64_t& size) = 0;
  [[nodiscard]] virtual bool Truncate(uint64_t size) = 0;
  // Forces what was written to the disk, so that a power cut cannot undo it
  // or reorder it with what is written afterwards.
  [[nodiscard]] virtual bool Sync() = 0;

  // Waits for the table's lock. Every open of a file has its own lock, so
  // two opens in one process exclude each other as two processes do.
  [[nodiscard]] virtual bool Lock(LockKind kind) = 0;
  virtual void Unlock() = 0;
};

enum class OpenMode { Existing, CreateNew };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Existing: opens for reading and writing, or for reading only when the
  // file may not be written. CreateNew: fails when the file exists.
  virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Deletes the file, which nobody may hold open; true when it is gone.
  [[nodiscard]] virtual bool Remove(const std::string& path) = 0;
};

// The machine's own files: POSIX natively, Win32 in the Windows build.
FileSystem& LocalFileSystem();

// Holds a table lock for one scope.
class FileLock {
 public:
  FileLock(File& file, LockKind kind) : file_(file), kind_(kind), held_(file.Lock(kind)) {}
  ~FileLock() {
    if (held_) file_.Unlock();
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return held_; }
  LockKind Kind() const { return kind_; }

  // Trades the lock for one of another kind. Locks cannot be upgraded in
  // place, so another program may take the file in between.
  bool Relock(LockKind kind) {
    if (held_) file_.Unlock();
    kind_ = kind;
    held_ = file_.Lock(kind);
    return held_;
  }

 private:
  File& file_;
  LockKind kind_;
  bool held_;
};

// Files kept in memory, shared by every open of the same name: for tests
// that build damaged tables byte by byte, and for the fuzzer.
class MemoryFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  bool Exists(const std::string& path) override;
  bool Remove(const std::string& path) override;

  void Put(const std::string& path, std::vector<uint8_t> bytes);
  // Empty when there is no such file.
  std::vector<uint8_t> Get(const std::string& path) const;

 private:
  std::map<std::string, std::shared_ptr<std::vector<uint8_t>>> files_;
};

}  // namespace xbase
