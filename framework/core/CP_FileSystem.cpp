#include "CP_FileSystem.h"

#include "CP_Callback.h"
#include "CP_Desktop.h"
#include "CP_Exception.h"

#include <shlobj.h>

#include <memory>

namespace {

constexpr const char* kSource = "CP_FileSystem.cpp";
constexpr int32_t kLineCreateSubfolder = 187;
constexpr int32_t kLineDeleteFile = 426;
// Not a Windows error code: the framework's own "could not" for folders.
constexpr int32_t kFolderError = 1;

// The long name of the entry that `path` names, or false when none exists.
bool FindLongName(const std::string& path, std::string& name) {
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  found.cFileName[MAX_PATH - 1] = '\0';
  name = found.cFileName;
  return true;
}

// The path made absolute, its "." and ".." resolved; as given when that fails.
std::string FullPath(const std::string& path) {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

// Where the file lies on its volume. Opened without access, so that a file
// held open by another program answers too.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> owned(file, CloseHandle);
  return GetFileInformationByHandle(file, &info) != 0;
}

}  // namespace

namespace CP_FileSystem {

bool DirectoryExists(const CP_FileSpec& spec) {
  if (!spec.IsSpecified()) return false;
  const DWORD attributes = GetFileAttributesA(spec.Path().c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

CP_FileSpec CreateSubfolder(const CP_FileSpec& parent, const std::string& name) {
  CP_FileSpec folder;
  folder.SetFromFolderAndName(name, parent.FolderPath(), true);
  if (!DirectoryExists(folder) && !CreateDirectoryA(folder.Path().c_str(), nullptr))
    ThrowIfPlatformError(kFolderError, kSource, kLineCreateSubfolder);
  return folder;
}

void DeleteFile(const CP_FileSpec& spec) {
  if (!DeleteFileA(spec.Path().c_str())) ThrowIfPlatformError(kFolderError, kSource, kLineDeleteFile);
}

uint32_t GetFileTypeCode(const CP_FileSpec& spec) { return spec.GetTypeCode(); }

std::string FileNameKey(std::string name) {
  // Folded character by character: a linguistic comparison would take
  // "ss" and a sharp s for one name, which the file systems do not.
  if (!name.empty()) CharUpperBuffA(&name[0], DWORD(name.size()));
  return name;
}

bool SameFileName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && FileNameKey(a) == FileNameKey(b);
}

bool SameFile(const std::string& a, const std::string& b) {
  if (SameFileName(FullPath(a), FullPath(b))) return true;
  BY_HANDLE_FILE_INFORMATION one = {}, other = {};
  return FileIdentity(a, one) && FileIdentity(b, other) && one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
         one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

FilePresence FileState(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FilePresence::Missing : FilePresence::Present;
  return GetLastError() == ERROR_FILE_NOT_FOUND ? FilePresence::Missing : FilePresence::Unknown;
}

int32_t ExpandToLongPath(const std::string& path, std::string& out) {
  // A drive prefix (C:\) is taken as it is; any other path is looked up
  // component by component from the current directory.
  const bool hasDrive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  const size_t prefix = hasDrive ? 3 : 0;
  out = path.substr(0, prefix);
  std::string work = out;
  std::string name;
  for (size_t i = prefix; i < path.size(); ++i) {
    if (path[i] != '\\') {
      work += path[i];
      continue;
    }
    if (!FindLongName(work, name)) return -1;
    out += name;
    out += '\\';
    work += '\\';
  }
  if (!FindLongName(work, name)) return -1;
  out += name;
  return 0;
}

}  // namespace CP_FileSystem

int32_t MakeDirectory(const char* path) {
  if (!path) return -1;
  return CreateDirectoryA(path, nullptr) ? 0 : -1;
}

bool CP_FileFilter::Accepts(const CP_FileSpec& spec) const {
  const uint32_t code = CP_FileSystem::GetFileTypeCode(spec);
  for (uint32_t accepted : fCodes)
    if (accepted == code) return true;
  return false;
}

namespace {

// Places the chooser over the desktop window and starts it at the current
// directory; shows the selected folder's path as its status text.
int CALLBACK BrowseFolderCallback(HWND dialog, UINT message, LPARAM param, LPARAM) {
  return CP_GuardCallback(0, [&] {
    if (message == BFFM_INITIALIZED) {
      RECT box = {}, desktop = {};
      GetWindowRect(dialog, &box);
      GetWindowRect(GetDesktopWindow(), &desktop);
      const int w = box.right - box.left;
      const int h = box.bottom - box.top;
      const int x = (desktop.left + desktop.right) / 2 - w / 2;
      const int y = (desktop.top + desktop.bottom) / 3 - h / 3;
      SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      char current[MAX_PATH + 1] = {};
      if (GetCurrentDirectoryA(MAX_PATH, current))
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(current));
    } else if (message == BFFM_SELCHANGED) {
      char path[MAX_PATH + 1] = {};
      if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(param), path))
        SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    }
    return 0;
  });
}

bool BrowseForFolder(CP_FileSpec& out, const std::string& title, HWND owner) {
  IMalloc* shellMalloc = nullptr;
  if (FAILED(SHGetMalloc(&shellMalloc)) || !shellMalloc) return false;
  char displayName[MAX_PATH + 1] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = owner ? owner : GetDesktopWindow();
  info.pszDisplayName = displayName;
  info.lpszTitle = title.empty() ? nullptr : title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = BrowseFolderCallback;
  bool picked = false;
  if (LPITEMIDLIST item = SHBrowseForFolderA(&info)) {
    char path[MAX_PATH + 1] = {};
    if (SHGetPathFromIDListA(item, path)) {
      out.Set(path, true);
      picked = true;
    }
    shellMalloc->Free(item);
  }
  shellMalloc->Release();
  return picked;
}

}  // namespace

bool ChooseFolder(CP_FileSpec& out, const std::string& title, HWND owner) {
  if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) desktop->BeforeModal();
  const bool picked = BrowseForFolder(out, title, owner);
  if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) desktop->AfterModal();
  CP_RethrowPendingException();  // kept by the chooser's callback
  return picked;
}
