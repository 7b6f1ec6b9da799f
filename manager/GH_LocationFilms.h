#pragma once
// Film files between locations: a location moved to a new folder takes its
// films along, and a film dropped on another location is copied there.
#include <cstdint>
#include <string>

struct DriveRecord;
struct PlaylistEntry;

// The drive number of a path ("C:..." gives 2), or -1 without a drive letter.
int32_t DriveIndexOfPath(const std::string& path);

// The size of folder + name, films of 2 GB and more included; throws the
// framework's file error when the file does not open.
uint64_t FileSizeInFolder(std::string folder, const std::string& name);

// What a location's move came to.
enum : int32_t { kMoveStopped = 0, kMoveDone = 1, kMoveNoSpace = -1 };

// Gives the location whose drive row this is a new folder, all or nothing:
// the files of its films, its films in the wastebasket included, are moved
// (same drive) or copied (another drive) there, then the row takes the
// folder, ending in a backslash. Before anything moves, the row must be
// writable and every name free in the new folder; when a film cannot go or
// the row is not written after all, what this move made is undone.
// kMoveDone; kMoveNoSpace when the new drive has not room for the films,
// before anything is copied; kMoveStopped with `whyNot` telling the user
// why, and naming each film that could not be put back and where it is.
int32_t MoveLocationFilms(int32_t locationId, const DriveRecord& drive, const std::string& newFolder,
                          std::string& whyNot);

// CopyFilmToItem's answer when the destination folder holds a file of the
// film's name already: another film's file is never replaced.
constexpr int32_t kFilmNameTaken = -2;
// Its answer when the library would not take the copied film's row: the
// copy is deleted again, and the failure noted for the user.
constexpr int32_t kFilmNotRecorded = -3;

// True when something of that name is there.
bool IsNameTaken(const std::string& path);

// Copies the film's file into the target row's location and records it there
// with its actions. Answers the copy's result code, -1 when a path is
// missing; the failures are told to the user.
int32_t CopyFilmToItem(const PlaylistEntry& film, const PlaylistEntry& target);

// The message for a failed copy of the film with this title and file name.
std::string CopyFailureText(int32_t result, const std::string& title, const std::string& destinationRoot,
                            const std::string& fileName);
