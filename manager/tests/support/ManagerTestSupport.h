#pragma once
// Helpers shared by the library manager's tests.
#include "CP_Win.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

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

// A fresh empty folder under the temporary folder, removed with everything
// in it when the object ends.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::ostringstream path;
    path << temp << "kxmgr_" << name << "_" << GetCurrentProcessId();
    fPath = path.str();
    RemoveTree(fPath);
    CreateDirectoryA(fPath.c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(fPath); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return fPath; }
  std::string operator/(const std::string& name) const { return fPath + "\\" + name; }

  static void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string child = path + "\\" + name;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveTree(child);
        else
          DeleteFileA(child.c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
  }

 private:
  std::string fPath;
};

inline void WriteFileBytes(const std::string& path, size_t size, char fill = 'x') {
  WriteWholeFile(path, std::string(size, fill));
}

}  // namespace mgrtest
