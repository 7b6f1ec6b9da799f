// Opens a database from arbitrary bytes, as a damaged film would carry it,
// reads its roots and what they point to, reports it and writes it back.
// Every store error is an acceptable outcome; a crash, a hang or a leak is
// not.
#include <cstddef>
#include <cstdint>
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

void Follow(FuzzSample* sample, int depth) {
  if (!sample || depth > 8) return;
  for (db_ptr<FuzzSample>& p : sample->next) {
    try {
      Follow(p.Get(), depth + 1);
    } catch (const Exception&) {
    }
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

  std::vector<std::string> names;
  for (const auto& root : db->GetRoots().GetRoots()) names.push_back(root.first);
  for (const std::string& name : names) {
    try {
      Follow(dynamic_cast<FuzzSample*>(db->GetRoot(name)), 0);
    } catch (const Exception&) {
    } catch (const Signal&) {
    }
  }

  std::ostringstream report;
  db->Dump(report);

  try {
    Database::SaveAll(db.get());
  } catch (const Exception&) {
  } catch (const Signal&) {
  }
  return 0;
}
