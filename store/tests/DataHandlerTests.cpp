#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "TempFile.h"
#include "store/DataHandler.h"
#include "store/Exception.h"
#include "store/Stream.h"

namespace {

std::string Numbered(std::size_t n) {
  std::string bytes;
  for (std::size_t i = 0; i < n; ++i) bytes += static_cast<char>(i);
  return bytes;
}

TEST(FileDataHandler, SizeKeepsThePosition) {
  TempFile file;
  file.Fill(Numbered(100));
  FileDataHandler handler(file.Path(), FileDataHandler::kRead);
  handler.Seek(40, SeekFrom::Start);
  EXPECT_EQ(100u, handler.Size());
  EXPECT_EQ(40u, handler.Tell());
  unsigned char byte = 0;
  handler.Read(&byte, 1);
  EXPECT_EQ(40, byte);
}

TEST(FileDataHandler, AShortReadIsTheEndOfTheFile) {
  TempFile file;
  file.Fill(Numbered(100));
  FileDataHandler handler(file.Path(), FileDataHandler::kRead);
  handler.Seek(-5, SeekFrom::End);
  char buffer[10];
  try {
    handler.Read(buffer, 10);
    FAIL() << "no error";
  } catch (const EOFException& e) {
    EXPECT_EQ("FileDataHandler EOF", e.GetMessageText());
  }
  EXPECT_EQ(100u, handler.Tell());  // the five bytes were consumed
}

TEST(FileDataHandler, OpeningFailures) {
  TempFile file;
  try {
    FileDataHandler handler(file.Path(), 3);
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 15 in FileDataHandler", e.GetMessageText());
  }
  EXPECT_FALSE(file.Exists());  // refused before the file was touched

  try {
    FileDataHandler handler(file.Path(), FileDataHandler::kRead);
    FAIL() << "no error";
  } catch (const FileOpenError& e) {
    EXPECT_EQ("FileDataHandler, cannot open:" + file.Path(), e.GetMessageText());
  }
}

TEST(FileDataHandler, WritesCreateAndReadWriteKeeps) {
  TempFile file;
  {
    FileDataHandler handler(file.Path(), FileDataHandler::kCreate);
    EXPECT_EQ(6u, handler.Write("abcdef", 6));
  }
  {
    FileDataHandler handler(file.Path(), FileDataHandler::kReadWrite);
    handler.Seek(2, SeekFrom::Start);
    EXPECT_EQ(2u, handler.Write("XY", 2));
  }
  EXPECT_EQ("abXYef", file.Contents());
}

TEST(FileDataHandler, AClosedOrMisplacedHandlerFails) {
  TempFile file;
  file.Fill("abc");
  FileDataHandler handler(file.Path(), FileDataHandler::kRead);
  // A seek the C library refuses must not leave reads at the old place.
  EXPECT_THROW(handler.Seek(-10, SeekFrom::Start), IOError);
  handler.Close();
  char byte;
  try {
    handler.Read(&byte, 1);
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 40 in FileDataHandler", e.GetMessageText());
  }
  EXPECT_THROW(handler.Write("a", 1), Assertion);
  EXPECT_THROW(handler.Seek(0, SeekFrom::Start), Assertion);
  EXPECT_THROW(handler.Tell(), Assertion);
}

// Devices that fail as a disk can: every write to the first finds it full;
// the second takes the bytes but cannot force them to a disk.
#ifdef _WIN32
const char kFullDevice[] = "Z:\\dev\\full";
const char kNoDiskDevice[] = "Z:\\dev\\null";
#else
const char kFullDevice[] = "/dev/full";
const char kNoDiskDevice[] = "/dev/null";
#endif

bool Opens(const char* path) {
  std::FILE* f = std::fopen(path, "r+b");
  if (f) std::fclose(f);
  return f != nullptr;
}

void ExpectWriteError(const std::function<void()>& step, const std::string& start,
                      const char* name) {
  try {
    step();
    ADD_FAILURE() << name << ": no error";
  } catch (const FileWriteError& e) {
    EXPECT_EQ(start, e.GetMessageText().substr(0, start.size())) << name;
  }
}

// Most writes only fill the C library's buffer: a full disk shows at the
// flush, or at the close, and must not pass for a written file.
TEST(FileDataHandler, AFullDiskIsReported) {
  if (!Opens(kFullDevice)) GTEST_SKIP() << "no " << kFullDevice;
  const std::string bytes(100000, 'x');
  const struct {
    const char* name;
    std::function<void(FileDataHandler&)> step;
    const char* error;
  } kCases[] = {
      {"a small write, flushed", [](FileDataHandler& f) { f.Write("abc", 3); f.Flush(); },
       "FileDataHandler, cannot flush: "},
      {"a small write, closed", [](FileDataHandler& f) { f.Write("abc", 3); f.Close(); },
       "FileDataHandler, cannot flush: "},
      {"a write larger than the buffer",
       [&bytes](FileDataHandler& f) { f.Write(bytes.data(), bytes.size()); },
       "FileDataHandler, cannot write: "},
  };
  for (const auto& c : kCases) {
    FileDataHandler handler(kFullDevice, FileDataHandler::kReadWrite);
    ExpectWriteError([&] { c.step(handler); }, c.error, c.name);
  }
  // Through a stream, a failed flush is a WriteError like a short write.
  FileDataHandler handler(kFullDevice, FileDataHandler::kReadWrite);
  StreamDataHandler stream(&handler);
  stream.WriteUInt32(5);
  EXPECT_THROW(stream.Flush(), WriteError);
}

// A save points its header at data only once the data is on the disk.
TEST(FileDataHandler, FlushForcesTheDataToTheDisk) {
  if (!Opens(kNoDiskDevice)) GTEST_SKIP() << "no " << kNoDiskDevice;
  FileDataHandler handler(kNoDiskDevice, FileDataHandler::kReadWrite);
  EXPECT_EQ(3u, handler.Write("abc", 3));
  ExpectWriteError([&] { handler.Flush(); }, "FileDataHandler, cannot force the data to the disk: ",
                   "flush");
  // Nothing written since: nothing to force.
  TempFile file;
  file.Fill("abc");
  FileDataHandler reader(file.Path(), FileDataHandler::kRead);
  EXPECT_NO_THROW(reader.Flush());
  EXPECT_NO_THROW(reader.Close());
}

TEST(StreamDataHandler, SeeksAndTellsAsItsFile) {
  TempFile file;
  FileDataHandler handler(file.Path(), FileDataHandler::kCreate);
  StreamDataHandler stream(&handler);
  stream.WriteUInt32(5);
  stream.WriteString("abc");
  EXPECT_EQ(handler.Tell(), stream.Tell());
  EXPECT_EQ(13u, stream.Size());
  stream.Seek(5, SeekFrom::Start);
  EXPECT_EQ(5u, handler.Tell());
  stream.Seek(-3, SeekFrom::End);
  EXPECT_EQ(10u, handler.Tell());
}

TEST(DataHandlerHelpers, BackslashPath) {
  EXPECT_EQ("a\\b\\c.flm", ToBackslashPath("a/b\\c.flm"));
  EXPECT_EQ("", ToBackslashPath(""));
}

}  // namespace
