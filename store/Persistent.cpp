#include "Persistent.h"

#include <algorithm>
#include <map>
#include <new>

#include "Database.h"
#include "Exception.h"
#include "Stream.h"

namespace {

struct Record {
  Database* database;
  Persistent* object;  // set by the constructor that claims the memory
  uint64_t sequence;   // allocation order, so saving is repeatable
};

// Made on first use and never destroyed: objects may outlive static
// destruction.
std::map<const void*, Record>& Records() {
  static auto* records = new std::map<const void*, Record>;
  return *records;
}

uint64_t gNextSequence = 0;

Record* FindRecord(const void* address) {
  auto& records = Records();
  auto it = records.find(address);
  return it == records.end() ? nullptr : &it->second;
}

}  // namespace

void* Persistent::operator new(std::size_t size) { return ::operator new(size); }

void* Persistent::operator new(std::size_t size, Database* database) {
  void* address = ::operator new(size);
  if (database) {
    try {
      Records()[address] = Record{database, nullptr, gNextSequence++};
    } catch (...) {
      ::operator delete(address);
      throw;
    }
  }
  return address;
}

void Persistent::operator delete(void* address) {
  if (address) Records().erase(address);
  ::operator delete(address);
}

void Persistent::operator delete(void* address, Database*) { operator delete(address); }

Persistent::Persistent() {
  Record* record = FindRecord(this);
  fModified = record != nullptr;
  if (record) record->object = this;
}

Persistent::Persistent(const Persistent& other)
    : Serialisable(other), fKeepStored(other.fKeepStored) {
  Record* record = FindRecord(this);
  fModified = record != nullptr || other.fModified;
  if (record) {
    record->object = this;
  } else {
    fObjectID = other.fObjectID;
  }
}

Persistent& Persistent::operator=(const Persistent& other) {
  Serialisable::operator=(other);
  fModified = true;
  return *this;
}

// Never throws: an object that was given an ID but never saved has no entry
// in the object table, and that is not an error here.
Persistent::~Persistent() {
  auto& records = Records();
  auto it = records.find(this);
  if (it == records.end() || it->second.object != this) return;
  Database* database = it->second.database;
  records.erase(it);
  database->Forget(this, fObjectID, fKeepStored);
}

Database* Persistent::GetDatabase() const {
  const Record* record = FindRecord(this);
  return record && record->object == this ? record->database : nullptr;
}

uint32_t Persistent::GetID() {
  if (fObjectID == 0) {
    if (Database* database = GetDatabase()) fObjectID = database->RegisterObject(this);
  }
  return fObjectID;
}

void Persistent::SetID(uint32_t id) {
  if (fObjectID != 0) throw Assertion("Assertion failed", 169, "Persistent");
  fObjectID = id;
}

Persistent* Persistent::LoadFrom(Stream& stream, Database* database) {
  stream.ReadBeginObject();
  std::string className;
  stream.ReadString(className);
  Persistent* object = PersistentFactory::Find(className)->Make(database);
  try {
    ReadContentsToEnd(*object, stream);
  } catch (...) {
    delete object;
    throw;
  }
  return object;
}

std::vector<Persistent*> Persistent::ObjectsOf(const Database* database) {
  std::vector<std::pair<uint64_t, Persistent*>> found;
  for (const auto& entry : Records()) {
    if (entry.second.database == database && entry.second.object) {
      found.emplace_back(entry.second.sequence, entry.second.object);
    }
  }
  std::sort(found.begin(), found.end());
  std::vector<Persistent*> objects;
  objects.reserve(found.size());
  for (const auto& f : found) objects.push_back(f.second);
  return objects;
}

bool Persistent::ReleaseFromDatabase(const Persistent* object, const Database* database) {
  auto& records = Records();
  auto it = records.find(object);
  if (it == records.end() || it->second.object != object || it->second.database != database) {
    return false;
  }
  records.erase(it);
  return true;
}
