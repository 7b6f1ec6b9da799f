#include "GH_PartialCopy.h"

#include "CP_Exception.h"

#include <cctype>
#include <utility>

namespace {

constexpr const char* kSource = "GH_PartialCopy.cpp";
constexpr const char* kPrefix = "kx";

// A copy under way writes at least every few seconds and holds its file
// open; one last written this long ago and open nowhere was left behind.
constexpr uint64_t kLeftOverAge = 5ull * 60 * 10000000;  // five minutes in 100 ns

std::string WithBackslash(std::string folder) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

uint64_t Ticks(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

bool LongAgo(const FILETIME& written) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return Ticks(written) + kLeftOverAge < Ticks(now);
}

// Deleted only when this program can open it alone: a file another copy
// has open refuses that.
void DeleteIfOpenNowhere(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

GH_PartialCopy::Result NameHolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GH_PartialCopy::kReady;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? GH_PartialCopy::kFolderInTheWay : GH_PartialCopy::kNameTaken;
}

}  // namespace

bool GH_IsTemporaryCopyName(const std::string& name) {
  // What GetTempFileNameA makes of the prefix: up to four hex digits, ".tmp".
  const size_t prefix = 2, suffix = 4;
  if (name.size() <= prefix + suffix || name.size() > prefix + 4 + suffix) return false;
  if (_strnicmp(name.c_str(), kPrefix, prefix) != 0) return false;
  if (_stricmp(name.c_str() + name.size() - suffix, ".tmp") != 0) return false;
  for (size_t n = prefix; n < name.size() - suffix; ++n)
    if (!std::isxdigit(static_cast<unsigned char>(name[n]))) return false;
  return true;
}

void GH_RemoveLeftOverCopies(const std::string& folder) {
  const std::string base = WithBackslash(folder);
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((base + kPrefix + "*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) continue;
    if (GH_IsTemporaryCopyName(found.cFileName) && LongAgo(found.ftLastWriteTime))
      DeleteIfOpenNowhere(base + found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

GH_PartialCopy::GH_PartialCopy(std::string target) : fTarget(std::move(target)) {}

GH_PartialCopy::~GH_PartialCopy() {
  fFile.Release();  // still open only when the copy did not finish
  if (!fTemporary.empty()) DeleteFileA(fTemporary.c_str());
}

GH_PartialCopy::Result GH_PartialCopy::Begin() {
  if (const Result holder = NameHolder(fTarget)) return holder;
  const std::string folder = FolderOf(fTarget);
  GH_RemoveLeftOverCopies(folder);
  char path[MAX_PATH + 1] = {};
  if (!GetTempFileNameA(folder.c_str(), kPrefix, 0, path)) return kNoTemporaryName;
  fTemporary = path;
  // A name is answered for folders where no file could be made, too.
  if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
    fTemporary.clear();
    return kNoTemporaryName;
  }
  fFile.SetSpec(CP_FileSpec(fTemporary, false));
  fFile.Open(GENERIC_READ | GENERIC_WRITE);
  return kReady;
}

GH_PartialCopy::Result GH_PartialCopy::Finish() {
  fFile.Flush();
  fFile.Close();
  // No flag: a rename that may replace is what must never happen here.
  if (MoveFileExA(fTemporary.c_str(), fTarget.c_str(), 0)) {
    fTemporary.clear();
    return kReady;
  }
  if (const Result holder = NameHolder(fTarget)) return holder;
  throw CP_PlfrmErrorException(kCP_FileError, kSource, __LINE__);
}

std::string GH_NotCopiedText(int32_t result, const std::string& title, std::string folder,
                             const std::string& fileName) {
  const std::string movie = "Movie \"" + title + "\" was not copied: ";
  folder = WithBackslash(folder);
  switch (result) {
    case GH_PartialCopy::kNameTaken:
      return movie + "the directory " + folder + " already holds a file named " + fileName + ".";
    case GH_PartialCopy::kFolderInTheWay:
      return movie + "the directory " + folder + " holds a folder of its file's name.";
    case GH_PartialCopy::kNoTemporaryName:
      return movie + "no temporary file could be made in the directory " + folder + ".";
    default:
      return std::string();
  }
}
