// The temporary file of a film copy: what the next copy into a folder does
// with the temporary copies that a crash left there.
#include "FileTestSupport.h"
#include "GH_PartialCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using kxtest::TempFolder;

// Only what a crash left goes: files of the temporary copies' own names,
// written some minutes ago and open nowhere. A copy under way (its file
// open, or written a moment ago) and every other file stay.
TEST(PartialCopyTest, TheNextCopyRemovesOnlyWhatACrashLeft) {
  struct Entry {
    const char* name;
    int minutesAgo;
    bool heldOpen;
    bool folder;
    bool removed;
  } const entries[] = {
      {"kx1a2b.tmp", 60, false, false, true},
      {"KX00FF.TMP", 60, false, false, true},
      {"kx7.tmp", 10, false, false, true},
      {"kx3c4d.tmp", 60, true, false, false},   // another copy is writing it
      {"kx5e6f.tmp", 0, false, false, false},   // another copy has just written it
      {"kxnotes.tmp", 60, false, false, false},
      {"kx12345.tmp", 60, false, false, false},
      {"report.tmp", 60, false, false, false},
      {"kx1a2b.flm", 60, false, false, false},
      {"kx0001.tmp", 60, false, true, false},
  };
  TempFolder folder;
  std::vector<HANDLE> held;
  std::vector<std::string> kept = {"film.flm"};
  for (const Entry& e : entries) {
    const std::string path = folder / e.name;
    if (e.folder)
      ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    else
      ASSERT_TRUE(kxtest::WriteWholeFile(path, "half a film"));
    ASSERT_TRUE(kxtest::WrittenMinutesAgo(path, e.minutesAgo));
    if (e.heldOpen)
      held.push_back(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!e.removed) kept.push_back(e.name);
  }
  std::sort(kept.begin(), kept.end());

  {
    GH_PartialCopy copy(folder / "film.flm");
    ASSERT_EQ(GH_PartialCopy::kReady, copy.Begin());
    uint32_t count = 4;
    copy.File().Write("film", &count);
    EXPECT_EQ(GH_PartialCopy::kReady, copy.Finish());
  }
  for (HANDLE h : held) CloseHandle(h);
  EXPECT_EQ(kept, kxtest::FolderEntries(folder.Path()));
  EXPECT_EQ("film", kxtest::ReadWholeFile(folder / "film.flm"));
}

}  // namespace
