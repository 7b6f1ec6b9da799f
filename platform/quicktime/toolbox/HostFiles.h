#pragma once
// What the toolbox needs from the host's file system beyond std::FILE.
#include <cstdint>
#include <string>

namespace qtb {

// Identifies one state of a file: another size or time means another file.
struct FileStamp {
  uint64_t size = 0;
  int64_t modified = 0;
  bool operator==(const FileStamp& o) const { return size == o.size && modified == o.modified; }
  bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

// The absolute form of a path, relative ones taken from the current folder.
// Empty when it cannot be made.
std::string FullPath(const std::string& path);
// False when the file is not there (or is a folder).
bool StampFile(const std::string& path, FileStamp& stamp);
bool FileExists(const std::string& path);
bool RemoveFile(const std::string& path);
// Cuts a file back to a size it had before a failed append.
bool TruncateFile(const std::string& path, uint64_t size);

}  // namespace qtb
