#pragma once
// The library manager's film readers that go through the movie toolbox:
// the preferences of films without user data, which come from the movie's
// own user-data items, and file specifications of film paths.
#include <string>

#include "FilmDataReaders.h"
#include "QTToolbox.h"

namespace manager_data {

// Owns a toolbox memory handle; move-only.
class MemoryHandle {
public:
  MemoryHandle() = default;
  explicit MemoryHandle(Handle handle) : fHandle(handle) {}
  ~MemoryHandle() { Reset(); }
  MemoryHandle(MemoryHandle&& other) noexcept : fHandle(other.fHandle) { other.fHandle = nullptr; }
  MemoryHandle& operator=(MemoryHandle&& other) noexcept;
  MemoryHandle(const MemoryHandle&) = delete;
  MemoryHandle& operator=(const MemoryHandle&) = delete;

  Handle Get() const { return fHandle; }
  explicit operator bool() const { return fHandle != nullptr; }
  void Reset();

private:
  Handle fHandle = nullptr;
};

// The film's stored preferences; for a film without user data, the
// defaults. Open and store errors reach the caller.
void ReadFilmPreferences(const std::string& path, Preferences& preferences);

// The movie's 'AANM' and 'AACY' items and the fixed defaults. A film the
// toolbox cannot open, or whose user data it cannot give, leaves the map as
// it was; nothing is reported.
void ReadFilmDefaults(const std::string& path, Preferences& preferences);

// The data of the first item of the type; none when there is no such item
// or the toolbox fails.
MemoryHandle ReadUserDataItem(UserData userData, OSType type);

// The toolbox's specification of an existing file. For a missing file, or
// a path longer than a specification can name, the specification is
// cleared and names no file.
void PathToFileSpec(FSSpec& spec, const std::string& path);

// Moves the controller to its movie's poster frame: action 12 with the
// poster time in the movie's time scale.
void SendMovieValuesToController(MovieController controller, Movie movie);

}  // namespace manager_data
