#include "FilmUserData.h"

#include "FilmUserDataHeader.h"
#include "store/Exception.h"
#include "store/Stream.h"

FilmUserData::FilmUserData(DataHandler_* handler, bool writable)
    : fHandler(handler), fWritable(writable) {
  if (!handler || !handler->IsValid()) throw Assertion("Assertion failed", 16, "FilmUserData");
}

FilmUserData::~FilmUserData() {
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
  if (fWritable && block.IsFound() &&
      block.GetBlockOffset() + block.GetBlockSize() < fHandler->Size()) {
    throw DatabaseException(
        "The film's data block is not the last atom of the file: writing it would damage the film");
  }
  const uint64_t offset = block.GetDataOffset();
  fHandler->Seek(static_cast<int64_t>(offset), SeekFrom::Start);
  // The database owns the stream from here on, also when it fails to open.
  fDatabase = Database::Create(new StreamDataHandler(fHandler.get()), "Database",
                               kObjectCapacity, kRootsCapacity);
  return fDatabase;
}

void FilmUserData::Save() {
  if (!fDatabase || !fWritable) return;
  // A database marked keep-stored is deleted by saving it.
  Database* database = fDatabase;
  if (database->IsKeptStored()) fDatabase = nullptr;
  // The block is sized over the grown file before the database writes
  // into the growth: a failure at any step leaves the film whole, its block
  // reaching the end and its database the old one or the new one.
  Database::SaveAll(database, [this](uint64_t end) {
    fHandler->Seek(0, SeekFrom::Start);
    FilmUserDataHeader block(fHandler.get());
    block.UpdateSize(end);
  });
  fHandler->Seek(0, SeekFrom::Start);
}
