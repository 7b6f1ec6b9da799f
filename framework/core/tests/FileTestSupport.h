#pragma once
// Scratch folders and small files for the tests of files, folders, documents
// and dialogs.
#include "CP_Win.h"
#include "WinTestSupport.h"

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kxtest {

// A fresh folder under the temporary folder, deleted with all it holds;
// `name` stands in its path for tests that care what the path says.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name = "") {
    char base[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, base);
    static int serial = 0;
    for (;;) {
      fPath = std::string(base) + "kx" + name + "_" + std::to_string(GetCurrentProcessId()) + "_" +
              std::to_string(++serial);
      if (CreateDirectoryA(fPath.c_str(), nullptr)) break;
    }
  }
  ~TempFolder() { DeleteTree(fPath); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return fPath; }
  std::string operator/(const std::string& name) const { return fPath + "\\" + name; }

  static void DeleteTree(const std::string& path) {
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string child = path + "\\" + name;
        // Read-only files go too.
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          DeleteTree(child);
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

inline bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

inline std::string ReadWholeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names of the files and folders in a folder, sorted.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

// Dates the last write of a file (or folder) this many minutes back.
inline bool WrittenMinutesAgo(const std::string& path, int minutes) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER time;
  time.LowPart = now.dwLowDateTime;
  time.HighPart = now.dwHighDateTime;
  time.QuadPart -= ULONGLONG(minutes) * 60 * 10000000;
  const FILETIME then = {time.LowPart, time.HighPart};
  const BOOL set = SetFileTime(file, nullptr, nullptr, &then);
  CloseHandle(file);
  return set != FALSE;
}

inline std::string CurrentDirectory() {
  char buffer[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

inline std::string LongPathOf(const std::string& path) {
  char buffer[1024] = {};
  GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
  return buffer;
}

inline std::string ShortPathOf(const std::string& path) {
  char buffer[1024] = {};
  GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  return buffer;
}

// The shell's folder chooser, driven from a dialog watcher. Wine's shell
// fills the chooser's tree slowly (seconds alone, far longer beside other
// programs) and now and then drops a selection while it reads the drives:
// a test waits for what the chooser shows, never for a fixed time.
inline BOOL CALLBACK FindFolderTree(HWND child, LPARAM param) {
  char cls[64] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (std::string(cls) != "SysTreeView32") return TRUE;
  *reinterpret_cast<bool*>(param) = true;
  return FALSE;
}

inline bool IsFolderChooser(HWND dialog) {
  bool found = false;
  EnumChildWindows(dialog, FindFolderTree, LPARAM(&found));
  return found;
}

// The long form of a path without a closing backslash (a root keeps it);
// empty when the path names nothing.
inline std::string ComparablePath(const std::string& path) {
  std::string result = LongPathOf(path);
  while (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
}

struct ChooserTextSearch {
  std::string want;
  bool found;
};

// GetWindowText of another thread's window asks that thread, which pumps.
inline BOOL CALLBACK FindChooserText(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChooserTextSearch*>(param);
  char text[1024] = {};
  GetWindowTextA(child, text, sizeof text);
  search->found = *text && lstrcmpiA(ComparablePath(text).c_str(), search->want.c_str()) == 0;
  return !search->found;
}

// Whether the chooser shows the folder's path as its status text, as our
// choosers do once that folder is selected.
inline bool ChooserShows(HWND chooser, const std::string& folder) {
  ChooserTextSearch search{ComparablePath(folder), false};
  if (search.want.empty()) return false;
  EnumChildWindows(chooser, FindChooserText, LPARAM(&search));
  return search.found;
}

inline bool WaitUntilChooserShows(HWND chooser, const std::string& folder, DWORD timeoutMs = 20000) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (ChooserShows(chooser, folder)) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
}

// Selects the folder, again while the shell drops it, until the chooser
// shows it.
inline bool SelectChooserFolder(HWND chooser, const std::string& folder, DWORD timeoutMs = 20000) {
  const DWORD start = GetTickCount();
  do {
    SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    if (WaitUntilChooserShows(chooser, folder, 2000)) return true;
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

}  // namespace kxtest
