// Opens a database from arbitrary bytes, as a damaged film would carry it,
// reads its roots and what they point to, reports it and writes it back.
// Every store error is an acceptable outcome; a crash, a hang or a leak is
// not, and neither is an object that read before the save and reads
// differently, or not at all, after it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../tests/MemoryDataHandler.h"
#include "FuzzSample.h"
#include "store/Database.h"

namespace {

// Writing back may grow the bytes, but a damaged offset must not make the
// handler allocate gigabytes.
constexpr uint64_t kWriteLimit = 1 << 20;

using Readable = std::map<uint32_t, std::vector<uint8_t>>;

// The object's stored form, or empty when it cannot be written.
std::vector<uint8_t> StoredForm(Persistent& object) {
  MemoryDataHandler memory;
  StreamDataHandler stream(&memory);
  try {
    object.Save(stream);
  } catch (const Exception&) {
    return {};
  }
  return memory.Bytes();
}

// Whether the object's stored form ends within its own block. A damaged
// form that runs on into free space read only by chance: a save may rightly
// put another object there.
bool InsideItsBlock(Database& db, uint32_t id) {
  const auto& table = db.GetObjects().GetTable();
  const auto entry = table.find(id);
  if (entry == table.end()) return false;
  const uint64_t start = uint64_t{db.GetDataStart()} + entry->second.offset;
  Stream& stream = *db.GetHandler();
  try {
    stream.Seek(static_cast<int64_t>(start), SeekFrom::Start);
    std::unique_ptr<Persistent> copy(Persistent::LoadFrom(stream, nullptr));
    return stream.Tell() <= start + entry->second.allocated;
  } catch (const Exception&) {
    return false;
  }
}

void Note(Database& db, Persistent* object, Readable& readable) {
  if (object && object->GetStoredID() != 0 && InsideItsBlock(db, object->GetStoredID())) {
    readable[object->GetStoredID()] = StoredForm(*object);
  }
}

void Follow(Database& db, FuzzSample* sample, int depth, Readable& readable) {
  if (!sample || depth > 8) return;
  for (db_ptr<FuzzSample>& p : sample->next) {
    try {
      FuzzSample* next = p.Get();
      Note(db, next, readable);
      Follow(db, next, depth + 1, readable);
    } catch (const Exception&) {
    }
  }
}

void CheckReopened(MemoryDataHandler& memory, const Readable& before) {
  memory.Seek(0, SeekFrom::Start);
  std::unique_ptr<Database> db(
      Database::Create(new StreamDataHandler(&memory), "Database", 100, 30));
  for (const auto& object : before) {
    Persistent* again = nullptr;
    try {
      again = db->GetObject(object.first);
    } catch (const Exception&) {
      __builtin_trap();
    }
    if (!again || StoredForm(*again) != object.second) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  MemoryDataHandler memory(std::vector<uint8_t>(data, data + size), kWriteLimit);
  std::unique_ptr<Database> db;
  try {
    db.reset(Database::Create(new StreamDataHandler(&memory), "Database", 100, 30));
  } catch (const Exception&) {
    return 0;
  } catch (const Signal&) {
    return 0;
  }

  Readable before;
  std::vector<std::string> names;
  for (const auto& root : db->GetRoots().GetRoots()) names.push_back(root.first);
  for (const std::string& name : names) {
    try {
      Persistent* root = db->GetRoot(name);
      Note(*db, root, before);
      Follow(*db, dynamic_cast<FuzzSample*>(root), 0, before);
    } catch (const Exception&) {
    } catch (const Signal&) {
    }
  }

  std::ostringstream report;
  db->Dump(report);

  try {
    Database::SaveAll(db.get());
  } catch (const Exception&) {
    return 0;
  } catch (const Signal&) {
    return 0;
  }
  db.reset();
  CheckReopened(memory, before);
  return 0;
}
