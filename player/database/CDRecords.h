#pragma once
// The rows of the CD database tables as the engine holds them in memory.
#include <cstdint>
#include <string>
#include <vector>

#include "store/library/FilmDataReaders.h"

// One row of GH_ConfigDB: a node of the library tree, and the element of
// the engine's play list.
struct PlaylistEntry {
  int32_t itemId = 0;      // ITEM_ID
  int32_t sortOrder = 0;   // SORTORDER
  int32_t parentId = 0;    // PARENT_ID; 0 is the top level
  int32_t itemType = 0;    // ITEMTYPE: 1 CD, 2 location, 4 film
  int32_t parentType = 0;  // PARENTTYPE
  std::string itemText;    // ITEMTEXT
  int16_t iconResId = 0;   // ICONRESID
  int32_t loop = 0;        // LOOP
  int32_t rate = 0;        // RATE
  int32_t volume = 0;      // VOLUME
  int32_t play = 0;        // PLAY: 1 when the film is on the user's play list
  int32_t tkLocal = 0;     // TKLOCAL
  int32_t tkGlobal = 0;    // TKGLOBAL
  int32_t tkBkg = 0;       // TKBKG
  std::string filePath;    // FILEPATH: folder part of the film's path
  std::string fileName;    // FileName
  std::string aliasRoot;   // AliasRoot
  std::string volumeName;  // VOLUMENAME
  std::string origin;      // ORIGIN
};

// One row of GH_DriveDB: where the films of one alias root lie.
struct DriveRecord {
  int32_t driveId = 0;    // DRIVEID
  std::string driveName;  // DRIVENAME
  std::string label;      // LABEL: the alias root, the row's key
  std::string path;       // PATH
};

// One row of GH_Track: how a film was used, keyed by its GMID.
struct UsageRecord {
  int32_t trackingId = 0;   // TRACKING_I
  int32_t gmid = 0;         // GMID
  int32_t emCount = 0;      // EM_COUNT: sprite actions run
  char emText[52] = {};     // EM_TEXT
  int32_t emTextCount = 0;  // EM_TEXT_CO
  int32_t modeP = 0;        // MODE_P: starts on request
  int32_t modeA = 0;        // MODE_A: play-list advances
  int32_t modeS = 0;        // MODE_S
  char recSaved[4] = {};    // REC_SAVED
};

// ActionRecord, one row of GH_ActionDB in the 496-byte layout that the CD
// data files and the film import share, comes from the film readers.

// Removes the blanks (character 32 only) at the end, in place.
char* TrimTrailingBlanks(char* text);
std::string& TrimTrailingBlanks(std::string& text);

// Copies a text into a fixed buffer, cut so that its NUL still fits.
template <std::size_t N>
void CopyToBuffer(char (&buffer)[N], const std::string& text) {
  const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
  text.copy(buffer, length);
  buffer[length] = '\0';
}

// The text of a fixed buffer up to its first NUL, never past its end.
template <std::size_t N>
std::string BufferText(const char (&buffer)[N]) {
  std::size_t length = 0;
  while (length < N && buffer[length] != '\0') ++length;
  return std::string(buffer, length);
}
