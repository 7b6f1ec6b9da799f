#pragma once
// Files that fail as a failing disk makes them fail, for as long as the
// object lives. The faults go into this program's imports of the system's
// file functions (ImportPatch), and only for paths under one folder: other
// files, and libraries of their own, are left alone.
#include "ImportPatch.h"

#include <cstdint>
#include <string>

namespace kxtest {

class DiskFaults {
 public:
  enum Fault {
    kFullAfter,   // the disk holds `room` bytes more: the write that passes them fails part way
    kFlushFails,  // the data written cannot be put on the disk
    kCloseFails,  // the close reports a write the system had deferred
  };

  // Applies to files opened under `folder` from now on.
  DiskFaults(const std::string& folder, Fault fault, uint64_t room = 0);
  ~DiskFaults();
  DiskFaults(const DiskFaults&) = delete;
  DiskFaults& operator=(const DiskFaults&) = delete;

  bool Applied() const;
  // The calls that failed so far.
  int Failures() const;

 private:
  static bool Prepare(const std::string& folder, Fault fault, uint64_t room);

  bool fPrepared;  // first: the faults are set before the imports change
  ImportPatch fCreate, fWrite, fFlush, fClose;
};

// A folder in which no new file can be made, answered as Windows answers
// for it: GetTempFileNameA fails with access denied. Wine refuses nothing to
// a program run as root, and its GetTempFileNameA answers a name even where
// it could make no file, so the refusal goes into this program's import of
// that function, for this one folder.
class RefusingFolder {
 public:
  explicit RefusingFolder(const std::string& path);
  ~RefusingFolder();
  RefusingFolder(const RefusingFolder&) = delete;
  RefusingFolder& operator=(const RefusingFolder&) = delete;

  bool Applied() const { return fPatch.Installed(); }

 private:
  ImportPatch fPatch;
};

}  // namespace kxtest
