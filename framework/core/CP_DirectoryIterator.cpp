#include "CP_DirectoryIterator.h"

#include "CP_FileSystem.h"

#include <vector>

namespace {

std::string CurrentDirectory() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return std::string();
  std::vector<char> buffer(needed + 1, '\0');
  const DWORD length = GetCurrentDirectoryA(DWORD(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return std::string();
  return std::string(buffer.data(), length);
}

}  // namespace

CP_DirectoryIterator::CP_DirectoryIterator() : fFound() { fSavedDirectory = CurrentDirectory(); }

CP_DirectoryIterator::CP_DirectoryIterator(const CP_FileSpec& folder) : CP_DirectoryIterator() {
  fFolder = folder;
}

CP_DirectoryIterator::CP_DirectoryIterator(const CP_FileSpec& folder, CP_FileFilter* filter)
    : CP_DirectoryIterator(folder) {
  fFilter = filter;
}

CP_DirectoryIterator::~CP_DirectoryIterator() {
  if (fSearch != INVALID_HANDLE_VALUE) FindClose(fSearch);
  if (!fSavedDirectory.empty()) SetCurrentDirectoryA(fSavedDirectory.c_str());
}

bool CP_DirectoryIterator::IsDotEntry(const char* name) {
  return lstrcmpA(name, ".") == 0 || lstrcmpA(name, "..") == 0;
}

CP_DirectoryIterator& CP_DirectoryIterator::Next() {
  while (FindNextEntry()) {
    fFound.cFileName[MAX_PATH - 1] = '\0';
    if (IsDotEntry(fFound.cFileName)) continue;
    // The name is relative to the folder, which is the current directory now.
    const DWORD attributes = GetFileAttributesA(fFound.cFileName);
    const bool isFolder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    fCurrent.SetFromFolderAndName(fFound.cFileName, fFolder.Path(), isFolder);
    if (!fFilter || fFilter->Accepts(fCurrent)) break;
  }
  return *this;
}

// The next raw entry into fFound; false when the listing is over.
bool CP_DirectoryIterator::FindNextEntry() {
  if (!fStarted) {
    fStarted = true;
    if (!SetCurrentDirectoryA(fFolder.Path().c_str())) {
      EndWalk();
      return false;
    }
    fSearch = FindFirstFileA("*.*", &fFound);
    if (fSearch == INVALID_HANDLE_VALUE) {
      EndWalk();
      return false;
    }
    return true;
  }
  if (fSearch == INVALID_HANDLE_VALUE) return false;  // ended before
  if (FindNextFileA(fSearch, &fFound)) return true;
  EndWalk();
  return false;
}

void CP_DirectoryIterator::EndWalk() {
  if (fSearch != INVALID_HANDLE_VALUE) FindClose(fSearch);
  fSearch = INVALID_HANDLE_VALUE;
  fFound = WIN32_FIND_DATAA();
  fCurrent.Clear();
}

bool CP_DirectoryIterator::operator==(const CP_DirectoryIterator& other) const {
  return lstrcmpA(fFound.cFileName, other.fFound.cFileName) == 0;
}
