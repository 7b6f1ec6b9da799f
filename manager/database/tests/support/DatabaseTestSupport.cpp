#include "DatabaseTestSupport.h"
#include "TableDamage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "CP_Win.h"
#include "tools/kxdb/Database.h"
#include "FilmBytes.h"
#include "Table.h"
#include "store/Database.h"
#include "store/library/ActionTable.h"
#include "store/library/FilmUserData.h"
#include "store/library/LibrarySchema.h"
#include "store/library/StringMaps.h"

namespace dbtest {

TableFolder::TableFolder(Seed seed) : fPath(fDir.Path()), fSettings(fDir.File("settings.ini")) {
  std::string why;
  if (seed == Seed::Installation) {
    EXPECT_EQ(xbase::Code::Ok, kxdb::SeedDatabase(fPath, why)) << why;
  } else {
    for (const kxdb::TableSchema& s : kxdb::Schemas()) {
      std::unique_ptr<xbase::Table> table;
      EXPECT_EQ(xbase::Code::Ok, xbase::Table::Create(xbase::LocalFileSystem(), kxdb::TablePath(fPath, s.name),
                                                      s.fields, s.tags, table, why))
          << why;
      if (table) {
        EXPECT_EQ(xbase::Code::Ok, table->Close());
      }
    }
  }
  fSavedSettingsFile = cdDatabaseSettingsFile;
  cdDatabaseSettingsFile = fSettings;
  SetSetting("DBPath", fPath);
}

TableFolder::~TableFolder() { cdDatabaseSettingsFile = fSavedSettingsFile; }

std::string TableFolder::Folder(const std::string& name) const {
  const std::string path = fDir.File(name);
  std::filesystem::create_directories(path);
  return path;
}

void TableFolder::SetSetting(const std::string& key, const std::string& value) const {
  WritePrivateProfileStringA("Glintharbour", key.c_str(), value.c_str(), fSettings.c_str());
}

std::string TableFolder::Setting(const std::string& key) const {
  char value[512] = {};
  GetPrivateProfileStringA("Glintharbour", key.c_str(), "", value, sizeof value, fSettings.c_str());
  return value;
}

std::vector<RawRow> RawRows(const std::string& folder, const std::string& name) {
  std::vector<RawRow> rows;
  std::unique_ptr<xbase::Table> table;
  std::string why;
  EXPECT_EQ(xbase::Code::Ok, xbase::Table::Open(xbase::LocalFileSystem(), kxdb::TablePath(folder, name), table, why))
      << why;
  if (!table) return rows;
  for (xbase::Code c = table->First(); c == xbase::Code::Ok; c = table->Skip(1)) {
    RawRow row;
    row.deleted = table->IsDeleted();
    for (size_t i = 0; i < table->Fields().size(); ++i) {
      const xbase::Field& f = table->Fields()[i];
      row.fields[f.name] = f.IsNumeric() ? std::to_string(table->GetNumber(int(i)))
                                         : std::string(xbase::TrimBlanks(table->GetText(int(i))));
    }
    rows.push_back(row);
  }
  (void)table->Close();
  return rows;
}

PlaylistEntry Film(const std::string& text, const std::string& aliasRoot, int32_t parent,
                   const std::string& fileName) {
  PlaylistEntry e;
  e.ITEMTEXT = text;
  e.AliasRoot = aliasRoot;
  e.PARENT_ID = parent;
  e.ITEMTYPE = kItemFilm;
  e.PARENTTYPE = kItemLocation;
  e.FileName = fileName;
  return e;
}

DriveRecord Drive(int32_t id, const std::string& name, const std::string& label, const std::string& path) {
  DriveRecord d;
  d.DRIVEID = id;
  d.DRIVENAME = name;
  d.LABEL = label;
  d.PATH = path;
  return d;
}

ActionRecord Action(int32_t id, int32_t type, const std::string& text, const std::string& aliasRoot,
                    const std::string& sprite) {
  ActionRecord a{};
  a.actionID = id;
  a.actionType = type;
  std::snprintf(a.actionText, sizeof a.actionText, "%s", text.c_str());
  std::snprintf(a.aliasRoot, sizeof a.aliasRoot, "%s", aliasRoot.c_str());
  std::snprintf(a.sprite, sizeof a.sprite, "%s", sprite.c_str());
  return a;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void RemoveRow(C4Table* table, const std::string& key) {
  ASSERT_NE(nullptr, table);
  ASSERT_EQ(C4_OK, C4Seek(table, key.c_str()));
  ASSERT_EQ(C4_OK, C4MarkDeleted(table));
  ASSERT_EQ(C4_OK, C4Pack(table));
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void DamageMemoPointer(const std::string& folder, const std::string& table, uint32_t row, const char* field) {
  ASSERT_TRUE(xbasetest::DamageMemoPointer(kxdb::TablePath(folder, table) + ".dbf", row, field)) << table;
}

void WriteFilm(const std::string& path, const std::map<std::string, std::string>& preferences,
               const std::vector<std::pair<std::string, std::string>>& actions) {
  const Bytes film = filmbytes::Film();
  WriteFile(path, std::string(film.begin(), film.end()));
  filmbytes::AddFilmData(path, actions, preferences);
}

}  // namespace dbtest

namespace dbtest {

namespace {

// Wine's mount manager request that maps a drive letter to a Unix folder;
// an empty mount point removes the letter again.
#pragma pack(push, 8)
struct UnixDriveRequest {
  ULONG size;
  ULONG type;
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};
#pragma pack(pop)
constexpr DWORD kDefineUnixDrive = 0x6DC080;

bool DefineUnixDrive(char letter, const std::string& unixFolder) {
  std::vector<char> buffer(sizeof(UnixDriveRequest) + unixFolder.size() + 1, 0);
  auto* request = reinterpret_cast<UnixDriveRequest*>(buffer.data());
  request->size = ULONG(buffer.size());
  request->type = unixFolder.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_CDROM;
  request->letter = WCHAR(letter - 'A' + 'a');
  if (!unixFolder.empty()) {
    request->mountPointOffset = USHORT(sizeof(UnixDriveRequest));
    std::memcpy(buffer.data() + sizeof(UnixDriveRequest), unixFolder.c_str(), unixFolder.size() + 1);
  }
  HANDLE manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), DWORD(buffer.size()), nullptr, 0,
                                  &returned, nullptr);
  CloseHandle(manager);
  return ok != FALSE;
}

std::string UnixPath(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return std::string();
  std::wstring wide(windowsPath.begin(), windowsPath.end());
  char* unix = toUnix(wide.c_str());
  if (!unix) return std::string();
  std::string path = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

}  // namespace

TestCDDrive::TestCDDrive(const std::string& label, const std::string& overUnixFolder) {
  // Wine reads the drive's label from this file in its root.
  if (!label.empty()) WriteFile(fDir.File(".windows-label"), label + "\n");
  const std::string unixFolder = overUnixFolder.empty() ? UnixPath(fDir.Path()) : overUnixFolder;
  // Test programs run side by side in one prefix: choosing a free letter and
  // taking it must be one step, or two programs take the same letter.
  HANDLE letters = CreateMutexA(nullptr, FALSE, "kxtest-cd-drive-letters");
  if (letters) WaitForSingleObject(letters, 30000);
  const DWORD used = GetLogicalDrives();
  for (char letter = 'R'; letter <= 'Y' && !fLetter; ++letter) {
    if (used & (1u << (letter - 'A'))) continue;
    if (!unixFolder.empty() && DefineUnixDrive(letter, unixFolder)) fLetter = letter;
  }
  if (letters) {
    ReleaseMutex(letters);
    CloseHandle(letters);
  }
}

TestCDDrive::~TestCDDrive() {
  if (fLetter) DefineUnixDrive(fLetter, std::string());
}

std::string TestCDDrive::Root() const { return std::string(1, fLetter) + ":\\"; }

}  // namespace dbtest
