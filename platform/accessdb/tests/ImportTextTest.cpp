// The version-2 description read into the import buffer: row counts up to
// and past the buffer's 100 rows, every field's place, and refused files.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "ImportText.h"

using namespace accessdb;

namespace {

int32_t I32(const uint8_t* p) { return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24); }
int16_t I16(const uint8_t* p) { return int16_t(uint16_t(p[0] | p[1] << 8)); }
std::string Text(const uint8_t* p) { return reinterpret_cast<const char*>(p); }

std::string Item(int id) {
  return "ITEM\t" + std::to_string(id) + "\t" + std::to_string(id * 10) + "\t-1\t4\t1\tFilm " + std::to_string(id) +
         "\t-3\t1\t2\t10\t1\t5\t6\t7\tfolder\tfilm.flm\tignored\tVOL\torigin\n";
}

std::string Description(int rows) {
  std::string text = "GHICD 2\r\nALIAS\tOld CD\r\n";
  for (int i = 1; i <= rows; ++i) text += Item(i);
  return text;
}

// The buffer sits alone on the heap, so a write past its end is caught.
struct Buffer {
  std::unique_ptr<uint8_t[]> bytes{new uint8_t[kBufferSize]};
  Buffer() { std::memset(bytes.get(), 0xCC, kBufferSize); }
  const uint8_t* Row(int i) const { return bytes.get() + kRowsOffset + size_t(i) * kRowSize; }
};

TEST(ImportTextTest, RowCountsUpToTheBufferAndPast) {
  for (int rows : {0, 1, 100, 101, 250}) {
    Buffer b;
    std::string why;
    ASSERT_EQ(rows > kMaxRows ? Result::Cut : Result::Ok, FillImportBuffer(Description(rows), b.bytes.get(), why))
        << rows << why;
    EXPECT_EQ(rows > kMaxRows ? kMaxRows : rows, I32(b.bytes.get())) << rows;
    EXPECT_EQ("Old CD", Text(b.bytes.get() + kAliasOffset));
    if (rows >= 100) {
      EXPECT_EQ(100, I32(b.Row(99))) << "the 100th row is kept";
    }
    if (rows == 0) {
      EXPECT_EQ(0, b.Row(0)[0]) << "unused rows are cleared";
    }
  }
}

TEST(ImportTextTest, EveryValueLandsInItsPlace) {
  Buffer b;
  std::string why;
  ASSERT_EQ(Result::Ok, FillImportBuffer(Description(1), b.bytes.get(), why)) << why;
  const uint8_t* r = b.Row(0);
  EXPECT_EQ(1, I32(r + 0));
  EXPECT_EQ(10, I32(r + 4));
  EXPECT_EQ(-1, I32(r + 8));
  EXPECT_EQ(4, I32(r + 12));
  EXPECT_EQ(1, I32(r + 16));
  EXPECT_EQ("Film 1", Text(r + 20));
  EXPECT_EQ(-3, I16(r + 220));
  EXPECT_EQ(1, I32(r + 224));
  EXPECT_EQ(2, I32(r + 228));
  EXPECT_EQ(10, I32(r + 232));
  EXPECT_EQ(1, I32(r + 236));
  EXPECT_EQ(5, I32(r + 240));
  EXPECT_EQ(6, I32(r + 244));
  EXPECT_EQ(7, I32(r + 248));
  EXPECT_EQ("folder", Text(r + 252));
  EXPECT_EQ("film.flm", Text(r + 452));
  EXPECT_EQ("ignored", Text(r + 652));
  EXPECT_EQ("VOL", Text(r + 852));
  EXPECT_EQ("origin", Text(r + 1052));
}

TEST(ImportTextTest, TextsAreCutAndAlwaysEnded) {
  std::string longText(500, 'x');
  std::string text = "GHICD 2\nALIAS\t" + longText + "\nITEM\t1\t0\t0\t1\t0\t" + longText +
                     "\t0\t0\t0\t0\t0\t0\t0\t0\n";  // the last five texts left out
  Buffer b;
  std::string why;
  ASSERT_EQ(Result::Ok, FillImportBuffer(text, b.bytes.get(), why)) << why;
  EXPECT_EQ(std::string(99, 'x'), Text(b.bytes.get() + kAliasOffset));
  EXPECT_EQ(std::string(199, 'x'), Text(b.Row(0) + 20));
  EXPECT_EQ("", Text(b.Row(0) + 252));
  EXPECT_EQ("", Text(b.Row(0) + 1052));
}

TEST(ImportTextTest, MalformedDescriptionsImportNothing) {
  const struct {
    const char* name;
    std::string text;
    Result want;
  } cases[] = {
      {"empty file", "", Result::Malformed},
      {"other signature", "GHICD 3\nALIAS\tx\n", Result::Malformed},
      {"unknown line", "GHICD 2\nALIAS\tx\nFILM\t1\n", Result::Malformed},
      {"two aliases", "GHICD 2\nALIAS\tx\nALIAS\ty\n", Result::Malformed},
      {"too few values", "GHICD 2\nALIAS\tx\nITEM\t1\t2\t3\n", Result::Malformed},
      {"too many values", "GHICD 2\nITEM" + std::string(20, '\t') + "\n", Result::Malformed},
      {"no number", "GHICD 2\nALIAS\tx\n" + Item(1) + "ITEM\tone\t0\t0\t1\t0\tt\t0\t0\t0\t0\t0\t0\t0\t0\n",
       Result::Malformed},
      {"number too large", "GHICD 2\nITEM\t2147483648\t0\t0\t1\t0\tt\t0\t0\t0\t0\t0\t0\t0\t0\n", Result::Malformed},
      {"icon too large", "GHICD 2\nITEM\t1\t0\t0\t1\t0\tt\t32768\t0\t0\t0\t0\t0\t0\t0\n", Result::Malformed},
      {"comments and blanks", "# made by hand\n\nGHICD 2\n\n# none\nALIAS\tx\n", Result::Ok},
      {"too large a file", "GHICD 2\n" + std::string(kMaxFileSize, '#'), Result::Unreadable},
  };
  for (const auto& c : cases) {
    Buffer b;
    std::string why;
    EXPECT_EQ(c.want, FillImportBuffer(c.text, b.bytes.get(), why)) << c.name;
    if (c.want != Result::Ok) {
      EXPECT_EQ(0, I32(b.bytes.get())) << c.name;
      EXPECT_EQ(0, b.bytes[kAliasOffset]) << c.name << ": no alias, so nothing is registered";
      EXPECT_EQ(0, b.Row(0)[20]) << c.name;
    }
  }
}

}  // namespace
