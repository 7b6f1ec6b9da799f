#include "HostFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

namespace qtb {

std::string FullPath(const std::string& path) {
  if (path.empty()) return {};
  if (path[0] == '/') return path;
  char dir[PATH_MAX];
  if (!getcwd(dir, sizeof dir)) return {};
  std::string full(dir);
  if (full.empty() || full.back() != '/') full += '/';
  return full + path;
}

bool StampFile(const std::string& path, FileStamp& stamp) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp.size = uint64_t(st.st_size);
  stamp.modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

bool FileExists(const std::string& path) {
  FileStamp unused;
  return StampFile(path, unused);
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool TruncateFile(const std::string& path, uint64_t size) {
  return truncate(path.c_str(), off_t(size)) == 0;
}

}  // namespace qtb
