#include "File.h"

#include <cerrno>
#include <cstring>

namespace qtf {

Status MemorySource::ReadAt(uint64_t offset, size_t n, uint8_t* out) {
  if (offset > size_ || n > size_ - offset)
    return Status::Fail(Fault::Truncated, "read past the end of the data");
  if (n) std::memcpy(out, data_ + offset, n);
  return {};
}

File::~File() {
  if (file_) std::fclose(file_);
}

bool File::Seek(uint64_t offset) {
  if (offset > uint64_t(INT64_MAX)) return false;
#ifdef _WIN32
  return _fseeki64(file_, int64_t(offset), SEEK_SET) == 0;
#else
  return fseeko(file_, off_t(offset), SEEK_SET) == 0;
#endif
}

Status File::Open(const std::string& path, Mode mode) {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  path_ = path;
  const char* how = mode == Mode::Read ? "rb" : mode == Mode::Update ? "r+b" : "wb";
  errno = 0;
  file_ = std::fopen(path.c_str(), how);
  if (!file_) {
    Fault f = (errno == ENOENT) ? Fault::Missing : Fault::Io;
    return Status::Fail(f, "cannot open " + path);
  }
#ifdef _WIN32
  bool ok = _fseeki64(file_, 0, SEEK_END) == 0;
  int64_t end = ok ? _ftelli64(file_) : -1;
#else
  bool ok = fseeko(file_, 0, SEEK_END) == 0;
  int64_t end = ok ? int64_t(ftello(file_)) : -1;
#endif
  if (end < 0) {
    std::fclose(file_);
    file_ = nullptr;
    return Status::Fail(Fault::Io, "cannot size " + path);
  }
  size_ = uint64_t(end);
  return {};
}

Status File::Close() {
  if (!file_) return {};
  int rc = std::fclose(file_);
  file_ = nullptr;
  if (rc != 0) return Status::Fail(Fault::Io, "cannot finish writing " + path_);
  return {};
}

Status File::ReadAt(uint64_t offset, size_t n, uint8_t* out) {
  if (!file_) return Status::Fail(Fault::Io, "file not open");
  if (offset > size_ || n > size_ - offset)
    return Status::Fail(Fault::Truncated, "read past the end of " + path_);
  if (n == 0) return {};
  if (!Seek(offset) || std::fread(out, 1, n, file_) != n)
    return Status::Fail(Fault::Io, "cannot read " + path_);
  return {};
}

Status File::WriteAt(uint64_t offset, const uint8_t* data, size_t n) {
  if (!file_) return Status::Fail(Fault::Io, "file not open");
  if (offset > size_) return Status::Fail(Fault::Io, "write beyond the end of " + path_);
  if (n == 0) return {};
  if (!Seek(offset) || std::fwrite(data, 1, n, file_) != n)
    return Status::Fail(Fault::Io, "cannot write " + path_);
  if (offset + n > size_) size_ = offset + n;
  return {};
}

}  // namespace qtf
