#pragma once
// Recording the film files that lie in the drive rows' folders but are not
// yet listed in the library, with the actions their user data carries.
#include <cstdint>
#include <string>
#include <vector>

#include "CDRecords.h"

class CDDatabase;
class CP_FileSpec;

void InstallNewFilms(CDDatabase& database);
// The same; `recorded` is emptied first and gets the text of every film
// recorded, in the order recorded. A listed film found under a new file
// name, whose row took that name, counts as recorded.
void InstallNewFilmsCollect(CDDatabase& database, std::vector<std::string>& recorded);

// One pass over one drive row's folder for one film type code.
void InstallFilmsInFolder(CDDatabase& database, const DriveRecord& drive, uint32_t typeCode, PlaylistEntries items);
void InstallFilmsInFolderCollect(CDDatabase& database, const DriveRecord& drive, uint32_t typeCode,
                                 PlaylistEntries items, std::vector<std::string>& recorded);

// Whether the list holds a film with this file's name, in any letter case,
// under the alias root.
bool IsFilmListed(const PlaylistEntries& items, const CP_FileSpec& file, const std::string& aliasRoot);
