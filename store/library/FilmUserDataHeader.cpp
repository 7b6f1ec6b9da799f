#include "FilmUserDataHeader.h"

#include <ostream>

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

FilmUserDataHeader::FilmUserDataHeader(DataHandler_* handler) : fHandler(handler) {
  if (!handler || !handler->IsValid()) throw Assertion("Assertion failed", 21, "FilmUserDataHeader");
  if (handler->Tell() != 0) throw Assertion("Assertion failed", 22, "FilmUserDataHeader");
  try {
    AtomReader atom(handler);
    for (;;) {
      // Our block's payload starts with the word; a shorter one cannot be it.
      if (atom.GetType() == AtomType("udta") && atom.GetRemaining() >= 4) {
        uint8_t word[4];
        ReadExactly(handler, word, 4);
        const uint32_t value = (uint32_t(word[0]) << 24) | (uint32_t(word[1]) << 16) |
                               (uint32_t(word[2]) << 8) | word[3];
        if (value == UserDataAtomHeader::kFilmBlockWord) {
          fBlockOffset = static_cast<int64_t>(atom.GetStart());
          fBlockSize = atom.GetSize();
          fHeaderLength = atom.GetHeaderLength();
          fFound = true;
          return;
        }
        // Someone else's user data: back to its payload, to pass over it.
        handler->Seek(-4, SeekFrom::Current);
      }
      atom.Next();
    }
  } catch (const EOFException&) {
    handler->Seek(0, SeekFrom::End);
    fBlockOffset = static_cast<int64_t>(handler->Tell());
  }
}

void FilmUserDataHeader::Write(Serialisable& root) {
  fHandler->Seek(fBlockOffset, SeekFrom::Start);
  StreamDataHandler stream(fHandler);
  stream.SetScramble(false);
  if (fFound && fHeaderLength == 16) {
    stream.WriteBigEndian32(1);
    stream.WriteBigEndian32(AtomType("udta"));
    stream.WriteBigEndian32(static_cast<uint32_t>(fBlockSize >> 32));
    stream.WriteBigEndian32(static_cast<uint32_t>(fBlockSize));
  } else {
    const uint64_t size = fFound ? fBlockSize : uint64_t{root.SerialisedSize()} + 12;
    stream.WriteBigEndian32(static_cast<uint32_t>(size));
    stream.WriteBigEndian32(AtomType("udta"));
    fBlockSize = size;
    fHeaderLength = 8;
  }
  stream.WriteBigEndian32(UserDataAtomHeader::kFilmBlockWord);
  root.Save(stream);
  fDataOffset = static_cast<int64_t>(fHandler->Tell());
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
