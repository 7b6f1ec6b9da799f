// The Windows build's files: Win32 handles opened for sharing, with
// LockFileEx locks that belong to one handle.
#include "File.h"

#include <windows.h>

namespace xbase {
namespace {

// One byte far past any table's data: Win32 locks keep other handles from
// reading a locked range, so the lock must cover no data.
constexpr DWORD kLockOffset = 0x7FFFFFF0;

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED ov = {};
  ov.Offset = DWORD(offset);
  ov.OffsetHigh = DWORD(offset >> 32);
  return ov;
}

class Win32File : public File {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { CloseHandle(h_); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  // The handle's own position, not an OVERLAPPED offset: under Wine every
  // read or write given an OVERLAPPED costs a round trip to the server, and
  // a table is read many times per row. Each open has its own position.
  bool ReadAt(uint64_t offset, void* data, size_t size) override {
    if (!MoveTo(offset)) return false;
    auto* p = static_cast<char*>(data);
    while (size > 0) {
      DWORD want = size > 0x10000000 ? 0x10000000 : DWORD(size);
      DWORD got = 0;
      if (!ReadFile(h_, p, want, &got, nullptr) || got == 0) return false;
      p += got;
      size -= got;
    }
    return true;
  }
  bool WriteAt(uint64_t offset, const void* data, size_t size) override {
    if (!MoveTo(offset)) return false;
    auto* p = static_cast<const char*>(data);
    while (size > 0) {
      DWORD want = size > 0x10000000 ? 0x10000000 : DWORD(size);
      DWORD put = 0;
      if (!WriteFile(h_, p, want, &put, nullptr) || put == 0) return false;
      p += put;
      size -= put;
    }
    return true;
  }
  bool Size(uint64_t& size) override {
    LARGE_INTEGER li;
    if (!GetFileSizeEx(h_, &li)) return false;
    size = uint64_t(li.QuadPart);
    return true;
  }
  bool Truncate(uint64_t size) override {
    LARGE_INTEGER li;
    li.QuadPart = LONGLONG(size);
    return SetFilePointerEx(h_, li, nullptr, FILE_BEGIN) && SetEndOfFile(h_);
  }
  bool Sync() override { return FlushFileBuffers(h_) != 0; }
  bool Lock(LockKind kind) override {
    OVERLAPPED ov = At(kLockOffset);
    DWORD flags = kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0;
    return LockFileEx(h_, flags, 0, 1, 0, &ov) != 0;
  }
  void Unlock() override {
    OVERLAPPED ov = At(kLockOffset);
    UnlockFileEx(h_, 0, 1, 0, &ov);
  }

 private:
  bool MoveTo(uint64_t offset) {
    LARGE_INTEGER li;
    li.QuadPart = LONGLONG(offset);
    return SetFilePointerEx(h_, li, nullptr, FILE_BEGIN) != 0;
  }

  HANDLE h_;
};

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE h;
    if (mode == OpenMode::CreateNew) {
      h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    } else {
      // A file marked read-only is only read, as Windows opens it: under
      // Wine a program run by root could otherwise write it all the same.
      const DWORD attributes = GetFileAttributesA(path.c_str());
      const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
      h = readOnly ? INVALID_HANDLE_VALUE
                   : CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
      if (readOnly || (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)) {
        h = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
      }
    }
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    if (GetFileType(h) != FILE_TYPE_DISK) {
      CloseHandle(h);
      return nullptr;
    }
    return std::make_unique<Win32File>(h);
  }
  bool Exists(const std::string& path) override {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  bool Remove(const std::string& path) override {
    if (DeleteFileA(path.c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
};

}  // namespace

FileSystem& LocalFileSystem() {
  static Win32FileSystem fs;
  return fs;
}

}  // namespace xbase
