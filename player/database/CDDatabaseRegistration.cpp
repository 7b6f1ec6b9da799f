// Registration of the CD in the drive: its version-3 data file or, through
// ACCESSDB.DLL, its version-2 description, renumbered into GH_ConfigDB.
#include <cstdio>
#include <cstring>
#include <memory>

#include "CP_Win.h"
#include "CP_Window.h"
#include "GH_LibraryNotices.h"
#include "database/CDDatabase.h"
#include "database/CopyFileWithProgress.h"
#include "database/TableFields.h"
#include "document/GH_Globals.h"
#include "utility/GH_FilmFolders.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

using tablefields::NumberKey;

namespace {

const int32_t kFilm = 4;

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
// ReadAccessDB answers 0 when it read the description, this when it left
// out the items past the hundredth, anything else when it could not read it.
constexpr int32_t kDescriptionCut = 3;

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

void AddFilmSizes(const std::string& root, std::vector<PlaylistEntry>& list) {
  for (PlaylistEntry& e : list) {
    if (e.itemType == kFilm) e.itemText += FileSizeText(root + e.fileName);
  }
}

// For each entry, the place of the entry it hangs under.
std::vector<std::size_t> ParentPlaces(const std::vector<PlaylistEntry>& list) {
  std::vector<gh_library::DescribedItem> described;
  for (const PlaylistEntry& e : list) described.push_back({e.itemId, e.parentId, e.itemType});
  return gh_library::ParentPlaces(described);
}

// Hangs the row numbered `itemId` under `parentId`.
bool MoveUnder(C4Table* t, int32_t itemId, int32_t parentId) {
  C4Field* parent = C4FindField(t, "PARENT_ID");
  return !parent || (C4Seek(t, NumberKey(itemId).c_str()) == C4_OK && C4SetNumber(parent, parentId) == C4_OK &&
                     C4Flush(t) == C4_OK);
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
  gh_library::RegistrationLock lock;
  if (FindCDItemByVolume(label, aliasRoot, itemId, filmCount)) return 4;
  return RegisterCD(lock, aliasRoot, itemId, filmCount);
}

bool CDDatabase::ReadVersion3CD(std::string& aliasRoot, std::FILE* file, int32_t itemCount, int32_t actionCount,
                                const std::string& volumeLabel, std::vector<PlaylistEntry>& list,
                                std::vector<int32_t>& appendedActions) {
  std::vector<uint8_t> record(kItemSize);
  for (int32_t i = 0; i < itemCount; ++i) {
    if (std::fread(record.data(), 1, kItemSize, file) != kItemSize) return true;
    PlaylistEntry e = EntryFromItemRecord(record.data());
    e.volumeName = volumeLabel;
    e.origin.clear();
    if (e.itemId == -1) aliasRoot = e.aliasRoot;
    list.push_back(e);
  }
  for (int32_t i = 0; i < actionCount; ++i) {
    if (std::fread(record.data(), 1, kActionSize, file) != kActionSize) return true;
    ActionRecord action = ActionFromRecord(record.data());
    const ActionStored stored = StoreAction(action);
    if (stored == ActionStored::Failed) return false;
    if (stored == ActionStored::Appended) appendedActions.push_back(action.actionID);
  }
  return true;
}

int32_t CDDatabase::RegisterCD(std::string& aliasRoot, int32_t& itemId, int32_t& filmCount) {
  gh_library::RegistrationLock lock;
  return RegisterCD(lock, aliasRoot, itemId, filmCount);
}

int32_t CDDatabase::RegisterCD(gh_library::RegistrationLock& lock, std::string& aliasRoot, int32_t& itemId,
                               int32_t& filmCount) {
  HWND mainWindow = nullptr;
  if (CP_Window* window = FindWindowByTitle("MainVideoWindow")) mainWindow = window->GetHWND();
  const std::string version3Path = FilmRoot + "BinFile.GHC";
  const std::string version2Path = FilmRoot + "GHICD.esk";
  File version3(version3Path);
  File version2(version2Path);
  const std::string label = GetVolumeLabel(FilmRoot);
  aliasRoot.clear();
  std::vector<PlaylistEntry> list;

  std::vector<int32_t> appendedItems, appendedActions;
  // Every row this registration appended goes again, and the user hears
  // once which table refused.
  auto fail = [&](const char* table) {
    // The item table keeps ITEMID selected between operations.
    const bool removed = gh_library::RemoveAppendedRows(fConfigTable, appendedItems) &
                         gh_library::RemoveAppendedRows(fActionTable, appendedActions);
    lock.Release();
    // This box says why the table's writes failed.
    fFailures.MarkTold(table);
    gh_library::TellRegistrationFailed(label, fFolder, table, removed);
    itemId = 0;
    return 1;
  };
  // A registration that stops before the CD's rows keeps none of the
  // actions it stored: the next insertion stores them again.
  auto stop = [&] {
    (void)gh_library::RemoveAppendedRows(fActionTable, appendedActions);
    lock.Release();
  };
  if (version3.Get()) {
    uint8_t header[kHeaderSize];
    if (version3.ReadRecord(header, kHeaderSize) &&
        !ReadVersion3CD(aliasRoot, version3.Get(), Int32At(header, 0), Int32At(header, 4), label, list,
                        appendedActions))
      return fail("GH_ActionDB");
    filmCount = int32_t(list.size()) - 1;
    version3.Close();
  }

  bool cut = false;
  if (version2.Get()) {
    if (HMODULE dao = LoadLibraryA("dbdao3.dll")) {
      FreeLibrary(dao);
    } else {
      stop();
      MessageBoxA(nullptr,
                  "DAO is not installed correctly on your system.\r\n"
                  "In order to use Version 2 CD's you must install DAO.\r\n"
                  "You can download it from www.glintharbour.com.",
                  "Glintharbour KX3", MB_OK);
      return -1;
    }
    version2.Close();
    list.clear();
    aliasRoot.clear();
    Library accessDB(WindowsFolderFile("ACCESSDB.DLL"));
    auto read = accessDB.Get() ? reinterpret_cast<ReadAccessDBProc>(reinterpret_cast<void*>(
                                     GetProcAddress(accessDB.Get(), "ReadAccessDB")))
                               : nullptr;
    if (!read) {
      stop();
      ShowImportMessage(mainWindow, accessDB.Get()
                                        ? "Incorrect version: Function [ReadAccessDB] not found in AccessDB.DLL"
                                        : "This version of the software does not support backwards compatibility");
      return 2;
    }
    std::vector<uint8_t> buffer(kImportBufferSize, 0);
    const int32_t result = read(version2Path.c_str(), buffer.data());
    if (result != 0 && result != kDescriptionCut) {
      stop();
      gh_library::TellUnreadableCDDescription(label);
      return 2;
    }
    cut = result == kDescriptionCut;
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
  }

  // An empty alias root also when neither file was there.
  if (aliasRoot.empty()) {
    stop();
    return 2;
  }
  // A CD known by its alias root keeps the actions it brought.
  if (FindItemByAlias(aliasRoot) != 1) return 4;

  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kImportDialog), mainWindow,
                                   ImportProgressDialogProc, 0);
  if (dialog) ShowWindow(dialog, SW_SHOW);
  AddFilmSizes(FilmRoot, list);
  const bool appended = AppendCDEntries(list, filmCount, itemId, appendedItems);
  if (dialog) DestroyWindow(dialog);
  if (!appended) return fail("GH_ConfigDB");
  lock.Release();
  if (cut) gh_library::TellCutCDDescription(label, kImportMaxRows);
  return 0;
}

bool CDDatabase::AppendCDEntries(std::vector<PlaylistEntry>& list, int32_t filmCount, int32_t& itemId,
                                 std::vector<int32_t>& appended) {
  const std::vector<std::size_t> parents = ParentPlaces(list);
  std::vector<std::size_t> waiting;  // listed before their parents
  for (std::size_t i = 0; i < list.size(); ++i) {
    PlaylistEntry& e = list[i];
    const std::size_t parent = parents[i];
    const bool topLevel = parent == gh_library::kTopLevel;
    if (topLevel) {
      char films[32];
      std::snprintf(films, sizeof films, " [ %d Films ]", int(filmCount));
      e.itemText += films;
    } else if (parent > i) {
      waiting.push_back(i);
    }
    e.parentId = topLevel || parent > i ? 0 : list[parent].itemId;
    if (AppendItem(e, true)) return false;
    appended.push_back(e.itemId);
    if (topLevel) itemId = e.itemId;
  }
  for (std::size_t i : waiting) {
    list[i].parentId = list[parents[i]].itemId;
    if (!MoveUnder(fConfigTable, list[i].itemId, list[i].parentId)) return false;
  }
  return true;
}
