#include "DiskFaults.h"

#include <mutex>
#include <set>

namespace kxtest {

namespace {

using CreateFn = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using WriteFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
using HandleFn = BOOL(WINAPI*)(HANDLE);
using TempNameFn = UINT(WINAPI*)(LPCSTR, LPCSTR, UINT, LPSTR);

// The long full form of a path without a closing backslash (a root keeps
// it); the full form alone for a path that names nothing yet.
std::string Comparable(const std::string& path) {
  char full[1024] = {}, longer[1024] = {};
  if (!GetFullPathNameA(path.c_str(), sizeof full, full, nullptr)) return path;
  std::string result = GetLongPathNameA(full, longer, sizeof longer) ? longer : full;
  while (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
}

bool Under(const std::string& path, const std::string& folder) {
  const std::string full = Comparable(path);
  return full.size() > folder.size() && full[folder.size()] == '\\' &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, full.c_str(), int(folder.size()), folder.c_str(),
                        int(folder.size())) == CSTR_EQUAL;
}

// One set of faults at a time; the calls may come from any thread.
struct Faults {
  std::mutex mutex;
  std::string folder;
  DiskFaults::Fault fault = DiskFaults::kFullAfter;
  uint64_t room = 0;
  int failures = 0;
  std::set<HANDLE> handles;  // files opened under the folder, still open
  CreateFn create = nullptr;
  WriteFn write = nullptr;
  HandleFn flush = nullptr;
  HandleFn close = nullptr;
};

Faults& Current() {
  static Faults faults;
  return faults;
}

// Answers whether the handle is one of the folder's files, taking it off the
// list when asked to.
bool Watched(HANDLE handle, bool forget = false) {
  Faults& f = Current();
  std::lock_guard<std::mutex> lock(f.mutex);
  const auto found = f.handles.find(handle);
  if (found == f.handles.end()) return false;
  if (forget) f.handles.erase(found);
  return true;
}

BOOL Fail() {
  Faults& f = Current();
  {
    std::lock_guard<std::mutex> lock(f.mutex);
    ++f.failures;
  }
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

HANDLE WINAPI Create(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                     DWORD flags, HANDLE model) {
  Faults& f = Current();
  const HANDLE handle = f.create(path, access, share, security, disposition, flags, model);
  if (handle != INVALID_HANDLE_VALUE && path && Under(path, f.folder)) {
    std::lock_guard<std::mutex> lock(f.mutex);
    f.handles.insert(handle);
  }
  return handle;
}

// A full disk takes what fits and refuses the rest.
BOOL WINAPI Write(HANDLE handle, LPCVOID buffer, DWORD count, LPDWORD written, LPOVERLAPPED overlapped) {
  Faults& f = Current();
  if (f.fault != DiskFaults::kFullAfter || !Watched(handle)) return f.write(handle, buffer, count, written, overlapped);
  DWORD fits = 0;
  {
    std::lock_guard<std::mutex> lock(f.mutex);
    fits = DWORD(count < f.room ? count : f.room);
    f.room -= fits;
  }
  if (fits == count) return f.write(handle, buffer, count, written, overlapped);
  DWORD done = 0;
  if (fits > 0) f.write(handle, buffer, fits, &done, overlapped);
  if (written) *written = done;
  return Fail();
}

BOOL WINAPI Flush(HANDLE handle) {
  Faults& f = Current();
  if (f.fault == DiskFaults::kFlushFails && Watched(handle)) return Fail();
  return f.flush(handle);
}

// The handle is closed all the same, as the system closes it.
BOOL WINAPI Close(HANDLE handle) {
  Faults& f = Current();
  const bool watched = Watched(handle, true);
  const BOOL closed = f.close(handle);
  if (watched && closed && f.fault == DiskFaults::kCloseFails) return Fail();
  return closed;
}

std::string& RefusedFolder() {
  static std::string path;
  return path;
}

TempNameFn& OriginalTempName() {
  static TempNameFn function = nullptr;
  return function;
}

UINT WINAPI RefuseTempName(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR path) {
  if (folder && lstrcmpiA(Comparable(folder).c_str(), RefusedFolder().c_str()) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  return OriginalTempName()(folder, prefix, unique, path);
}

}  // namespace

DiskFaults::DiskFaults(const std::string& folder, Fault fault, uint64_t room)
    : fPrepared(Prepare(folder, fault, room)),
      fCreate("kernel32.dll", "CreateFileA", reinterpret_cast<void*>(&Create)),
      fWrite("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&Write)),
      fFlush("kernel32.dll", "FlushFileBuffers", reinterpret_cast<void*>(&Flush)),
      fClose("kernel32.dll", "CloseHandle", reinterpret_cast<void*>(&Close)) {}

// Runs before the imports are patched: the system's functions taken here
// are the real ones, and naming each makes this program import it even
// where the code under test does not call it.
bool DiskFaults::Prepare(const std::string& folder, Fault fault, uint64_t room) {
  Faults& f = Current();
  std::lock_guard<std::mutex> lock(f.mutex);
  f.folder = Comparable(folder);
  f.fault = fault;
  f.room = room;
  f.failures = 0;
  f.handles.clear();
  f.create = &CreateFileA;
  f.write = &WriteFile;
  f.flush = &FlushFileBuffers;
  f.close = &CloseHandle;
  return true;
}

DiskFaults::~DiskFaults() {
  Faults& f = Current();
  std::lock_guard<std::mutex> lock(f.mutex);
  f.handles.clear();
  f.folder.clear();
}

bool DiskFaults::Applied() const {
  return fCreate.Installed() && fWrite.Installed() && fFlush.Installed() && fClose.Installed();
}

int DiskFaults::Failures() const {
  Faults& f = Current();
  std::lock_guard<std::mutex> lock(f.mutex);
  return f.failures;
}

RefusingFolder::RefusingFolder(const std::string& path)
    : fPatch("kernel32.dll", "GetTempFileNameA", reinterpret_cast<void*>(&RefuseTempName)) {
  RefusedFolder() = Comparable(path);
  OriginalTempName() = reinterpret_cast<TempNameFn>(fPatch.Original());
}

RefusingFolder::~RefusingFolder() { RefusedFolder().clear(); }

}  // namespace kxtest
