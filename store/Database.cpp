#include "Database.h"

#include <algorithm>
#include <iterator>
#include <ostream>
#include <utility>
#include <vector>

#include "Dates.h"
#include "Exception.h"

const char Database::kSignature[] = "Quorvex";
const uint32_t Database::kHeaderSize = sizeof(Database::kSignature) - 1 + 15;

namespace {

PersistentMaker<Database> gDatabaseMaker("Database");

// Open databases by identity. Identities can repeat (two made in one second,
// or one file opened twice), so each database leaves only its own entry.
std::multimap<uint32_t, Database*>& Registry() {
  static auto* registry = new std::multimap<uint32_t, Database*>;
  return *registry;
}

}  // namespace

uint32_t DatabaseIDFromLocalTime(const LocalDateTime& t) {
  const int64_t years = t.year - 1900;
  if (years > 999) throw Assertion("Assertion failed", 189, "Database");
  const int64_t seconds = years * 31536000 + (t.month - 1) * int64_t{2678400} +
                          t.day * int64_t{86400} + t.hour * int64_t{3600} + t.minute * 60 +
                          t.second;
  return static_cast<uint32_t>(static_cast<uint64_t>(seconds));
}

Database::Database()
    : fRoots(kDefaultRootsCapacity), fObjects(kDefaultObjectCapacity) {
  SetID(kDatabaseObjectID);
}

Database::~Database() {
  LeaveRegistry();
  // Objects still in memory go with their database; each is detached first
  // so that its destructor no longer reaches back here.
  for (Persistent* object : Persistent::ObjectsOf(this)) {
    if (Persistent::ReleaseFromDatabase(object, this)) delete object;
  }
}

void Database::LeaveRegistry() noexcept {
  auto& registry = Registry();
  for (auto it = registry.begin(); it != registry.end();) {
    it = it->second == this ? registry.erase(it) : std::next(it);
  }
}

Database* Database::Create(Stream* handler, const std::string& className,
                           uint32_t objectCapacity, uint32_t rootsCapacity,
                           const GrowthHook& grown) {
  std::unique_ptr<Stream> owned(handler);
  Persistent* object = PersistentFactory::Find(className)->Make(nullptr);
  Database* database = dynamic_cast<Database*>(object);
  if (!database) {
    delete object;
    throw RTTIException(className + " to Database*");
  }
  try {
    database->Open(owned.release(), objectCapacity, rootsCapacity, grown);
  } catch (...) {
    delete database;
    throw;
  }
  return database;
}

void Database::Open(Stream* handler, uint32_t objectCapacity, uint32_t rootsCapacity,
                    const GrowthHook& grown) {
  fRoots.SetCapacity(rootsCapacity);
  fObjects.SetCapacity(objectCapacity);
  fHandler.reset(handler);
  if (!fHandler->IsValid()) throw Assertion("Assertion failed", 40, "Database");
  LeaveRegistry();

  fDatabaseOffset = static_cast<uint32_t>(fHandler->Tell());
  fDataStart = fDatabaseOffset + kHeaderSize;

  const uint64_t size = fHandler->Size();
  uint64_t available = size > fDatabaseOffset ? size - fDatabaseOffset : 0;
  const uint64_t needed = static_cast<uint64_t>(SerialisedSize()) + kHeaderSize;
  if (available < needed) available = needed;

  bool valid = false;
  try {
    uint32_t objectOffset = 0, magic = 0;
    std::string signature;
    fHandler->ReadUInt32(objectOffset);
    fHandler->ReadUInt32(magic);
    fHandler->ReadString(signature);
    if (signature != kSignature || magic != kMagic) {
      throw InvalidDatabase("Database is not valid");
    }
    fObjectOffset = objectOffset;
    valid = true;
  } catch (const Exception&) {
    // No database here yet (or a damaged one): a new one is made below.
  }

  if (valid) {
    fHandler->Seek(static_cast<int64_t>(fDataStart) + fObjectOffset, SeekFrom::Start);
    Load(*fHandler);
    CheckTables(size);
  } else {
    fRoots.SetCapacity(rootsCapacity);
    fObjects.SetCapacity(objectCapacity);
    fDatabaseID = NewDatabaseID();
    SaveObjects({}, true, grown);
  }

  Registry().emplace(fDatabaseID, this);
  fObjects.SetEndOffset(available > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(available));
}

// A block handed out past the end or over another would let the next save
// overwrite a live object; so would one over the stored Database object,
// which only its own table entry keeps from being handed out.
void Database::CheckTables(uint64_t size) const {
  fObjects.Check(size > fDataStart ? size - fDataStart : 0);
  if (!fObjects.HasEntry(kDatabaseObjectID)) {
    throw InvalidDatabase("Database is not valid: the object table has no entry for the database");
  }
  if (fObjects.GetOffset(kDatabaseObjectID) != fObjectOffset) {
    throw InvalidDatabase("Database is not valid: the header and the object table disagree");
  }
}

// Pointers find their database by identity, so a new one must not take
// the identity of one that is open.
uint32_t Database::NewDatabaseID() const {
  uint32_t id = DatabaseIDFromLocalTime(CurrentLocalDateTime());
  while (Find(id) != nullptr) ++id;
  return id;
}

Persistent* Database::GetObject(uint32_t id) {
  // The database object is reached through the header, never by ID.
  if (id == 0 || id == kDatabaseObjectID || !fHandler) return nullptr;
  auto loaded = fLoaded.find(id);
  if (loaded != fLoaded.end()) return loaded->second;

  const uint32_t offset = fObjects.GetOffset(id);
  if (offset == 0) return nullptr;
  fHandler->Seek(static_cast<int64_t>(fDataStart) + offset, SeekFrom::Start);
  Persistent* object = Persistent::LoadFrom(*fHandler, this);
  try {
    object->SetID(id);
  } catch (...) {
    delete object;
    throw;
  }
  fLoaded[id] = object;
  object->SetModified(false);
  return object;
}

Persistent* Database::GetRoot(const std::string& name) {
  const uint32_t id = fRoots.Find(name);
  return id == 0 ? nullptr : GetObject(id);
}

void Database::AddRoot(const std::string& name, Persistent* object) {
  if (object->GetDatabase() != this) {
    throw DatabaseException("A root must be an object of its database");
  }
  fRoots.Add(name, object->GetID());
}

// A damaged next ID must not hand out an ID that a stored object has.
uint32_t Database::RegisterObject(Persistent* object) {
  uint32_t id = fNextObjectID;
  while (id < kFirstObjectID || fObjects.HasEntry(id) || fLoaded.count(id) != 0) ++id;
  fNextObjectID = id + 1;
  fLoaded[id] = object;
  return id;
}

void Database::Unregister(Persistent* object) {
  const uint32_t id = object->GetStoredID();
  if (id == 0) return;
  auto loaded = fLoaded.find(id);
  if (loaded == fLoaded.end()) throw Assertion("Assertion failed", 283, "Database");
  fLoaded.erase(loaded);
}

void Database::Forget(Persistent* object, uint32_t id, bool keepStored) noexcept {
  if (id == 0 || id == kDatabaseObjectID) return;
  auto loaded = fLoaded.find(id);
  if (loaded != fLoaded.end() && loaded->second == object) fLoaded.erase(loaded);
  // An object given an ID but never saved has no entry to free.
  if (!keepStored && fObjects.HasEntry(id)) fObjects.Free(id);
}

void Database::WriteObjectAt(uint64_t position, Persistent& object) {
  fHandler->Seek(static_cast<int64_t>(position), SeekFrom::Start);
  object.Save(*fHandler);
  object.SetModified(false);
}

void Database::Commit(bool forceHeader) { SaveObjects({}, forceHeader, nullptr); }

std::vector<Persistent*> Database::ModifiedObjects() const {
  std::vector<Persistent*> modified;
  for (Persistent* object : Persistent::ObjectsOf(this)) {
    if (object->IsModified()) modified.push_back(object);
  }
  return modified;
}

// Until the header is written the stored database is the old one, whole, so
// a failure there undoes the save in memory: the next save places and
// writes everything again.
void Database::SaveObjects(const std::vector<Persistent*>& objects, bool forceHeader,
                           const GrowthHook& grown) {
  const DBObjects::SavePoint before = fObjects.Remember();
  uint32_t self = 0;
  try {
    self = WriteBeside(objects, grown);
  } catch (...) {
    fObjects.Restore(before);
    for (Persistent* object : objects) object->SetModified(true);
    throw;
  }
  WriteHeader(self, forceHeader);
}

// Every object and this one go into blocks that the stored database does
// not use; all of it is on the disk when this returns.
uint32_t Database::WriteBeside(const std::vector<Persistent*>& objects, const GrowthHook& grown) {
  std::vector<uint32_t> offsets;
  for (Persistent* object : objects) {
    const uint32_t id = object->GetID();
    if (id == 0) throw Assertion("Assertion failed", 218, "Database");
    offsets.push_back(fObjects.AllocateElsewhere(id, object->SerialisedSize()));
  }
  const uint32_t self = PlaceSelf();
  Grow(grown);
  for (std::size_t i = 0; i < objects.size(); ++i) {
    WriteObjectAt(static_cast<uint64_t>(fDataStart) + offsets[i], *objects[i]);
  }
  WriteObjectAt(static_cast<uint64_t>(fDataStart) + self, *this);
  fHandler->Flush();
  return self;
}

uint32_t Database::PlaceSelf() {
  uint32_t size = SerialisedSize();
  uint32_t offset = fObjects.AllocateElsewhere(kDatabaseObjectID, size);
  // Taking a new table entry can grow the table's capacity and with it this
  // object: ask again until the block fits what will be written.
  while (SerialisedSize() != size) {
    size = SerialisedSize();
    offset = fObjects.Allocate(kDatabaseObjectID, size);
  }
  return offset;
}

// Zeros first, on the disk, then the frame: zeros behind a film's block are
// taken as the block's own, while a block whose size passes the end of the
// file is a cut film to every reader.
void Database::Grow(const GrowthHook& grown) {
  const uint64_t size = fHandler->Size();
  const uint64_t end = std::max(size, fDataStart + fObjects.GetBlocksEnd());
  if (end > size) {
    fHandler->Seek(static_cast<int64_t>(size), SeekFrom::Start);
    fHandler->WriteZeros(end - size);
    fHandler->Flush();
  }
  if (grown) grown(end);
}

// From the header's first byte on, the stored header may name either copy
// of the Database object. Both stay whole until a later header is written:
// the blocks the old copy uses stay held, and the new one is kept in memory
// as written.
void Database::WriteHeader(uint32_t offset, bool forceHeader) {
  if (offset != fObjectOffset || forceHeader || fHeaderInDoubt) {
    fHeaderInDoubt = true;
    fHandler->Seek(fDatabaseOffset, SeekFrom::Start);
    fHandler->WriteUInt32(offset);
    fHandler->WriteUInt32(kMagic);
    fHandler->WriteString(kSignature);
  }
  fHandler->Flush();
  fHeaderInDoubt = false;
  fObjectOffset = offset;
  fObjects.Settle();
}

void Database::SaveAll(Database* database, const GrowthHook& grown) {
  database->SaveObjects(database->ModifiedObjects(), false, grown);
  database->fHandler->Flush();

  for (;;) {
    Persistent* kept = nullptr;
    for (Persistent* object : Persistent::ObjectsOf(database)) {
      if (object->IsKeptStored()) {
        kept = object;
        break;
      }
    }
    if (!kept) break;
    delete kept;
  }
  if (database->IsKeptStored()) delete database;
}

Database* Database::Find(uint32_t databaseID) {
  auto& registry = Registry();
  auto entry = registry.find(databaseID);
  return entry == registry.end() ? nullptr : entry->second;
}

uint32_t Database::SerialisedSize() const {
  return Persistent::SerialisedSize() + 15 + fRoots.SerialisedSize() + fObjects.SerialisedSize();
}

void Database::ReadContents(Stream& stream) {
  stream.ReadUInt32(fDatabaseID);
  stream.ReadUInt32(fVersion);
  stream.ReadUInt32(fNextObjectID);
  fRoots.Load(stream);
  fObjects.Load(stream);
}

void Database::WriteContents(Stream& stream) {
  stream.WriteUInt32(fDatabaseID);
  stream.WriteUInt32(fVersion);
  stream.WriteUInt32(fNextObjectID);
  fRoots.Save(stream);
  fObjects.Save(stream);
}

void Database::Dump(std::ostream& out) const {
  out << "Class of Database instance: " << ClassName() << '\n';
  out << "Version of database       : " << fVersion << '\n';
  out << "ID of database            : " << fDatabaseID << '\n';
  out << "Offset of object in file  : ";
  PrintGroupedNumber(fObjectOffset, 0, out);
  out << '\n';
  out << "Offset of database in file: ";
  PrintGroupedNumber(fDatabaseOffset, 0, out);
  out << '\n';
  out << "------------------------" << '\n';
  fRoots.Dump(out);
  out << "------------------------" << '\n';
  fObjects.Dump(out);
}
