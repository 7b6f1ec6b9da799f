#pragma once
// The CD data file "BINFILE.GHC" of a film CD: a 552-byte header, then the
// item, action and third records it announces, all of fixed size, integers
// 32-bit little-endian, texts zero-terminated inside their fields.
#include "database/CDRecords.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One action record (496 bytes), kept as stored.
class CDActionRecord {
 public:
  static constexpr size_t kSize = 496;
  std::array<uint8_t, kSize> bytes{};

  int32_t GetType() const;  // the main pane runs records of type 2
  std::string GetCommandText() const;
  std::string GetAliasRoot() const;
  std::string GetActionName() const;
};

class GH_CDData {
 public:
  static constexpr size_t kHeaderSize = 552;
  static constexpr size_t kItemSize = 552;
  static constexpr size_t kThirdSize = 76;

  // Reads the file at `path`. Answers 3, changing nothing, when it cannot
  // be opened; otherwise 0, also when the file ends before the records its
  // header announces (what was read before stays). The alias root of the
  // item numbered 1 goes to `rootAlias`.
  int32_t Load(const std::string& path, std::string& rootAlias);

  // Parses bytes already in memory; the same rules as Load.
  void Parse(const uint8_t* data, size_t size, std::string& rootAlias);
  // Empties the lists, then takes the header and the records from `read`,
  // which fills exactly n bytes or answers false.
  void Read(const std::function<bool(uint8_t*, size_t)>& read, std::string& rootAlias);

  const std::array<uint8_t, kHeaderSize>& GetHeader() const { return fHeader; }
  // Only the film items (item type 4); the entries' volume is not in the
  // file and stays 0.
  const std::vector<PlaylistEntry>& GetFilmItems() const { return fFilmItems; }
  const std::vector<CDActionRecord>& GetActions() const { return fActions; }
  const std::vector<std::array<uint8_t, kThirdSize>>& GetThirds() const { return fThirds; }

 private:
  std::array<uint8_t, kHeaderSize> fHeader{};
  std::vector<PlaylistEntry> fFilmItems;
  std::vector<CDActionRecord> fActions;
  std::vector<std::array<uint8_t, kThirdSize>> fThirds;
};
