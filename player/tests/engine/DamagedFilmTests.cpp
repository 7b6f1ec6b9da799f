// A damaged film in a films folder: the start records it as a film
// without its own data and goes on.
#include "EngineStart.h"

#include <cstdio>
#include <vector>

namespace {

using engine::EngineStart;

// A film whose own database ends an object early: the Database object's
// first value is an end-of-object tag.
void WriteDamagedFilm(const std::string& path) {
  WriteFilmFile(path, true, {{"name", "Broken"}}, {{"Press", "launchURL(URL=\"x\")"}});
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(nullptr, f);
  std::vector<unsigned char> bytes;
  for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<unsigned char>(c));
  // The header: tag 10 and the object offset, then tag 10 and the magic.
  const unsigned char magic[] = {0x0A, 0xD8, 0xFB, 0xE6, 0x68};
  size_t at = 0;
  for (size_t i = 5; i + sizeof magic <= bytes.size() && !at; ++i)
    if (std::equal(magic, magic + sizeof magic, bytes.begin() + long(i))) at = i - 5;
  ASSERT_NE(0u, at) << "no database in the film";
  // Behind the 22-byte header, the Database object: begin tag, its class
  // name (tag, length, eight characters), then its first value.
  at += 22 + 14;
  ASSERT_LT(at, bytes.size());
  ASSERT_EQ(0x0A, bytes[at]);
  std::fseek(f, long(at), SEEK_SET);
  std::fputc(0x02, f);
  std::fclose(f);
}

}  // namespace

TEST_F(EngineStart, ADamagedFilmIsRecordedWithoutItsDataAndTheEngineStarts) {
  const std::string films = MakeInstallation();
  WriteDamagedFilm(films + "\\Broken.flm");
  Run("");
  ASSERT_NE(nullptr, MainPane());
  EXPECT_NE(nullptr, engine::OwnWindow("MainVideoWindow"));
  EXPECT_FALSE(application->IsQuitting());
  // Its row takes the movie's own name, as a film without data does, and
  // none of its bindings.
  const std::vector<std::string> rows = Rows("GH_ConfigDB", {"FileName", "ITEMTEXT"});
  bool recorded = false;
  for (const std::string& row : rows) recorded |= row.find("FileName=Broken.flm ITEMTEXT=Tiny film") == 0;
  EXPECT_TRUE(recorded) << ::testing::PrintToString(rows);
  EXPECT_TRUE(Rows("GH_ActionDB", {"SPRITE"}).empty());
}
