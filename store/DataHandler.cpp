#include "DataHandler.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include "Exception.h"
#include "LocalSystem.h"

namespace {

// The system's reason for the failure that just happened, read before
// anything else can change errno.
std::string Reason(int error) {
  return error != 0 ? std::strerror(error) : "the system gave no reason";
}

}  // namespace

void DataHandler_::Seek(int64_t, SeekFrom) { throw Assertion("Not implemented", 31, "DataHandler_"); }

uint64_t DataHandler_::Tell() { throw Assertion("Not implemented", 32, "DataHandler_"); }

uint64_t DataHandler_::Size() {
  const uint64_t position = Tell();
  Seek(0, SeekFrom::End);
  const uint64_t size = Tell();
  Seek(static_cast<int64_t>(position), SeekFrom::Start);
  return size;
}

FileDataHandler::FileDataHandler(const std::string& path, uint32_t mode) {
  static const char* const kModes[] = {"rb", "wb", "r+b"};
  if (mode > kReadWrite) throw Assertion("Assertion failed", 15, "FileDataHandler");
  fFile = std::fopen(path.c_str(), kModes[mode]);
  if (!fFile) throw FileOpenError("FileDataHandler, cannot open:" + path);
  Seek(0, SeekFrom::Start);
}

FileDataHandler::~FileDataHandler() {
  try {
    Close();
  } catch (const Exception&) {
    // A destructor cannot report; a save has flushed before it returned.
  }
}

uint64_t FileDataHandler::Read(void* buffer, uint64_t count) {
  if (!fFile) throw Assertion("Assertion failed", 40, "FileDataHandler");
  // A count beyond what the C library can take is a read past the end.
  const std::size_t wanted = count > SIZE_MAX ? SIZE_MAX : static_cast<std::size_t>(count);
  const std::size_t read = std::fread(buffer, 1, wanted, fFile);
  if (read != count) throw EOFException("FileDataHandler EOF");
  return read;
}

uint64_t FileDataHandler::Write(const void* buffer, uint64_t count) {
  if (!fFile) throw Assertion("Assertion failed", 53, "FileDataHandler");
  const std::size_t wanted = count > SIZE_MAX ? SIZE_MAX : static_cast<std::size_t>(count);
  fUnsynced = true;
  errno = 0;
  const std::size_t written = std::fwrite(buffer, 1, wanted, fFile);
  if (written != wanted) Fail("FileDataHandler, cannot write: ");
  return written;
}

// A failed flush must not pass for a saved file: the caller would go on to
// point a header at data that never reached the disk.
void FileDataHandler::Flush() {
  if (!fFile) return;
  errno = 0;
  if (std::fflush(fFile) != 0) Fail("FileDataHandler, cannot flush: ");
  if (!fUnsynced) return;
  errno = 0;
  if (!ForceToDisk(fFile)) Fail("FileDataHandler, cannot force the data to the disk: ");
  fUnsynced = false;
}

// The error indicator is cleared, so that a retried save is judged by its
// own writes.
void FileDataHandler::Fail(const std::string& what) {
  const int error = errno;
  std::clearerr(fFile);
  throw FileWriteError(what + Reason(error));
}

void FileDataHandler::Seek(int64_t position, SeekFrom origin) {
  if (!fFile) throw Assertion("Assertion failed", 67, "FileDataHandler");
  int whence;
  switch (origin) {
    case SeekFrom::Start: whence = SEEK_SET; break;
    case SeekFrom::Current: whence = SEEK_CUR; break;
    case SeekFrom::End: whence = SEEK_END; break;
    default: throw Assertion("Assertion failed", 82, "FileDataHandler");
  }
  // A refused seek would leave every later read or write at the wrong place.
  if (position < LONG_MIN || position > LONG_MAX ||
      std::fseek(fFile, static_cast<long>(position), whence) != 0) {
    throw IOError("FileDataHandler, cannot seek");
  }
}

uint64_t FileDataHandler::Tell() {
  if (!fFile) throw Assertion("Assertion failed", 89, "FileDataHandler");
  const long position = std::ftell(fFile);
  if (position < 0) throw IOError("FileDataHandler, cannot seek");
  return static_cast<uint64_t>(position);
}

void FileDataHandler::Close() {
  if (!fFile) return;
  std::string failure;
  try {
    Flush();
  } catch (const FileWriteError& e) {
    failure = e.GetMessageText();
  }
  std::FILE* file = fFile;
  fFile = nullptr;
  errno = 0;
  if (std::fclose(file) != 0 && failure.empty()) {
    failure = "FileDataHandler, cannot close: " + Reason(errno);
  }
  if (!failure.empty()) throw FileWriteError(failure);
}

std::string ToBackslashPath(const std::string& path) {
  std::string result = path;
  for (char& c : result) {
    if (c == '/') c = '\\';
  }
  return result;
}
