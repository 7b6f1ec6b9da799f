#pragma once
// Helpers shared by the library manager's tests.
#include "CP_Win.h"
#include "FileTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace mgrtest {

inline std::string WindowsFolder() {
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  return folder;
}

inline std::string IniPath() { return WindowsFolder() + "\\glintharbour.ini"; }

inline bool ReadWholeFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Forgets what the profile functions keep of the settings file, so that
// the next access reads the file on disk.
inline void ForgetCachedIni() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, "glintharbour.ini"); }

// The settings file of the test prefix is shared by every test: a test that
// changes it runs under the ctest lock "glintharbour_ini" and holds one of
// these, which puts the file back as it found it (or removes it again).
class IniFileGuard {
 public:
  IniFileGuard() {
    ForgetCachedIni();
    fExisted = ReadWholeFile(IniPath(), fSaved);
  }
  ~IniFileGuard() {
    ForgetCachedIni();
    if (fExisted)
      WriteWholeFile(IniPath(), fSaved);
    else
      std::remove(IniPath().c_str());
    ForgetCachedIni();
  }
  IniFileGuard(const IniFileGuard&) = delete;
  IniFileGuard& operator=(const IniFileGuard&) = delete;

  // Replaces the whole file with `text` (lines joined by CR LF).
  static void Replace(const std::string& text) {
    ForgetCachedIni();
    WriteWholeFile(IniPath(), text);
    ForgetCachedIni();
  }
  static void Remove() {
    ForgetCachedIni();
    std::remove(IniPath().c_str());
    ForgetCachedIni();
  }

 private:
  bool fExisted = false;
  std::string fSaved;
};

inline std::string IniValue(const char* section, const char* key) {
  char value[512] = {};
  GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, "glintharbour.ini");
  return value;
}

using kxtest::TempFolder;

inline void WriteFileBytes(const std::string& path, size_t size, char fill = 'x') {
  WriteWholeFile(path, std::string(size, fill));
}

// The names of a folder's files, sorted: a half copy left behind shows here.
// Listed by Windows itself: the standard library cannot list a drive root here.
inline std::vector<std::string> FilesIn(std::string folder) {
  if (folder.back() != '\\') folder += '\\';
  std::vector<std::string> names;
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace mgrtest
