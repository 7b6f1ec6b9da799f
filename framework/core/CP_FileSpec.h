#pragma once
// A path with a flag that says whether it names a folder. All text
// operations use the backslash as the separator.
#include <cstdint>
#include <string>

// The type code of a folder: the bytes 'D', 'I', 'R', ' ' in memory order.
constexpr uint32_t kCP_FolderTypeCode = 0x20524944;

class CP_FileSpec {
 public:
  CP_FileSpec() = default;
  CP_FileSpec(const std::string& path, bool isDirectory);
  CP_FileSpec(const CP_FileSpec& other) = default;
  CP_FileSpec& operator=(const CP_FileSpec& other) = default;
  virtual ~CP_FileSpec() = default;

  void Assign(const CP_FileSpec& other) { *this = other; }
  void Set(const std::string& path, bool isDirectory);
  void Clear();

  bool IsSpecified() const { return !fPath.empty(); }
  bool IsDirectory() const { return fIsDirectory; }

  void GetPath(std::string& out) const { out = fPath; }
  const std::string& Path() const { return fPath; }
  // The text after the last backslash, or the whole path.
  void GetName(std::string& out) const;
  std::string Name() const;
  // A folder spec answers its whole path; a file spec the text before its
  // last backslash, or nothing when it has none.
  void GetFolderPath(std::string& out) const;
  std::string FolderPath() const;

  void SetFromFolderAndName(const std::string& name, const std::string& folder, bool isDirectory);
  // Replaces the last component, keeping the folder part and the flag.
  void SetName(const std::string& name);

  uint32_t GetTypeCode() const;

 private:
  bool fIsDirectory = false;
  std::string fPath;
};

// The type code of a file name: its last four characters packed with the
// first in the high byte when the fourth from last is '.', else 0.
uint32_t CP_TypeCodeOfName(const std::string& name);
