#include "FilmFolder.h"

#include "../../tests/ByteFixture.h"

#include <cstdio>

void FilmFolder::SetUp() {
  fOldFolder = std::filesystem::current_path();
  std::filesystem::current_path(::testing::TempDir());
}

void FilmFolder::TearDown() {
  for (const std::string& name : fNames) std::remove(name.c_str());
  std::filesystem::current_path(fOldFolder);
}

std::string FilmFolder::Name(const std::string& suffix) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("kxlib_") + test->test_suite_name() + "_" + test->name() + "_" +
                     suffix + ".flm";
  std::remove(name.c_str());
  fNames.push_back(name);
  return name;
}

std::string FilmFolder::Write(const std::string& suffix, const Bytes& bytes) {
  const std::string name = Name(suffix);
  std::FILE* f = std::fopen(name.c_str(), "wb");
  EXPECT_NE(nullptr, f) << name;
  if (!f) return name;
  EXPECT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  return name;
}

Bytes FilmFolder::Read(const std::string& name) const { return kxfixture::ReadBytes(name); }
