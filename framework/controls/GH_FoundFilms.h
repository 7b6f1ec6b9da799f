#pragma once
// What a film file found in a location's folder is, when the library lists
// a film of the same title (its name and size) under that location: a true
// second copy, a listed film under a new file name, or a listed film's own
// file. Both programs offer a found file for deletion only when it is a
// true second copy.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// What became of a film file offered for recording.
enum class FilmRecording {
  Recorded,       // a new film row
  AlreadyListed,  // the same film is listed already: the file is a true second copy
  NotRecorded,    // the item table or the location row could not be had
  AppendFailed,   // the item table would not take the row
  Renamed,        // a listed film whose file had gone: its row took the file's name
  RenameFailed,   // the same, but the item table would not take the new name
  Kept,           // a listed film's own file, or one that could not be told
                  // from it: nothing is written and nothing asked
};

namespace gh_library {

enum class FoundFilm {
  NotListed,   // no film row shows that title: the file is a new film
  OwnFile,     // it is a listed row's own file, its name spelt otherwise
  Renamed,     // a listed row's file has gone: the found file is that film
  SecondCopy,  // a listed row's own file is there, and is another file
  Unsure,      // no listed row's file could be looked at (a path, network or access error)
};

// `rowFiles` holds the paths of the listed rows' files; `lostRow` gets the
// index of the first whose file has gone. A row that has lost its file is
// taken before a second copy: renaming it loses nothing.
FoundFilm JudgeFoundFilm(const std::string& found, const std::vector<std::string>& rowFiles, size_t& lostRow);

// What becomes of a found film whose title is listed: `rename` gives the
// row at that index of `rowFiles` the found file's name and answers whether
// the row took it. NotRecorded when no film row shows the title, so that
// the film is new.
FilmRecording TakeListedFilm(const std::string& found, const std::vector<std::string>& rowFiles,
                             const std::function<bool(size_t row)>& rename);

// The file of a film row whose files lie in `folder`: the row's own folder
// in it when the row has one, and the row's file name.
std::string RowFile(const std::string& folder, const std::string& rowFolder, const std::string& fileName);

}  // namespace gh_library
