#include "GH_FoundFilms.h"

#include "CP_FileSystem.h"

namespace gh_library {

FoundFilm JudgeFoundFilm(const std::string& found, const std::vector<std::string>& rowFiles, size_t& lostRow) {
  if (rowFiles.empty()) return FoundFilm::NotListed;
  bool lost = false, other = false;
  for (size_t i = 0; i < rowFiles.size(); ++i) {
    switch (CP_FileSystem::FileState(rowFiles[i])) {
      case CP_FileSystem::FilePresence::Present:
        if (CP_FileSystem::SameFile(found, rowFiles[i])) return FoundFilm::OwnFile;
        other = true;
        break;
      case CP_FileSystem::FilePresence::Missing:
        if (!lost) lostRow = i;
        lost = true;
        break;
      case CP_FileSystem::FilePresence::Unknown:
        break;
    }
  }
  if (lost) return FoundFilm::Renamed;
  return other ? FoundFilm::SecondCopy : FoundFilm::Unsure;
}

FilmRecording TakeListedFilm(const std::string& found, const std::vector<std::string>& rowFiles,
                             const std::function<bool(size_t row)>& rename) {
  size_t lost = 0;
  switch (JudgeFoundFilm(found, rowFiles, lost)) {
    case FoundFilm::NotListed:
      return FilmRecording::NotRecorded;
    case FoundFilm::SecondCopy:
      return FilmRecording::AlreadyListed;
    case FoundFilm::OwnFile:
    case FoundFilm::Unsure:
      return FilmRecording::Kept;
    case FoundFilm::Renamed:
      break;
  }
  return rename(lost) ? FilmRecording::Renamed : FilmRecording::RenameFailed;
}

std::string RowFile(const std::string& folder, const std::string& rowFolder, const std::string& fileName) {
  std::string path = folder;
  if (!path.empty() && path.back() != '\\') path += '\\';
  if (!rowFolder.empty()) path += rowFolder + "\\";
  return path + fileName;
}

}  // namespace gh_library
