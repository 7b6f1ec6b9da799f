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

void ReadVersion3DataFile(std::FILE* file, const V3Header& header, const std::string& volumeName,
                          CDDatabase& database, PlaylistEntries& items, std::string& alias) {
  std::vector<uint8_t> record(kV3ItemSize);
  for (int32_t read = 0; read < header.items; ++read) {
    if (std::fread(record.data(), 1, kV3ItemSize, file) != kV3ItemSize) return;
    bool isAliasRecord = false;
    items.push_back(ConvertVersion3Record(record.data(), volumeName, isAliasRecord));
    if (isAliasRecord) alias = items.back().AliasRoot;
  }
  bool stored = true;
  for (int32_t read = 0; read < header.actions && stored; ++read) {
    ActionRecord action;
    if (std::fread(&action, 1, sizeof action, file) != sizeof action) return;
    stored = !database.AppendActionRecord(action);
  }
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

void RenumberItems(PlaylistEntries& items, int32_t lastItemId) {
  auto newNumber = [&](size_t position) { return lastItemId + 1 + int32_t(position); };
  for (PlaylistEntry& item : items) {
    const int32_t k = item.PARENT_ID;
    if (k > 0) {
      size_t found = items.size();
      for (size_t i = 0; i < items.size() && found == items.size(); ++i)
        if (items[i].ITEM_ID == k) found = i;
      if (found < items.size()) {
        // The file numbers its records by their position from 1; a number
        // beyond the list names its record by the number alone.
        item.PARENT_ID = newNumber(size_t(k) <= items.size() ? size_t(k) - 1 : found);
      }
    }
    if (item.PARENT_ID == 0) item.PARENT_ID = newNumber(0);
    if (item.PARENT_ID == -1 || item.ITEMTYPE == kItemCD) item.PARENT_ID = 0;
  }
  for (size_t i = 0; i < items.size(); ++i) items[i].ITEM_ID = newNumber(i);
}

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

// Fills `items` from a version-2 CD; answers the alias root, empty when
// the library cannot be used.
std::string ImportVersion2(HWND mainWindow, const std::string& eskPath, const std::string& volumeName,
                           PlaylistEntries& items) {
  char folder[MAX_PATH + 1] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  std::string libraryPath = folder;
  if (libraryPath.empty() || libraryPath.back() != '\\') libraryPath += '\\';
  libraryPath += "ACCESSDB.DLL";

  Library library(LoadLibraryA(libraryPath.c_str()));
  if (!library) {
    ShowImportMessage(mainWindow, "This version of the software does not support backwards compatibility");
    return std::string();
  }
  auto read = reinterpret_cast<ReadAccessDBFunction>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "ReadAccessDB")));
  if (!read) {
    ShowImportMessage(mainWindow, "Incorrect version: Function [ReadAccessDB] not found in AccessDB.DLL");
    return std::string();
  }
  std::vector<uint8_t> buffer(kV2BufferSize, 0);
  read(eskPath.c_str(), buffer.data());
  const std::string alias = Version2AliasRoot(buffer.data());
  const int32_t count = Version2RecordCount(buffer.data());
  for (int32_t i = 0; i < count; ++i)
    items.push_back(ConvertVersion2Record(buffer.data() + kV2RecordsOffset + size_t(i) * kV2RecordSize));
  for (PlaylistEntry& item : items) {
    item.AliasRoot = alias;
    item.VOLUMENAME = volumeName;
    item.ORIGIN.clear();
    item.ICONRESID = 2;
  }
  return alias;
}

// Writes a CD's items as new rows: films labelled with their size on the
// CD, every item numbered after the table's last, top-level items labelled
// with the film count. 0, or 1 at the first failing append.
int32_t AppendCDItems(CDDatabase& database, PlaylistEntries& items, int32_t filmCount, int32_t& cdItemId) {
  for (PlaylistEntry& item : items)
    if (item.ITEMTYPE == kItemFilm) item.ITEMTEXT += FormatFilmSize(cdDriveRoot + item.FileName);

  RenumberItems(items, database.LastItemId());
  for (PlaylistEntry& item : items) {
    if (item.PARENT_ID == 0 || item.ITEMTYPE == kItemCD) {
      char count[32];
      std::snprintf(count, sizeof count, " [ %d Films ]", int(filmCount));
      item.ITEMTEXT += count;
      cdItemId = item.ITEM_ID;
    }
    if (database.AppendItem(item, true)) return 1;
  }
  return 0;
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
  if (FindCDByVolumeName(volumeName, alias, cdItemId, filmCount)) return 4;
  return ImportCDContents(alias, cdItemId, filmCount);
}

int32_t CDDatabase::ImportCDContents(std::string& alias, int32_t& cdItemId, int32_t& filmCount) {
  const std::string binPath = cdDriveRoot + "BinFile.GHC";
  const std::string eskPath = cdDriveRoot + "GHICD.esk";
  CFile binFile(std::fopen(binPath.c_str(), "rb"));
  CFile eskFile(std::fopen(eskPath.c_str(), "rb"));
  const HWND mainWindow = MainWindowHandle();
  const std::string volumeName = GetVolumeName(cdDriveRoot);
  alias.clear();

  PlaylistEntries items;
  if (binFile) {
    uint8_t header[kV3HeaderSize];
    const size_t got = std::fread(header, 1, sizeof header, binFile.get());
    ReadVersion3DataFile(binFile.get(), ReadVersion3Header(header, got), volumeName, *this, items, alias);
    filmCount = int32_t(items.size()) - 1;
    binFile.reset();
  }
  if (eskFile) {
    HMODULE dao = LoadLibraryA("dbdao3.dll");
    if (!dao) {
      MessageBoxA(nullptr,
                  "DAO is not installed correctly on your system.\r\nIn order to use Version 2 CD's you must "
                  "install DAO.",
                  "Glintharbour KX3", MB_OK);
      return -1;
    }
    FreeLibrary(dao);
    eskFile.reset();
    items.clear();
    alias = ImportVersion2(mainWindow, eskPath, volumeName, items);
    if (!alias.empty()) filmCount = int32_t(items.size()) - 1;
  }
  if (alias.empty()) return 2;
  int32_t existing = 0;
  if (SeekAliasRoot(alias, existing)) return 4;

  ImportWaitWindow wait(mainWindow);
  return AppendCDItems(*this, items, filmCount, cdItemId);
}
