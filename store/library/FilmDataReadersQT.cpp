#include "FilmDataReadersQT.h"

#include <cstring>
#include <optional>

#include "store/StrStream.h"

namespace manager_data {

namespace {

constexpr OSType kNameItem = FourCharCode("AANM");
constexpr OSType kCopyrightItem = FourCharCode("AACY");

// Disposes of the movie, and with it its user data.
class OwnedMovie {
public:
  explicit OwnedMovie(Movie movie) : fMovie(movie) {}
  ~OwnedMovie() {
    if (fMovie) DisposeMovie(fMovie);
  }
  OwnedMovie(const OwnedMovie&) = delete;
  OwnedMovie& operator=(const OwnedMovie&) = delete;
  Movie Get() const { return fMovie; }

private:
  Movie fMovie;
};

std::optional<std::string> ItemText(UserData userData, OSType type) {
  MemoryHandle data = ReadUserDataItem(userData, type);
  if (!data) return std::nullopt;
  const int32_t size = GetHandleSize(data.Get());
  if (size <= 0 || !*data.Get()) return std::string();
  return UserDataItemText(*data.Get(), static_cast<std::size_t>(size));
}

}  // namespace

MemoryHandle& MemoryHandle::operator=(MemoryHandle&& other) noexcept {
  if (this != &other) {
    Reset();
    fHandle = other.fHandle;
    other.fHandle = nullptr;
  }
  return *this;
}

void MemoryHandle::Reset() {
  if (fHandle) DisposeHandle(fHandle);
  fHandle = nullptr;
}

void ReadFilmPreferences(const std::string& path, Preferences& preferences) {
  if (!ReadStoredPreferences(path, preferences)) ReadFilmDefaults(path, preferences);
}

void ReadFilmDefaults(const std::string& path, Preferences& preferences) {
  FSSpec spec;
  PathToFileSpec(spec, path);
  int16_t file = 0;
  if (OpenMovieFile(&spec, &file, fsRdPerm) != noErr) return;
  Movie movie = nullptr;
  const OSErr error = NewMovieFromFile(&movie, file, nullptr, nullptr, 0, nullptr);
  CloseMovieFile(file);
  if (error != noErr || !movie) return;
  OwnedMovie owned(movie);
  UserData userData = GetMovieUserData(owned.Get());
  if (GetMoviesError() != noErr || !userData) return;
  const std::optional<std::string> name = ItemText(userData, kNameItem);
  const std::optional<std::string> copyright = ItemText(userData, kCopyrightItem);
  StoreFilmDefaults(preferences, name, copyright);
}

MemoryHandle ReadUserDataItem(UserData userData, OSType type) {
  if (CountUserDataType(userData, type) <= 0) return MemoryHandle();
  MemoryHandle data(NewHandle(0));
  if (!data) return MemoryHandle();
  GetUserData(userData, data.Get(), type, 1);
  if (GetMoviesError() != noErr) return MemoryHandle();
  return data;
}

void PathToFileSpec(FSSpec& spec, const std::string& path) {
  std::memset(&spec, 0, sizeof spec);
  // A length byte counts at most 255: a longer path, cut, would name
  // another file.
  if (path.size() > 255 || !FileExists(path)) return;
  Str255 name;
  StringToLengthPrefixed(path, name);
  FSMakeFSSpec(0, 0, name, &spec);
}

void SendMovieValuesToController(MovieController controller, Movie movie) {
  TimeRecord time = {};
  time.value.lo = static_cast<uint32_t>(GetMoviePosterTime(movie));
  time.value.hi = 0;
  time.scale = GetMovieTimeScale(movie);
  time.base = nullptr;
  MCDoAction(controller, mcActionGoToTime, &time);
}

}  // namespace manager_data
