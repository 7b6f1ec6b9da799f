// Registration of the CD in the drive: its version-3 data file or, through
// ACCESSDB.DLL, its version-2 description, renumbered into GH_ConfigDB.
#include <cstdio>
#include <cstring>
#include <memory>

#include "CP_Win.h"
#include "CP_Window.h"
#include "database/CDDatabase.h"
#include "database/CopyFileWithProgress.h"
#include "document/GH_Globals.h"
#include "utility/GH_FilmFolders.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

namespace {

const int32_t kFilm = 4;
const int32_t kCD = 1;

// Version-3 data file.
constexpr std::size_t kHeaderSize = 552;
constexpr std::size_t kItemSize = 552;
constexpr std::size_t kActionSize = 496;

// Import buffer of ReadAccessDB.
constexpr std::size_t kImportBufferSize = 125304;
constexpr std::size_t kImportAliasOffset = 4;
constexpr std::size_t kImportAliasSize = 100;
constexpr std::size_t kImportRowsOffset = 104;
constexpr std::size_t kImportRowSize = 1252;
constexpr int32_t kImportMaxRows = 100;

using ReadAccessDBProc = int32_t(__stdcall*)(const char* path, void* buffer);

int32_t Int32At(const uint8_t* bytes, std::size_t offset) {
  return int32_t(uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
                 uint32_t(bytes[offset + 3]) << 24);
}

int16_t Int16At(const uint8_t* bytes, std::size_t offset) {
  return int16_t(uint16_t(bytes[offset] | bytes[offset + 1] << 8));
}

// A text field of a record: up to its first NUL, never past its size.
std::string TextAt(const uint8_t* bytes, std::size_t offset, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(bytes + offset);
  const void* end = std::memchr(text, '\0', size);
  return std::string(text, end ? static_cast<const char*>(end) - text : size);
}

class File {
public:
  explicit File(const std::string& path) : fFile(std::fopen(path.c_str(), "rb")) {}
  ~File() { Close(); }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  std::FILE* Get() const { return fFile; }
  void Close() {
    if (fFile) std::fclose(fFile);
    fFile = nullptr;
  }
  // Whole records only: a record cut short by the file's end is not used.
  bool ReadRecord(uint8_t* buffer, std::size_t size) {
    return fFile && std::fread(buffer, 1, size, fFile) == size;
  }

private:
  std::FILE* fFile;
};

class Library {
public:
  explicit Library(const std::string& path) : fModule(LoadLibraryA(path.c_str())) {}
  ~Library() {
    if (fModule) FreeLibrary(fModule);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE Get() const { return fModule; }

private:
  HMODULE fModule;
};

// The messages of the version-2 import keep the main video window from
// taking input while they are up.
void ShowImportMessage(HWND mainWindow, const char* text) {
  if (mainWindow) EnableWindow(mainWindow, FALSE);
  MessageBoxA(nullptr, text, "DB Import", MB_OK);
  if (mainWindow) {
    EnableWindow(mainWindow, TRUE);
    BringWindowToTop(mainWindow);
  }
}

std::string WindowsFolderFile(const char* name) {
  char folder[MAX_PATH + 1] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  std::string path = folder;
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + name;
}

PlaylistEntry EntryFromItemRecord(const uint8_t* r) {
  PlaylistEntry e;
  e.itemId = Int32At(r, 0);
  e.sortOrder = Int32At(r, 4);
  e.parentId = Int32At(r, 8);
  e.itemType = Int32At(r, 12);
  e.parentType = Int32At(r, 16);
  e.itemText = TextAt(r, 20, 100);
  e.iconResId = Int16At(r, 120);
  e.loop = Int32At(r, 124);
  e.rate = Int32At(r, 128);
  e.volume = Int32At(r, 132);
  e.play = Int32At(r, 136);
  e.tkLocal = Int32At(r, 140);
  e.tkGlobal = Int32At(r, 144);
  e.tkBkg = Int32At(r, 148);
  e.filePath = TextAt(r, 152, 250);
  e.fileName = TextAt(r, 402, 60);
  e.aliasRoot = TextAt(r, 462, 90);
  return e;
}

ActionRecord ActionFromRecord(const uint8_t* r) {
  ActionRecord a{};
  a.actionID = Int32At(r, 0);
  a.actionType = Int32At(r, 8);
  // Each text is cut at its own end: the file's bytes need not hold a NUL.
  CopyToBuffer(a.actionText, TextAt(r, 12, sizeof a.actionText));
  CopyToBuffer(a.aliasRoot, TextAt(r, 266, sizeof a.aliasRoot));
  CopyToBuffer(a.sprite, TextAt(r, 296, sizeof a.sprite));
  return a;
}

void ConvertImportRow(std::vector<PlaylistEntry>& list, const uint8_t* r) {
  PlaylistEntry e;
  e.itemId = Int32At(r, 0);
  e.sortOrder = Int32At(r, 4);
  e.parentId = Int32At(r, 8);
  e.itemType = Int32At(r, 12);
  e.parentType = Int32At(r, 16);
  e.itemText = TextAt(r, 20, 200);
  e.iconResId = Int16At(r, 220);
  e.loop = Int32At(r, 224);
  e.rate = Int32At(r, 228);
  e.volume = Int32At(r, 232);
  e.play = Int32At(r, 236);
  e.tkLocal = Int32At(r, 240);
  e.tkGlobal = Int32At(r, 244);
  e.tkBkg = Int32At(r, 248);
  e.filePath = TextAt(r, 252, 200);
  e.fileName = TextAt(r, 452, 200);
  e.aliasRoot = TextAt(r, 652, 200);
  e.volumeName = TextAt(r, 852, 200);
  e.origin = TextAt(r, 1052, 200);
  list.push_back(e);
}

// The number when some entry carries it, else 0.
int32_t FindEntryById(int32_t id, const std::vector<PlaylistEntry>& list) {
  for (const PlaylistEntry& e : list) {
    if (e.itemId == id) return id;
  }
  return 0;
}

void AddFilmSizes(const std::string& root, std::vector<PlaylistEntry>& list) {
  for (PlaylistEntry& e : list) {
    if (e.itemType == kFilm) e.itemText += FileSizeText(root + e.fileName);
  }
}

}  // namespace

std::string CDDatabase::GetVolumeLabel(const std::string& root) { return ::GetVolumeLabel(root); }

int32_t CDDatabase::RegisterInsertedCD(std::string& aliasRoot, int32_t& itemId, int32_t& filmCount) {
  const std::string label = GetVolumeLabel(FilmRoot);
  if (label.empty() || label == "Compact Disc") {
    aliasRoot.clear();
    itemId = 0;
    filmCount = 0;
    return 2;
  }
  if (FindCDItemByVolume(label, aliasRoot, itemId, filmCount)) return 4;
  return RegisterCD(aliasRoot, itemId, filmCount);
}

void CDDatabase::ReadVersion3CD(std::string& aliasRoot, std::FILE* file, int32_t itemCount, int32_t actionCount,
                                const std::string& volumeLabel, std::vector<PlaylistEntry>& list) {
  std::vector<uint8_t> record(kItemSize);
  for (int32_t i = 0; i < itemCount; ++i) {
    if (std::fread(record.data(), 1, kItemSize, file) != kItemSize) return;
    PlaylistEntry e = EntryFromItemRecord(record.data());
    e.volumeName = volumeLabel;
    e.origin.clear();
    if (e.itemId == -1) aliasRoot = e.aliasRoot;
    list.push_back(e);
  }
  bool stored = true;
  for (int32_t i = 0; i < actionCount && stored; ++i) {
    if (std::fread(record.data(), 1, kActionSize, file) != kActionSize) return;
    ActionRecord action = ActionFromRecord(record.data());
    stored = StoreActionRecord(action) == 0;
  }
}

int32_t CDDatabase::RegisterCD(std::string& aliasRoot, int32_t& itemId, int32_t& filmCount) {
  HWND mainWindow = nullptr;
  if (CP_Window* window = FindWindowByTitle("MainVideoWindow")) mainWindow = window->GetHWND();
  const std::string version3Path = FilmRoot + "BinFile.GHC";
  const std::string version2Path = FilmRoot + "GHICD.esk";
  File version3(version3Path);
  File version2(version2Path);
  const std::string label = GetVolumeLabel(FilmRoot);
  aliasRoot.clear();
  std::vector<PlaylistEntry> list;

  if (version3.Get()) {
    uint8_t header[kHeaderSize];
    if (version3.ReadRecord(header, kHeaderSize)) {
      ReadVersion3CD(aliasRoot, version3.Get(), Int32At(header, 0), Int32At(header, 4), label, list);
    }
    filmCount = int32_t(list.size()) - 1;
    version3.Close();
  }

  if (version2.Get()) {
    if (HMODULE dao = LoadLibraryA("dbdao3.dll")) {
      FreeLibrary(dao);
    } else {
      MessageBoxA(nullptr,
                  "DAO is not installed correctly on your system.\r\n"
                  "In order to use Version 2 CD's you must install DAO.\r\n"
                  "You can download it from www.glintharbour.com.",
                  "Glintharbour KX3", MB_OK);
      return -1;
    }
    version2.Close();
    list.clear();
    Library accessDB(WindowsFolderFile("ACCESSDB.DLL"));
    if (!accessDB.Get()) {
      ShowImportMessage(mainWindow, "This version of the software does not support backwards compatibility");
      aliasRoot.clear();
    } else if (auto read = reinterpret_cast<ReadAccessDBProc>(
                   reinterpret_cast<void*>(GetProcAddress(accessDB.Get(), "ReadAccessDB")))) {
      std::vector<uint8_t> buffer(kImportBufferSize, 0);
      read(version2Path.c_str(), buffer.data());
      aliasRoot = TextAt(buffer.data(), kImportAliasOffset, kImportAliasSize);
      // The count comes from outside: rows past the buffer do not exist.
      int32_t rows = Int32At(buffer.data(), 0);
      if (rows < 0) rows = 0;
      if (rows > kImportMaxRows) rows = kImportMaxRows;
      for (int32_t i = 0; i < rows; ++i) {
        ConvertImportRow(list, buffer.data() + kImportRowsOffset + std::size_t(i) * kImportRowSize);
      }
      for (PlaylistEntry& e : list) {
        e.aliasRoot = aliasRoot;
        e.volumeName = label;
        e.origin.clear();
        e.iconResId = 2;
      }
      filmCount = int32_t(list.size()) - 1;
    } else {
      ShowImportMessage(mainWindow, "Incorrect version: Function [ReadAccessDB] not found in AccessDB.DLL");
      aliasRoot.clear();
    }
  }

  if (aliasRoot.empty()) return 2;  // also when neither file was there
  if (FindItemByAlias(aliasRoot) != 1) return 4;

  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kImportDialog), mainWindow,
                                   ImportProgressDialogProc, 0);
  if (dialog) ShowWindow(dialog, SW_SHOW);

  AddFilmSizes(FilmRoot, list);
  const int32_t first = LastItemID() + 1;
  auto newNumber = [first](std::size_t position) { return first + int32_t(position); };
  for (PlaylistEntry& e : list) {
    if (e.parentId > 0) {
      const int32_t p = FindEntryById(e.parentId, list);
      // The parent's number is taken as its place in the list; a number
      // beyond the list names no entry and the row goes under the first.
      if (p != 0) e.parentId = std::size_t(p) <= list.size() ? newNumber(std::size_t(p) - 1) : 0;
    }
    if (e.parentId == 0) e.parentId = newNumber(0);
    if (e.parentId == -1 || e.itemType == kCD) e.parentId = 0;
  }
  for (std::size_t i = 0; i < list.size(); ++i) list[i].itemId = newNumber(i);

  int32_t result = 0;
  for (PlaylistEntry& e : list) {
    if (e.parentId == 0 || e.itemType == kCD) {
      char films[32];
      std::snprintf(films, sizeof films, " [ %d Films ]", int(filmCount));
      e.itemText += films;
      itemId = e.itemId;
    }
    if (AppendItem(e, true)) {
      result = 1;
      break;
    }
  }
  if (dialog) DestroyWindow(dialog);
  return result;
}
