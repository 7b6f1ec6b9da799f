#pragma once
// A folder for the films of one test.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FilmBytes.h"

// Each test works in the temporary folder and names its films plainly: the
// readers turn '/' into '\', which a native path would not survive.
class FilmFolder : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // A file name for this test; the file is removed when the test ends.
  std::string Name(const std::string& suffix);
  std::string Write(const std::string& suffix, const Bytes& bytes);
  Bytes Read(const std::string& name) const;

private:
  std::filesystem::path fOldFolder;
  std::vector<std::string> fNames;
};
