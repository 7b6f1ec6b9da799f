#include "DatabaseFixture.h"

#include <cstdio>

#include "CP_Win.h"
#include "Database.h"
#include "FilmBytes.h"
#include "store/Database.h"
#include "store/library/ActionTable.h"
#include "store/library/FilmUserData.h"
#include "store/library/LibrarySchema.h"
#include "store/library/StringMaps.h"

namespace {

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name;
}

struct TableHandle {
  C4Engine engine{};
  C4Table* table = nullptr;
  explicit TableHandle(const std::string& path) {
    C4Init(&engine, nullptr, C4_VERSION, 0, 0);
    table = C4Open(&engine, path.c_str());
  }
  ~TableHandle() { C4Release(&engine); }
};

}  // namespace

std::string MakeTempFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "kxeng_" + name;
  RemoveTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

void DatabaseFixture::SetUp() {
  fFolder = MakeTempFolder(TestName());
  std::string why;
  ASSERT_EQ(xbase::Code::Ok, kxdb::SeedDatabase(fFolder, why)) << why;
  WriteSetting("DBPath", fFolder.c_str());
  WriteSetting("MovieDirectory", nullptr);
}

void DatabaseFixture::TearDown() {
  WriteSetting("DBPath", nullptr);
  WriteSetting("MovieDirectory", nullptr);
  RemoveTree(fFolder);
}

std::unique_ptr<CDDatabase> DatabaseFixture::Open(const std::string& application) {
  return std::make_unique<CDDatabase>(application);
}

void DatabaseFixture::AddRow(const std::string& table, const std::vector<Cell>& cells, bool deleted) {
  TableHandle h(TablePath(table));
  ASSERT_NE(nullptr, h.table) << table;
  ASSERT_EQ(0, C4AppendStart(h.table, 1));
  for (const Cell& c : cells) {
    C4Field* f = C4FindField(h.table, c.field);
    ASSERT_NE(nullptr, f) << c.field;
    ASSERT_EQ(0, c.text ? C4SetText(f, c.text) : C4SetNumber(f, c.number)) << c.field;
  }
  ASSERT_EQ(0, C4Append(h.table));
  if (deleted) {
    ASSERT_EQ(0, C4MarkDeleted(h.table));
  }
  ASSERT_EQ(0, C4Flush(h.table));
}

void DatabaseFixture::EmptyTable(const std::string& table) {
  TableHandle h(TablePath(table));
  ASSERT_NE(nullptr, h.table) << table;
  for (int32_t code = C4First(h.table); code == 0; code = C4Skip(h.table, 1)) C4MarkDeleted(h.table);
  C4Pack(h.table);
  C4CompactMemo(h.table);
}

void DatabaseFixture::RemoveRows(const std::string& table, const char* field, int32_t number) {
  TableHandle h(TablePath(table));
  ASSERT_NE(nullptr, h.table) << table;
  C4Field* f = C4FindField(h.table, field);
  ASSERT_NE(nullptr, f) << field;
  for (int32_t code = C4First(h.table); code == 0; code = C4Skip(h.table, 1)) {
    if (C4GetNumber(f) == number) {
      ASSERT_EQ(0, C4MarkDeleted(h.table));
    }
  }
  ASSERT_EQ(0, C4Pack(h.table));
}

std::vector<std::string> DatabaseFixture::Rows(const std::string& table, const std::vector<std::string>& fields) {
  std::vector<std::string> rows;
  TableHandle h(TablePath(table));
  EXPECT_NE(nullptr, h.table) << table;
  if (!h.table) return rows;
  C4SelectTag(h.table, nullptr);
  for (int32_t code = C4First(h.table); code == 0; code = C4Skip(h.table, 1)) {
    std::string row = C4IsDeleted(h.table) ? "*" : "";
    for (const std::string& name : fields) {
      C4Field* f = C4FindField(h.table, name.c_str());
      if (!f) continue;
      std::string value = C4GetMemo(f);
      const std::size_t first = value.find_first_not_of(' ');
      value = first == std::string::npos ? "" : value.substr(first, value.find_last_not_of(' ') + 1 - first);
      row += (row.empty() || row == "*" ? "" : " ") + name + "=" + value;
    }
    rows.push_back(row);
  }
  return rows;
}

void DatabaseFixture::WriteSetting(const std::string& key, const char* value) {
  WritePrivateProfileStringA("Glintharbour", key.c_str(), value, "Glintharbour.ini");
}

std::string DatabaseFixture::ReadSetting(const std::string& key) {
  char value[256] = {};
  GetPrivateProfileStringA("Glintharbour", key.c_str(), "<missing>", value, sizeof value, "Glintharbour.ini");
  return value;
}

void WriteFilmFile(const std::string& path, bool withData, const std::map<std::string, std::string>& preferences,
                   const std::vector<std::pair<std::string, std::string>>& actions) {
  filmbytes::FilmOptions options;
  options.userDataFirst = withData;
  const Bytes bytes = filmbytes::Film(options);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  if (!withData) return;
  filmbytes::AddFilmData(path, actions, preferences);
}
