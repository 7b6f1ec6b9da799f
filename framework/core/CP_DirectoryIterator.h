#pragma once
// A walk over the entries of one folder, optionally only those a filter
// accepts. Make it over a folder and an end iterator, call Next and stop
// when the walk equals the end; otherwise take Current.
//
// The walk makes its folder the process's current directory while it runs
// and puts the previous one back when it is destroyed, so two walks of
// different folders must not overlap in time.
#include "CP_FileSpec.h"
#include "CP_Win.h"

#include <string>

class CP_FileFilter;

class CP_DirectoryIterator {
 public:
  // The end of every walk.
  CP_DirectoryIterator();
  explicit CP_DirectoryIterator(const CP_FileSpec& folder);
  // The filter is borrowed and must outlive the walk.
  CP_DirectoryIterator(const CP_FileSpec& folder, CP_FileFilter* filter);
  CP_DirectoryIterator(const CP_DirectoryIterator&) = delete;
  CP_DirectoryIterator& operator=(const CP_DirectoryIterator&) = delete;
  // Closes a search that was abandoned before its end and restores the
  // current directory.
  ~CP_DirectoryIterator();

  // Moves to the next accepted entry; "." and ".." are never entries.
  CP_DirectoryIterator& Next();
  CP_FileSpec Current() const { return fCurrent; }
  // Equal when the names found last are equal: a finished walk equals the end.
  bool operator==(const CP_DirectoryIterator& other) const;

  static bool IsDotEntry(const char* name);

 private:
  bool FindNextEntry();
  void EndWalk();

  CP_FileSpec fFolder;
  CP_FileSpec fCurrent;
  CP_FileFilter* fFilter = nullptr;
  bool fStarted = false;
  HANDLE fSearch = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA fFound;
  std::string fSavedDirectory;
};
