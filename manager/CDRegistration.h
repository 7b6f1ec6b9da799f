#pragma once
// Reading a film CD's own description of its items and actions: the
// version-3 data file "BinFile.GHC" and the import buffer that
// "ACCESSDB.DLL" fills for a version-2 CD.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "CDRecords.h"

class CDDatabase;

namespace cdimport {

constexpr size_t kV3HeaderSize = 552;
constexpr size_t kV3ItemSize = 552;
constexpr size_t kV3ActionSize = 496;

constexpr size_t kV2BufferSize = 125304;
constexpr size_t kV2AliasOffset = 4;
constexpr size_t kV2AliasSize = 100;
constexpr size_t kV2RecordsOffset = 104;
constexpr size_t kV2RecordSize = 1252;
constexpr int32_t kV2MaxRecords = 100;

// The item counts of a version-3 header; a header cut short counts none.
struct V3Header {
  int32_t items = 0;
  int32_t actions = 0;
};
V3Header ReadVersion3Header(const uint8_t* bytes, size_t size);

// One 552-byte item record; `isAliasRecord` tells the record that names
// the CD's alias root (item number -1).
PlaylistEntry ConvertVersion3Record(const uint8_t* record, const std::string& volumeName, bool& isAliasRecord);

// Reads the item records, then hands the action records to the database
// as they are read. Only whole records are used. `appendedActions` gets the
// numbers of the rows appended; false when an action could not be stored.
bool ReadVersion3DataFile(std::FILE* file, const V3Header& header, const std::string& volumeName,
                          CDDatabase& database, PlaylistEntries& items, std::string& alias,
                          std::vector<int32_t>& appendedActions);

// One 1,252-byte record of the import buffer.
PlaylistEntry ConvertVersion2Record(const uint8_t* record);

// The buffer's record count, held to what the buffer can carry.
int32_t Version2RecordCount(const uint8_t* buffer);
std::string Version2AliasRoot(const uint8_t* buffer);

}  // namespace cdimport
