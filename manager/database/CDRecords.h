#pragma once
// The in-memory forms of the CD database's rows: one library item, one
// drive or folder, one action bound to a film.
#include <cstdint>
#include <string>
#include <vector>

#include "store/library/FilmDataReaders.h"

// One GH_ConfigDB row.
struct PlaylistEntry {
  int32_t ITEM_ID = 0;
  int32_t reserved = 0;  // kept with the row in memory; no column holds it
  int32_t SORTORDER = 0;
  int32_t PARENT_ID = 0;
  int32_t ITEMTYPE = 0;
  int32_t PARENTTYPE = 0;
  std::string ITEMTEXT;
  int16_t ICONRESID = 0;
  int32_t LOOP = 0;
  int32_t RATE = 0;
  int32_t VOLUME = 0;
  int32_t PLAY = 0;
  int32_t TKLOCAL = 0;
  int32_t TKGLOBAL = 0;
  int32_t TKBKG = 0;
  std::string FILEPATH;
  std::string FileName;
  std::string AliasRoot;
  std::string VOLUMENAME;
  std::string ORIGIN;
};

using PlaylistEntries = std::vector<PlaylistEntry>;

// One GH_DriveDB row.
struct DriveRecord {
  int32_t DRIVEID = 0;
  std::string DRIVENAME;
  std::string LABEL;
  std::string PATH;
};

// One GH_ActionDB row, in the 496-byte layout the CD data files carry.
using manager_data::ActionRecord;

// Item kinds (ITEMTYPE, PARENTTYPE).
enum : int32_t { kItemCD = 1, kItemLocation = 2, kItemFolder = 3, kItemFilm = 4, kItemWastebasket = 5 };

// The PARENT_ID of a film that lies in the wastebasket.
constexpr int32_t kWastebasketId = -1001;
