#include "FilmUserData.h"

#include "FilmUserDataHeader.h"
#include "store/Exception.h"
#include "store/Stream.h"

FilmUserData::FilmUserData(DataHandler_* handler, bool writable)
    : fHandler(handler), fWritable(writable) {
  if (!handler || !handler->IsValid()) throw Assertion("Assertion failed", 16, "FilmUserData");
}

FilmUserData::~FilmUserData() {
  if (fSaveFailed) return;
  try {
    Save();
  } catch (...) {
    // A destructor must not throw; callers who care have called Save.
  }
}

Database* FilmUserData::GetDatabase() {
  if (fDatabase) return fDatabase;
  fHandler->Seek(0, SeekFrom::Start);
  FilmUserDataHeader block(fHandler.get());
  const uint64_t offset = block.GetDataOffset();
  if (fWritable) RefuseAtomsBehind(block, offset);
  fHandler->Seek(static_cast<int64_t>(offset), SeekFrom::Start);
  Database::GrowthHook grown;
  if (fWritable) grown = [this](uint64_t end) { SizeBlock(end); };
  // The database owns the stream from here on, also when it fails to open.
  fDatabase = Database::Create(new StreamDataHandler(fHandler.get()), "Database",
                               kObjectCapacity, kRootsCapacity, grown);
  return fDatabase;
}

void FilmUserData::RefuseAtomsBehind(const FilmUserDataHeader& block, uint64_t dataOffset) {
  const uint64_t end = block.GetBlockOffset() + block.GetBlockSize();
  const uint64_t size = fHandler->Size();
  if (end >= size || IsZeroFilled(fHandler.get(), end, size)) return;
  // A film given its block before a save sized it over its database.
  if (end == dataOffset && DatabaseHeaderAt(dataOffset)) return;
  throw DatabaseException(
      "The film's data block is not the last atom of the file: writing it would damage the film");
}

bool FilmUserData::DatabaseHeaderAt(uint64_t position) {
  fHandler->Seek(static_cast<int64_t>(position), SeekFrom::Start);
  StreamDataHandler stream(fHandler.get());
  uint32_t objectOffset = 0, magic = 0;
  std::string signature;
  try {
    stream.ReadUInt32(objectOffset);
    stream.ReadUInt32(magic);
    stream.ReadString(signature);
  } catch (const Exception&) {
    return false;
  } catch (const Signal&) {
    return false;
  }
  return magic == Database::kMagic && signature == Database::kSignature;
}

// Called once a growth's zeros are on the disk and before any object lands
// there: the film then ends with its block whatever happens to the save.
void FilmUserData::SizeBlock(uint64_t end) {
  fHandler->Seek(0, SeekFrom::Start);
  FilmUserDataHeader block(fHandler.get());
  block.UpdateSize(end);
}

void FilmUserData::Save() {
  if (!fDatabase || !fWritable) return;
  // A database marked keep-stored is deleted by saving it.
  Database* database = fDatabase;
  if (database->IsKeptStored()) fDatabase = nullptr;
  fSaveFailed = true;
  Database::SaveAll(database, [this](uint64_t end) { SizeBlock(end); });
  fSaveFailed = false;
  fHandler->Seek(0, SeekFrom::Start);
}
