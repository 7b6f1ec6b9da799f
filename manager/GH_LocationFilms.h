#pragma once
// Film files between locations: a location moved to a new folder takes its
// films along, and a film dropped on another location is copied there.
#include <cstdint>
#include <string>

struct PlaylistEntry;

// The drive number of a path ("C:..." gives 2), or -1 without a drive letter.
int32_t DriveIndexOfPath(const std::string& path);

// The size of folder + name; throws the framework's file error when the file
// does not open.
uint32_t FileSizeInFolder(std::string folder, const std::string& name);

// Moves (same drive) or copies (another drive) the files of the location's
// films from the old folder to the new one. 1 done, -1 not enough free space
// on the new drive, when nothing is copied.
int32_t MoveLocationFilms(int32_t locationId, std::string oldFolder, std::string newFolder);

// Copies the film's file into the target row's location and records it there
// with its actions. Answers the copy's result code, -1 when a path is
// missing; the failures are told to the user.
int32_t CopyFilmToItem(const PlaylistEntry& film, const PlaylistEntry& target);

// The message for a failed copy of the film with this title.
std::string CopyFailureText(int32_t result, const std::string& title, const std::string& destinationRoot);
