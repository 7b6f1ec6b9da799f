#include "HostFiles.h"

#include <windows.h>

namespace qtb {

namespace {

// Closes a file handle when it goes.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

std::string FullPath(const std::string& path) {
  if (path.empty()) return {};
  char buffer[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (n == 0 || n >= sizeof buffer) return {};
  return std::string(buffer, n);
}

bool StampFile(const std::string& path, FileStamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  stamp.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.modified = int64_t((uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime);
  return true;
}

bool FileExists(const std::string& path) {
  FileStamp unused;
  return StampFile(path, unused);
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool TruncateFile(const std::string& path, uint64_t size) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER to;
  to.QuadPart = LONGLONG(size);
  return SetFilePointerEx(file.Get(), to, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get());
}

}  // namespace qtb
