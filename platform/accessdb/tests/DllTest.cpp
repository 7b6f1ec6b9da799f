// ACCESSDB.DLL and dbdao3.dll as the programs load them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "ImportText.h"
#include "TempDir.h"

namespace {

using ReadAccessDBFunction = int32_t(__stdcall*)(const char*, void*);

class AccessDbDllTest : public testing::Test {
 protected:
  void SetUp() override {
    dll_ = LoadLibraryA("ACCESSDB.DLL");
    ASSERT_NE(nullptr, dll_);
    read_ = reinterpret_cast<ReadAccessDBFunction>(reinterpret_cast<void*>(GetProcAddress(dll_, "ReadAccessDB")));
    ASSERT_NE(nullptr, read_) << "exported undecorated";
  }
  void TearDown() override {
    if (dll_) FreeLibrary(dll_);
  }

  int32_t ReadRows(int rows, uint8_t* buffer) {
    std::string text = "GHICD 2\r\nALIAS\tOld CD\r\n";
    for (int i = 1; i <= rows; ++i)
      text += "ITEM\t" + std::to_string(i) + "\t0\t1\t4\t1\tFilm\t0\t0\t0\t0\t1\t0\t0\t0\t\tf.flm\r\n";
    std::string path = dir_.File("GHICD.esk");
    std::ofstream(path, std::ios::binary) << text;
    return read_(path.c_str(), buffer);
  }

  TempDir dir_;
  HMODULE dll_ = nullptr;
  ReadAccessDBFunction read_ = nullptr;
};

int32_t Count(const uint8_t* b) { return int32_t(b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24); }

TEST_F(AccessDbDllTest, FillsTheBufferWithAtMostAHundredRows) {
  for (int rows : {0, 1, 100, 101}) {
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[accessdb::kBufferSize]);
    std::memset(buffer.get(), 0xCC, accessdb::kBufferSize);
    EXPECT_EQ(rows > 100 ? 3 : 0, ReadRows(rows, buffer.get())) << rows << ": 3 tells that items were left out";
    EXPECT_EQ(rows > 100 ? 100 : rows, Count(buffer.get())) << rows;
    EXPECT_STREQ("Old CD", reinterpret_cast<const char*>(buffer.get() + accessdb::kAliasOffset));
  }
}

TEST_F(AccessDbDllTest, MissingFileImportsNothing) {
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[accessdb::kBufferSize]);
  std::memset(buffer.get(), 0xCC, accessdb::kBufferSize);
  EXPECT_EQ(1, read_(dir_.File("nothing.esk").c_str(), buffer.get()));
  EXPECT_EQ(0, Count(buffer.get()));
  EXPECT_EQ(0, buffer[accessdb::kAliasOffset]);
  EXPECT_EQ(1, read_(nullptr, buffer.get()));
  EXPECT_EQ(1, read_(dir_.File("nothing.esk").c_str(), nullptr));
}

TEST(DaoPresenceTest, DbDao3Loads) {
  HMODULE dao = LoadLibraryA("dbdao3.dll");
  EXPECT_NE(nullptr, dao);
  if (dao) FreeLibrary(dao);
}

}  // namespace
