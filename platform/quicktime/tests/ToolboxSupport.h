#pragma once
// Shared by the toolbox tests: a scratch folder per test, films written into
// it, and file specifications for them. The same tests run natively against
// the toolbox and under Wine through the glue and QuickTime.qts.
#include "FilmBytes.h"
#include "QTToolbox.h"

#include <gtest/gtest.h>

#include <string>

namespace filmtest {

// A path of the build tree as the running program names it (Wine sees the
// Unix root as drive Z:).
std::string HostPath(const std::string& unixPath);

// An empty folder for the running test, inside the build tree.
std::string ScratchDir();
void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
bool Exists(const std::string& path);
bool Remove(const std::string& path);

FSSpec SpecFor(const std::string& path);
// Opens a film as the engine does: file, first movie, active, file closed.
// Answers the first error, with movie null.
OSErr LoadMovie(const std::string& path, Movie& movie);

// The track copy as the engine makes it: the given track of the source into
// a one-track movie file at the path. Answers the first checked error.
OSErr WriteTrackMovieFile(int32_t index, Movie source, const std::string& path);

// Starts and ends the toolbox around every test.
class ToolboxTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string dir_;
};

}  // namespace filmtest
