// Paths into the source and build trees for test programs, compiled in
// relative to the program's own folder and resolved when it runs. An
// absolute path in a definition would tie every object to the folder the
// clone lives in, and the compiler cache would serve no other clone.
// Force-included by kx_test_paths (cmake/KxBuild.cmake).
#pragma once

#include <cstdlib>
#include <map>
#include <string>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace kxtree {

// The running program's folder, with forward slashes. Under Wine the
// program lies on drive Z:, which is the host's root: the drive is dropped
// so that the path is the host's own.
inline std::string ProgramFolder() {
  std::string path;
#ifdef _WIN32
  if (_pgmptr) path = _pgmptr;
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':') path.erase(0, 2);
#else
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n > 0) path.assign(buffer, static_cast<size_t>(n));
#endif
  return path.substr(0, path.find_last_of('/'));
}

// Folds "." and ".." out of an absolute path with forward slashes.
inline std::string Normalise(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

// The host path of `relative` (from the program's folder), with `prefix`
// before it ("Z:" for a Windows path to the same place). The text lives for
// the whole run.
inline const char* Path(const char* relative, const char* prefix = "") {
  static std::map<std::string, std::string> resolved;
  std::string& path = resolved[std::string(prefix) + "|" + relative];
  if (path.empty()) path = prefix + Normalise(ProgramFolder() + "/" + relative);
  return path.c_str();
}

}  // namespace kxtree
