#pragma once
// Random access to film bytes: a file on disk or bytes in memory. A file is
// open only while its owner lives; callers keep owners short-lived so that no
// film stays open between toolbox calls.
#include "Bytes.h"

#include <cstdio>
#include <string>

namespace qtf {

class DataSource {
 public:
  virtual ~DataSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads exactly n bytes at offset, or fails.
  virtual Status ReadAt(uint64_t offset, size_t n, uint8_t* out) = 0;
};

class MemorySource : public DataSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  Status ReadAt(uint64_t offset, size_t n, uint8_t* out) override;

 private:
  const uint8_t* data_;
  size_t size_;
};

// An open std::FILE, closed by the destructor. Always binary.
class File : public DataSource {
 public:
  enum class Mode { Read, Update, Create };  // "rb", "r+b", "wb"

  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  Status Open(const std::string& path, Mode mode);
  Status Close();  // reports a failed flush of written data
  bool IsOpen() const { return file_ != nullptr; }

  uint64_t Size() const override { return size_; }
  Status ReadAt(uint64_t offset, size_t n, uint8_t* out) override;
  // Writes at offset; offset may be the end of the file.
  Status WriteAt(uint64_t offset, const uint8_t* data, size_t n);

 private:
  bool Seek(uint64_t offset);

  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
  std::string path_;
};

}  // namespace qtf
