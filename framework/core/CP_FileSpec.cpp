#include "CP_FileSpec.h"

CP_FileSpec::CP_FileSpec(const std::string& path, bool isDirectory) { Set(path, isDirectory); }

void CP_FileSpec::Set(const std::string& path, bool isDirectory) {
  fPath = path;
  fIsDirectory = isDirectory;
}

void CP_FileSpec::Clear() {
  fPath.clear();
  fIsDirectory = false;
}

void CP_FileSpec::GetName(std::string& out) const { out = Name(); }

std::string CP_FileSpec::Name() const {
  const size_t slash = fPath.rfind('\\');
  return slash == std::string::npos ? fPath : fPath.substr(slash + 1);
}

void CP_FileSpec::GetFolderPath(std::string& out) const { out = FolderPath(); }

std::string CP_FileSpec::FolderPath() const {
  if (fIsDirectory) return fPath;
  const size_t slash = fPath.rfind('\\');
  return slash == std::string::npos ? std::string() : fPath.substr(0, slash);
}

// An empty folder gives the bare name rather than a path rooted at "\".
void CP_FileSpec::SetFromFolderAndName(const std::string& name, const std::string& folder,
                                       bool isDirectory) {
  std::string path = folder;
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  Set(path, isDirectory);
}

void CP_FileSpec::SetName(const std::string& name) {
  SetFromFolderAndName(name, FolderPath(), fIsDirectory);
}

uint32_t CP_FileSpec::GetTypeCode() const {
  return fIsDirectory ? kCP_FolderTypeCode : CP_TypeCodeOfName(Name());
}

uint32_t CP_TypeCodeOfName(const std::string& fullName) {
  // Only the first 254 characters of a name are looked at.
  const std::string name = fullName.substr(0, 254);
  if (name.size() < 4) return 0;
  const size_t at = name.size() - 4;
  if (name[at] != '.') return 0;
  uint32_t code = 0;
  for (size_t i = at; i < name.size(); ++i) code = (code << 8) | uint8_t(name[i]);
  return code;
}
