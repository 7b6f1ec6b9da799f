#pragma once
// A film's own data block: a top-level 'udta' atom whose payload begins
// with 'flm_', then the header record below (written unscrambled), then a
// whole object database. The block's atom size reaches the end of the file.
#include <cstdint>
#include <iosfwd>

#include "store/DataHandler.h"
#include "store/Serialisable.h"

class AtomReader;

// Nine tagged unsigned numbers; 70 bytes with its envelope.
class UserDataAtomHeader : public Serialisable {
public:
  static constexpr uint32_t kFilmBlockWord = 0x666C6D5F;  // 'flm_'

  UserDataAtomHeader(uint32_t checkWord, uint32_t authorID, uint32_t sponsorID);

  // 0 marks a film of the older kind, whose header says nothing more.
  uint32_t GetUserDataVersion() const { return fUserDataVersion; }
  uint32_t GetEncryptionVersion() const { return fEncryptionVersion; }
  uint32_t GetCheckWord() const { return fCheckWord; }
  uint32_t GetMagic() const { return fMagic; }
  // Day number and seconds since midnight of the first write; 0 before it.
  uint32_t GetCreationDate() const { return fCreationDate; }
  uint32_t GetCreationTime() const { return fCreationTime; }
  uint32_t GetAuthorID() const { return fAuthorID; }
  uint32_t GetSponsorID() const { return fSponsorID; }
  uint32_t GetFreeSpace() const { return fFreeSpace; }

  std::string ClassName() const override { return "UserDataAtomHeader"; }
  uint32_t SerialisedSize() const override;
  void ReadContents(Stream& stream) override;
  // The first write records the date, the time and the free disk space;
  // later writes keep them.
  void WriteContents(Stream& stream) override;
  void Dump(std::ostream& out) const override;

private:
  uint32_t fUserDataVersion = 1;
  uint32_t fEncryptionVersion = 1;
  uint32_t fCheckWord;
  uint32_t fMagic;
  uint32_t fCreationDate = 0;
  uint32_t fCreationTime = 0;
  uint32_t fAuthorID;
  uint32_t fSponsorID;
  uint32_t fFreeSpace = 0;
};

// Finds a film's data block and reads or writes its start. It lives for one
// operation and never owns the handler, whose position it shares: it seeks
// before each access.
class FilmUserDataHeader {
public:
  // The handler must be valid and at position 0. Walks the top-level atoms
  // for the block; without one (or when the walk cannot go on) the block
  // offset is the end of the file, where a new block would be appended, or
  // the start of the zeros that end the file.
  explicit FilmUserDataHeader(DataHandler_* handler);

  // Writes the block's atom start and the root record at the block offset,
  // in one write; the database begins where the root ends.
  void Write(Serialisable& root);
  // Sets the block's atom size to reach the end position.
  void UpdateSize(uint64_t endPosition);
  // Reads the header record of a block that was found.
  void ReadHeader(Serialisable& header);
  // Where the block's database begins. A film without a block is given a
  // new one with an empty header record first.
  uint64_t GetDataOffset();

  bool IsFound() const { return fFound; }
  uint64_t GetBlockOffset() const { return static_cast<uint64_t>(fBlockOffset); }
  // The atom size when known, else 0.
  uint64_t GetBlockSize() const { return fBlockSize; }

private:
  bool IsBlock(const AtomReader& atom);

  int64_t fBlockOffset = -1;
  int64_t fDataOffset = -1;
  DataHandler_* fHandler;
  uint64_t fBlockSize = 0;
  uint32_t fHeaderLength = 8;  // 16 for a block with a 64-bit size
  bool fFound = false;
};

// Whether the bytes from `from` up to `to` are all zero.
bool IsZeroFilled(DataHandler_* handler, uint64_t from, uint64_t to);

// Whether a film carries a data block; its header record is then read. A
// film whose movie atom begins with 'mvhd' or 'cmov' counts as having none
// even when a block exists: the system's own films put their user data
// first. A truncated or foreign file answers false.
bool ReadFilmUserDataHeader(DataHandler_* handler, Serialisable& header);
