#pragma once
// A file in the temporary folder named after the running test, removed
// when the test ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

class TempFile {
public:
  explicit TempFile(const std::string& suffix = "") {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    fPath = ::testing::TempDir() + "kxstore_" + test->test_suite_name() + "_" + test->name() +
            suffix + ".bin";
    std::remove(fPath.c_str());
  }
  ~TempFile() { std::remove(fPath.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& Path() const { return fPath; }

  void Fill(const std::string& bytes) const {
    std::FILE* f = std::fopen(fPath.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  std::string Contents() const {
    std::string out;
    std::FILE* f = std::fopen(fPath.c_str(), "rb");
    if (!f) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    std::fclose(f);
    return out;
  }

  bool Exists() const {
    std::FILE* f = std::fopen(fPath.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
  }

private:
  std::string fPath;
};
