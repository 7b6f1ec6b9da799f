#pragma once
// The films folder, the downloaded films moved into it, and the films found
// in the folders of the known drives that the CD database does not list
// yet, recorded there with their sprite actions.
#include <cstdint>
#include <string>
#include <vector>

#include "database/CDRecords.h"

class CDDatabase;
class CP_FileSpec;

// Chooses, and creates where needed, the films folder and moves the films
// of "Internet Movies" into "Installed Movies". Answers the films folder,
// or the empty text when there is none.
std::string RenameM01FilesToFlm();
// The films folder that RenameM01FilesToFlm answers, chosen and created the
// same way, with nothing moved into it.
std::string DefaultFilmsFolder();

// For every drive row, the films of the kinds ".flm", ".m01" and ".M01" in
// its folder that `playlist` (the engine's play list) does not hold.
void InstallNewFilms(CDDatabase& db, const std::vector<PlaylistEntry>& playlist);
// The films of one kind (its last four characters, exact case) in the
// drive's folder.
void InstallFilmsInFolder(CDDatabase& db, const DriveRecord& drive, const std::string& kind,
                          std::vector<PlaylistEntry> playlist);

// An entry with the file's name, in any letter case, and this alias root.
bool IsFilmFileListed(const std::vector<PlaylistEntry>& playlist, const CP_FileSpec& file,
                      const std::string& aliasRoot);
// An entry with this item text and alias root.
bool IsItemInPlaylist(const std::vector<PlaylistEntry>& playlist, const std::string& itemText,
                      const std::string& aliasRoot);

// " [%5.2f MB]" of the file's size, 1 MB being 1,048,576 bytes; empty when
// the file cannot be opened.
std::string FileSizeText(const std::string& path);
