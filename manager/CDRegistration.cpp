#include "CDRegistration.h"

#include <cstdio>
#include <cstring>
#include <type_traits>
#include <memory>
#include <vector>

#include "CDDatabase.h"
#include "CP_Window.h"
#include "GH_FilmsFolder.h"
#include "GH_Globals.h"
#include "GH_LibraryNotices.h"
#include "GH_MainWindow.h"

namespace cdimport {

namespace {

int32_t I32At(const uint8_t* bytes, size_t at) {
  return int32_t(uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
                 uint32_t(bytes[at + 3]) << 24);
}

int16_t I16At(const uint8_t* bytes, size_t at) { return int16_t(uint16_t(bytes[at] | bytes[at + 1] << 8)); }

// A text inside a fixed field: up to its NUL, never past the field.
std::string TextAt(const uint8_t* bytes, size_t at, size_t size) {
  const char* text = reinterpret_cast<const char*>(bytes + at);
  return std::string(text, strnlen(text, size));
}

// The numeric columns from LOOP to TKBKG lie one after another.
void ReadPlayback(const uint8_t* r, size_t at, PlaylistEntry& e) {
  e.LOOP = I32At(r, at);
  e.RATE = I32At(r, at + 4);
  e.VOLUME = I32At(r, at + 8);
  e.PLAY = I32At(r, at + 12);
  e.TKLOCAL = I32At(r, at + 16);
  e.TKGLOBAL = I32At(r, at + 20);
  e.TKBKG = I32At(r, at + 24);
}

void ReadLinks(const uint8_t* r, PlaylistEntry& e) {
  e.ITEM_ID = I32At(r, 0);
  e.SORTORDER = I32At(r, 4);
  e.PARENT_ID = I32At(r, 8);
  e.ITEMTYPE = I32At(r, 12);
  e.PARENTTYPE = I32At(r, 16);
}

}  // namespace

V3Header ReadVersion3Header(const uint8_t* bytes, size_t size) {
  V3Header header;
  if (size < kV3HeaderSize) return header;
  header.items = I32At(bytes, 0);
  header.actions = I32At(bytes, 4);
  return header;
}

PlaylistEntry ConvertVersion3Record(const uint8_t* r, const std::string& volumeName, bool& isAliasRecord) {
  PlaylistEntry e;
  ReadLinks(r, e);
  e.ITEMTEXT = TextAt(r, 20, 100);
  e.ICONRESID = I16At(r, 120);
  ReadPlayback(r, 124, e);
  e.FILEPATH = TextAt(r, 152, 250);
  e.FileName = TextAt(r, 402, 60);
  e.AliasRoot = TextAt(r, 462, 90);
  e.VOLUMENAME = volumeName;
  isAliasRecord = e.ITEM_ID == -1;
  return e;
}

bool ReadVersion3DataFile(std::FILE* file, const V3Header& header, const std::string& volumeName,
                          CDDatabase& database, PlaylistEntries& items, std::string& alias,
                          std::vector<int32_t>& appendedActions) {
  std::vector<uint8_t> record(kV3ItemSize);
  for (int32_t read = 0; read < header.items; ++read) {
    if (std::fread(record.data(), 1, kV3ItemSize, file) != kV3ItemSize) return true;
    bool isAliasRecord = false;
    items.push_back(ConvertVersion3Record(record.data(), volumeName, isAliasRecord));
    if (isAliasRecord) alias = items.back().AliasRoot;
  }
  for (int32_t read = 0; read < header.actions; ++read) {
    ActionRecord action;
    if (std::fread(&action, 1, sizeof action, file) != sizeof action) return true;
    const CDDatabase::ActionStored stored = database.StoreAction(action);
    if (stored == CDDatabase::ActionStored::Failed) return false;
    if (stored == CDDatabase::ActionStored::Appended) appendedActions.push_back(action.actionID);
  }
  return true;
}

PlaylistEntry ConvertVersion2Record(const uint8_t* r) {
  PlaylistEntry e;
  ReadLinks(r, e);
  e.ITEMTEXT = TextAt(r, 20, 200);
  e.ICONRESID = I16At(r, 220);
  ReadPlayback(r, 224, e);
  e.FILEPATH = TextAt(r, 252, 200);
  e.FileName = TextAt(r, 452, 200);
  e.AliasRoot = TextAt(r, 652, 200);
  e.VOLUMENAME = TextAt(r, 852, 200);
  e.ORIGIN = TextAt(r, 1052, 200);
  return e;
}

int32_t Version2RecordCount(const uint8_t* buffer) {
  const int32_t count = I32At(buffer, 0);
  if (count < 0) return 0;
  return count > kV2MaxRecords ? kV2MaxRecords : count;
}

std::string Version2AliasRoot(const uint8_t* buffer) { return TextAt(buffer, kV2AliasOffset, kV2AliasSize); }

}  // namespace cdimport

namespace {

using namespace cdimport;

// Closes a C file when it goes.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using CFile = std::unique_ptr<std::FILE, FileCloser>;

// Frees a loaded library when it goes.
struct LibraryFreer {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

// The wait window shown while the rows are written; destroyed with it.
class ImportWaitWindow {
 public:
  explicit ImportWaitWindow(HWND owner)
      : fWindow(CreateDialogParamA(ManagerInstance(), MAKEINTRESOURCEA(20100), owner,
                                   CDDatabase::ImportWaitDialogProc, 0)) {
    if (fWindow) ShowWindow(fWindow, SW_SHOW);
  }
  ~ImportWaitWindow() {
    if (fWindow) DestroyWindow(fWindow);
  }
  ImportWaitWindow(const ImportWaitWindow&) = delete;
  ImportWaitWindow& operator=(const ImportWaitWindow&) = delete;

 private:
  HWND fWindow;
};

HWND MainWindowHandle() {
  CP_Window* window = FindMainWindow(mainWindowTitle);
  return window ? window->GetHWND() : nullptr;
}

// Shows a message about the version-2 library with the main window
// disabled around it.
void ShowImportMessage(HWND mainWindow, const char* text) {
  if (mainWindow) EnableWindow(mainWindow, FALSE);
  MessageBoxA(nullptr, text, "DB Import", MB_OK);
  if (mainWindow) {
    EnableWindow(mainWindow, TRUE);
    BringWindowToTop(mainWindow);
  }
}

using ReadAccessDBFunction = int32_t(__stdcall*)(const char*, void*);

// What reading a version-2 description came to. ACCESSDB.DLL answers 0
// when it read the description, 3 when it left out the items past the
// hundredth, anything else when it could not read it.
enum class Version2Import { Read, Cut, Unreadable, NoLibrary, NoFunction };
constexpr int32_t kDescriptionCut = 3;

// Fills `items` and `alias` from a version-2 CD.
Version2Import ImportVersion2(const std::string& eskPath, const std::string& volumeName, PlaylistEntries& items,
                              std::string& alias) {
  char folder[MAX_PATH + 1] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  std::string libraryPath = folder;
  if (libraryPath.empty() || libraryPath.back() != '\\') libraryPath += '\\';
  libraryPath += "ACCESSDB.DLL";

  Library library(LoadLibraryA(libraryPath.c_str()));
  if (!library) return Version2Import::NoLibrary;
  auto read = reinterpret_cast<ReadAccessDBFunction>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "ReadAccessDB")));
  if (!read) return Version2Import::NoFunction;
  std::vector<uint8_t> buffer(kV2BufferSize, 0);
  const int32_t result = read(eskPath.c_str(), buffer.data());
  if (result != 0 && result != kDescriptionCut) return Version2Import::Unreadable;
  alias = Version2AliasRoot(buffer.data());
  const int32_t count = Version2RecordCount(buffer.data());
  for (int32_t i = 0; i < count; ++i)
    items.push_back(ConvertVersion2Record(buffer.data() + kV2RecordsOffset + size_t(i) * kV2RecordSize));
  for (PlaylistEntry& item : items) {
    item.AliasRoot = alias;
    item.VOLUMENAME = volumeName;
    item.ORIGIN.clear();
    item.ICONRESID = 2;
  }
  return result == kDescriptionCut ? Version2Import::Cut : Version2Import::Read;
}

// For each item, the place of the item it hangs under.
std::vector<size_t> ParentPlaces(const PlaylistEntries& items) {
  std::vector<gh_library::DescribedItem> described;
  for (const PlaylistEntry& item : items) described.push_back({item.ITEM_ID, item.PARENT_ID, item.ITEMTYPE});
  return gh_library::ParentPlaces(described);
}

// Appends a CD's items as new rows in the description's order: films
// labelled with their size on the CD, top-level items with the film count,
// each under the new number of the item it hangs under. An item listed
// before its parent is moved under it once the parent has its number.
// `appended` gets the new rows' numbers; false at the first failing write.
bool AppendCDItems(CDDatabase& database, PlaylistEntries& items, int32_t filmCount, int32_t& cdItemId,
                   std::vector<int32_t>& appended) {
  for (PlaylistEntry& item : items)
    if (item.ITEMTYPE == kItemFilm) item.ITEMTEXT += FormatFilmSize(cdDriveRoot + item.FileName);
  const std::vector<size_t> parents = ParentPlaces(items);
  std::vector<size_t> waiting;  // listed before their parents
  for (size_t i = 0; i < items.size(); ++i) {
    PlaylistEntry& item = items[i];
    const size_t parent = parents[i];
    const bool topLevel = parent == gh_library::kTopLevel;
    if (topLevel) {
      char count[32];
      std::snprintf(count, sizeof count, " [ %d Films ]", int(filmCount));
      item.ITEMTEXT += count;
    } else if (parent > i) {
      waiting.push_back(i);
    }
    item.PARENT_ID = topLevel || parent > i ? 0 : items[parent].ITEM_ID;
    if (database.AppendItem(item, true)) return false;
    appended.push_back(item.ITEM_ID);
    if (topLevel) cdItemId = item.ITEM_ID;
  }
  for (size_t i : waiting) {
    items[i].PARENT_ID = items[parents[i]].ITEM_ID;
    if (database.UpdateItem(items[i], true)) return false;
  }
  return true;
}

}  // namespace

int32_t CDDatabase::RegisterCD(std::string& alias, int32_t& cdItemId, int32_t& filmCount) {
  const std::string volumeName = GetVolumeName(cdDriveRoot);
  if (volumeName.empty() || volumeName == "Compact Disc") {
    alias.clear();
    cdItemId = 0;
    filmCount = 0;
    return 2;
  }
  gh_library::RegistrationLock lock;
  if (FindCDByVolumeName(volumeName, alias, cdItemId, filmCount)) return 4;
  return ImportCDContents(lock, alias, cdItemId, filmCount);
}

int32_t CDDatabase::ImportCDContents(gh_library::RegistrationLock& lock, std::string& alias, int32_t& cdItemId,
                                     int32_t& filmCount) {
  const std::string binPath = cdDriveRoot + "BinFile.GHC";
  const std::string eskPath = cdDriveRoot + "GHICD.esk";
  CFile binFile(std::fopen(binPath.c_str(), "rb"));
  CFile eskFile(std::fopen(eskPath.c_str(), "rb"));
  const HWND mainWindow = MainWindowHandle();
  const std::string volumeName = GetVolumeName(cdDriveRoot);
  alias.clear();

  std::vector<int32_t> appendedItems, appendedActions;
  // Every row this registration appended goes again, and the user hears
  // once which table refused.
  auto fail = [&](const char* table) {
    // The item table keeps ITEMID selected between operations.
    const bool removed = gh_library::RemoveAppendedRows(fConfig, appendedItems) &
                         gh_library::RemoveAppendedRows(fAction, appendedActions);
    lock.Release();
    // This box says why the table's writes failed.
    fFailures.MarkTold(table);
    gh_library::TellRegistrationFailed(volumeName, fFolder, table, removed);
    cdItemId = 0;
    return 1;
  };
  // A registration that stops before the CD's rows keeps none of the
  // actions it stored: the next insertion stores them again.
  auto stop = [&] {
    (void)gh_library::RemoveAppendedRows(fAction, appendedActions);
    lock.Release();
  };
  PlaylistEntries items;
  if (binFile) {
    uint8_t header[kV3HeaderSize];
    const size_t got = std::fread(header, 1, sizeof header, binFile.get());
    if (!ReadVersion3DataFile(binFile.get(), ReadVersion3Header(header, got), volumeName, *this, items, alias,
                              appendedActions))
      return fail("GH_ActionDB");
    filmCount = int32_t(items.size()) - 1;
    binFile.reset();
  }
  Version2Import imported = Version2Import::Read;
  if (eskFile) {
    HMODULE dao = LoadLibraryA("dbdao3.dll");
    if (!dao) {
      stop();
      MessageBoxA(nullptr,
                  "DAO is not installed correctly on your system.\r\nIn order to use Version 2 CD's you must "
                  "install DAO.",
                  "Glintharbour KX3", MB_OK);
      return -1;
    }
    FreeLibrary(dao);
    eskFile.reset();
    items.clear();
    alias.clear();
    imported = ImportVersion2(eskPath, volumeName, items, alias);
    if (imported == Version2Import::NoLibrary || imported == Version2Import::NoFunction) {
      stop();
      ShowImportMessage(mainWindow, imported == Version2Import::NoLibrary
                                        ? "This version of the software does not support backwards compatibility"
                                        : "Incorrect version: Function [ReadAccessDB] not found in AccessDB.DLL");
      return 2;
    }
    if (imported == Version2Import::Unreadable) {
      stop();
      gh_library::TellUnreadableCDDescription(volumeName);
      return 2;
    }
    if (!alias.empty()) filmCount = int32_t(items.size()) - 1;
  }
  if (alias.empty()) {
    stop();
    return 2;
  }
  // A CD known by its alias root keeps the actions it brought.
  int32_t existing = 0;
  if (SeekAliasRoot(alias, existing)) return 4;

  bool appended = false;
  {
    ImportWaitWindow wait(mainWindow);
    appended = AppendCDItems(*this, items, filmCount, cdItemId, appendedItems);
  }
  if (!appended) return fail("GH_ConfigDB");
  lock.Release();
  if (imported == Version2Import::Cut) gh_library::TellCutCDDescription(volumeName, kV2MaxRecords);
  return 0;
}
