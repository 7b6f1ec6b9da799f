#pragma once
// Questions about paths and changes to the disk, the file-kind filter of a
// directory walk, and the shell's folder chooser.
#include "CP_FileSpec.h"
#include "CP_RefCounted.h"
#include "CP_Win.h"

#include <cstdint>
#include <string>
#include <vector>

namespace CP_FileSystem {

bool DirectoryExists(const CP_FileSpec& spec);
// Makes the folder `name` inside the parent's folder part unless it exists;
// a failure throws platform error 1. Answers the folder's spec.
CP_FileSpec CreateSubfolder(const CP_FileSpec& parent, const std::string& name);
// A failure throws platform error 1.
void DeleteFile(const CP_FileSpec& spec);
uint32_t GetFileTypeCode(const CP_FileSpec& spec);
// Kinds and creators of files exist on other platforms only.
inline void SetFileType(const CP_FileSpec&, uint32_t) {}
inline void SetFileCreator(const CP_FileSpec&, uint32_t) {}
// The path with every component in its long form (C:\PROGRA~1 becomes
// C:\Program Files). Answers 0, or -1 when a component is not found; `out`
// then holds what was built up to it.
int32_t ExpandToLongPath(const std::string& path, std::string& out);

// A file name (or path) with every letter in upper case, as the file
// systems fold names: names that differ only in letter case have one key.
std::string FileNameKey(std::string name);
// Whether two file names (or paths spelt alike) name one file.
bool SameFileName(const std::string& a, const std::string& b);

// Whether two paths name one file: the same path in any letter case, or,
// for two files that are there, one file on one volume (a short name, a
// link).
bool SameFile(const std::string& a, const std::string& b);

// What the system says of a file. Missing means that the folder answered
// and holds no file of that name (a sub-folder of the name is no file);
// Unknown is every other failure (the folder gone, a network or access
// error), after which nothing may be dropped for the file.
enum class FilePresence { Present, Missing, Unknown };
FilePresence FileState(const std::string& path);

}  // namespace CP_FileSystem

// Creates one folder; 0 on success, -1 on failure. Throws nothing.
int32_t MakeDirectory(const char* path);

// Accepts the entries whose type code is one of its codes (compared exactly,
// so ".exe" refuses "Setup.EXE").
class CP_FileFilter : public CP_M_ReferenceCounted {
 public:
  explicit CP_FileFilter(uint32_t typeCode) : fCodes{typeCode} {}

  bool Accepts(const CP_FileSpec& spec) const;
  int16_t CountCodes() const { return int16_t(fCodes.size()); }

 private:
  std::vector<uint32_t> fCodes;
};

// Lets the user pick a folder; true and `out` set to it (a folder spec) when
// one was picked. `owner` may be null.
bool ChooseFolder(CP_FileSpec& out, const std::string& title, HWND owner);
