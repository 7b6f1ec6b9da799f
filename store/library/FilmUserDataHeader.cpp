#include "FilmUserDataHeader.h"

#include <optional>
#include <ostream>
#include <vector>

#include "QuickTimeFormatUtils.h"
#include "store/Database.h"
#include "store/Dates.h"
#include "store/Exception.h"
#include "store/LocalSystem.h"
#include "store/Stream.h"

UserDataAtomHeader::UserDataAtomHeader(uint32_t checkWord, uint32_t authorID,
                                       uint32_t sponsorID)
    : fCheckWord(checkWord), fMagic(Database::kMagic), fAuthorID(authorID),
      fSponsorID(sponsorID) {}

uint32_t UserDataAtomHeader::SerialisedSize() const { return Serialisable::SerialisedSize() + 45; }

void UserDataAtomHeader::ReadContents(Stream& stream) {
  for (uint32_t* value : {&fUserDataVersion, &fEncryptionVersion, &fCheckWord, &fMagic,
                          &fCreationDate, &fCreationTime, &fAuthorID, &fSponsorID, &fFreeSpace}) {
    stream.ReadUInt32(*value);
  }
}

void UserDataAtomHeader::WriteContents(Stream& stream) {
  if (fCreationDate == 0) {
    fCreationDate = static_cast<uint32_t>(Date().GetDayNumber());
    fCreationTime = TimeOfDay().GetSeconds();
    fFreeSpace = FreeSpaceOnSystemDrive();
  }
  for (uint32_t value : {fUserDataVersion, fEncryptionVersion, fCheckWord, fMagic, fCreationDate,
                         fCreationTime, fAuthorID, fSponsorID, fFreeSpace}) {
    stream.WriteUInt32(value);
  }
}

void UserDataAtomHeader::Dump(std::ostream& out) const {
  out << "User data version:          " << fUserDataVersion << '\n';
  out << "Encryption version:         " << fEncryptionVersion << '\n';
  if (fUserDataVersion == 0) {
    out << "no more information available" << '\n';
    out << "this is an older type movie" << '\n';
    return;
  }
  out << "Creation date:              ";
  Date(static_cast<int32_t>(fCreationDate)).Print(out);
  out << '\n';
  out << "Creation time:              ";
  TimeOfDay(fCreationTime).Print(out);
  out << '\n';
  out << "Author ID:                  " << fAuthorID << '\n';
  out << "Sponsor ID:                 " << fSponsorID << '\n';
  out << "Free space:                 " << fFreeSpace << '\n';
}

namespace {

// Bytes gathered in memory, so that a block reaches the file in one write.
class ByteBuffer : public DataHandler_ {
public:
  uint64_t Read(void*, uint64_t) override { return 0; }
  uint64_t Write(const void* buffer, uint64_t count) override {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    fBytes.insert(fBytes.end(), bytes, bytes + count);
    return count;
  }
  void Flush() override {}
  bool IsValid() override { return true; }
  uint64_t Tell() override { return fBytes.size(); }

  const std::vector<uint8_t>& Bytes() const { return fBytes; }

private:
  std::vector<uint8_t> fBytes;
};

}  // namespace

bool IsZeroFilled(DataHandler_* handler, uint64_t from, uint64_t to) {
  static constexpr uint32_t kChunk = 4096;
  uint8_t chunk[kChunk];
  handler->Seek(static_cast<int64_t>(from), SeekFrom::Start);
  for (uint64_t at = from; at < to;) {
    const uint32_t n = to - at < kChunk ? static_cast<uint32_t>(to - at) : kChunk;
    ReadExactly(handler, chunk, n);
    for (uint32_t i = 0; i < n; ++i) {
      if (chunk[i] != 0) return false;
    }
    at += n;
  }
  return true;
}

FilmUserDataHeader::FilmUserDataHeader(DataHandler_* handler) : fHandler(handler) {
  if (!handler || !handler->IsValid()) throw Assertion("Assertion failed", 21, "FilmUserDataHeader");
  if (handler->Tell() != 0) throw Assertion("Assertion failed", 22, "FilmUserDataHeader");
  std::optional<AtomReader> atom;
  try {
    atom.emplace(handler);
    for (;;) {
      if (IsBlock(*atom)) return;
      atom->Next();
    }
  } catch (const EOFException&) {
    // The atom the walk could not read or pass over.
    const uint64_t stopped = atom ? atom->GetStart() : 0;
    handler->Seek(0, SeekFrom::End);
    const uint64_t end = handler->Tell();
    // Zeros at the end are what an unfinished write of a block left: the
    // new block takes their place, where the walk will find it.
    fBlockOffset = static_cast<int64_t>(IsZeroFilled(handler, stopped, end) ? stopped : end);
  }
}

bool FilmUserDataHeader::IsBlock(const AtomReader& atom) {
  // Our block's payload starts with the word; a shorter one cannot be it.
  if (atom.GetType() != AtomType("udta") || atom.GetRemaining() < 4) return false;
  uint8_t word[4];
  ReadExactly(fHandler, word, 4);
  const uint32_t value = (uint32_t(word[0]) << 24) | (uint32_t(word[1]) << 16) |
                         (uint32_t(word[2]) << 8) | word[3];
  if (value != UserDataAtomHeader::kFilmBlockWord) {
    // Someone else's user data: back to its payload, to pass over it.
    fHandler->Seek(-4, SeekFrom::Current);
    return false;
  }
  fBlockOffset = static_cast<int64_t>(atom.GetStart());
  fBlockSize = atom.GetSize();
  fHeaderLength = atom.GetHeaderLength();
  fFound = true;
  return true;
}

// A new block lands on zeros already on the disk: a write cut short on a
// full disk then leaves zeros, or the whole block, never a block start
// whose record is missing.
void FilmUserDataHeader::Write(Serialisable& root) {
  ByteBuffer block;
  StreamDataHandler bytes(&block);
  bytes.SetScramble(false);
  if (fFound && fHeaderLength == 16) {
    bytes.WriteBigEndian32(1);
    bytes.WriteBigEndian32(AtomType("udta"));
    bytes.WriteBigEndian32(static_cast<uint32_t>(fBlockSize >> 32));
    bytes.WriteBigEndian32(static_cast<uint32_t>(fBlockSize));
  } else {
    const uint64_t size = fFound ? fBlockSize : uint64_t{root.SerialisedSize()} + 12;
    bytes.WriteBigEndian32(static_cast<uint32_t>(size));
    bytes.WriteBigEndian32(AtomType("udta"));
    fBlockSize = size;
    fHeaderLength = 8;
  }
  bytes.WriteBigEndian32(UserDataAtomHeader::kFilmBlockWord);
  root.Save(bytes);

  const uint32_t length = static_cast<uint32_t>(block.Bytes().size());
  StreamDataHandler stream(fHandler);
  if (!fFound) {
    fHandler->Seek(fBlockOffset, SeekFrom::Start);
    stream.WriteZeros(length);
    fHandler->Flush();
  }
  fHandler->Seek(fBlockOffset, SeekFrom::Start);
  stream.WriteBytes(block.Bytes().data(), length);
  fDataOffset = fBlockOffset + length;
  fFound = true;
}

void FilmUserDataHeader::UpdateSize(uint64_t endPosition) {
  if (!fFound || endPosition < GetBlockOffset()) {
    throw WriteError("The film's data block is not where its size was to be written");
  }
  const uint64_t size = endPosition - GetBlockOffset();
  fHandler->Seek(fBlockOffset, SeekFrom::Start);
  StreamDataHandler stream(fHandler);
  if (fHeaderLength == 16) {
    fHandler->Seek(8, SeekFrom::Current);
    stream.WriteBigEndian32(static_cast<uint32_t>(size >> 32));
    stream.WriteBigEndian32(static_cast<uint32_t>(size));
  } else {
    // A 32-bit size word that wrapped would cut the block short.
    if (size > UINT32_MAX) throw WriteError("The film's data block is larger than 4 GB");
    stream.WriteBigEndian32(static_cast<uint32_t>(size));
  }
  fBlockSize = size;
}

void FilmUserDataHeader::ReadHeader(Serialisable& header) {
  // Without a block the header would lie past the end of the file.
  if (!fFound) throw EOFException("The film has no data block");
  fHandler->Seek(fBlockOffset + fHeaderLength + 4, SeekFrom::Start);
  StreamDataHandler stream(fHandler);
  stream.SetScramble(false);
  header.Load(stream);
  fDataOffset = static_cast<int64_t>(fHandler->Tell());
}

uint64_t FilmUserDataHeader::GetDataOffset() {
  if (fDataOffset < 0) {
    UserDataAtomHeader header(0, 0, 0);
    if (fFound) {
      ReadHeader(header);
    } else {
      Write(header);
    }
  }
  return static_cast<uint64_t>(fDataOffset);
}

bool ReadFilmUserDataHeader(DataHandler_* handler, Serialisable& header) {
  try {
    AtomFinder::FindOrThrow(handler, {AtomType("moov")});
    AtomReader first(handler);
    if (first.GetType() == AtomType("mvhd") || first.GetType() == AtomType("cmov")) return false;
    handler->Seek(0, SeekFrom::Start);
    FilmUserDataHeader block(handler);
    block.ReadHeader(header);
    return true;
  } catch (const EOFException&) {
    return false;
  } catch (const StreamReadError&) {
    // The stream's own check of a length against the bytes left: the same
    // read past the end, found before it is made.
    return false;
  }
}
