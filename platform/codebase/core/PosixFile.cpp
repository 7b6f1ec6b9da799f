// The native build's files: POSIX descriptors with open-file-description
// locks, which belong to one open of a file as the Win32 locks do.
#include "File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xbase {
namespace {

// One byte far past any table's data: locking it never blocks a read or
// a write of the data itself.
constexpr off_t kLockOffset = 0x7FFFFFF0;

// Forces a folder's entries to the disk: a file just made is only found
// after a power cut once its folder is synced too.
bool SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

class PosixFile : public File {
 public:
  // `newFolder` names the folder of a file just made, synced with its first sync.
  PosixFile(int fd, std::string newFolder) : fd_(fd), newFolder_(std::move(newFolder)) {}
  ~PosixFile() override { ::close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  bool ReadAt(uint64_t offset, void* data, size_t size) override {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
      ssize_t n = ::pread(fd_, p, size, off_t(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      offset += uint64_t(n);
      size -= size_t(n);
    }
    return true;
  }
  bool WriteAt(uint64_t offset, const void* data, size_t size) override {
    auto* p = static_cast<const char*>(data);
    while (size > 0) {
      ssize_t n = ::pwrite(fd_, p, size, off_t(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      offset += uint64_t(n);
      size -= size_t(n);
    }
    return true;
  }
  bool Size(uint64_t& size) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return false;
    size = uint64_t(st.st_size);
    return true;
  }
  bool Truncate(uint64_t size) override { return ::ftruncate(fd_, off_t(size)) == 0; }
  bool Sync() override {
    if (::fsync(fd_) != 0) return false;
    if (newFolder_.empty()) return true;
    if (!SyncFolder(newFolder_)) return false;
    newFolder_.clear();
    return true;
  }

  bool Lock(LockKind kind) override {
    struct flock fl = {};
    fl.l_type = kind == LockKind::Shared ? F_RDLCK : F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockOffset;
    fl.l_len = 1;
    int rc;
    do {
      rc = ::fcntl(fd_, F_OFD_SETLKW, &fl);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
  }
  void Unlock() override {
    struct flock fl = {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockOffset;
    fl.l_len = 1;
    (void)::fcntl(fd_, F_OFD_SETLK, &fl);
  }

 private:
  int fd_;
  std::string newFolder_;
};

class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    int fd;
    if (mode == OpenMode::CreateNew) {
      fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    } else {
      fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
      if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd, mode == OpenMode::CreateNew ? FolderOf(path) : std::string());
  }
  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
  }
  bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }
};

}  // namespace

FileSystem& LocalFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace xbase
