// Reads a film's own data from arbitrary bytes as the library manager does:
// the header test, the embedded database, both roots, and the library
// nodes that any other root holds; then opens the bytes for writing and
// saves them. Every store error is an acceptable outcome; a crash, a hang
// or a leak is not.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FilmBytesHandler.h"
#include "store/library/ActionTable.h"
#include "store/library/FilmNode.h"
#include "store/library/FilmUserData.h"
#include "store/library/FilmUserDataHeader.h"
#include "store/library/LibrarySchema.h"
#include "store/library/StringMaps.h"

namespace {

// A damaged database must not make writes allocate gigabytes.
constexpr uint64_t kWriteLimit = 1 << 20;

struct Counter : ListNodeVisitor {
  bool VisitNode(ListNode*, int32_t, bool) override { return ++visits < 100000; }
  bool VisitFilm(FilmNode* film, int32_t, bool) override {
    std::string path;
    film->MakePath(path);
    return ++visits < 100000;
  }
  int visits = 0;
};

void ReadRoots(Database* db) {
  std::ostringstream report;
  if (RootRef<ActionTable> actions{db, kActionsRoot}) {
    for (const auto& entry : *actions.Get()) report << entry.second.GetText();
    actions->Dump(report);
  }
  if (RootRef<Dictionary> preferences{db, kPreferencesRoot}) preferences->Dump(report);

  std::vector<std::string> names;
  for (const auto& root : db->GetRoots().GetRoots()) names.push_back(root.first);
  for (const std::string& name : names) {
    try {
      if (RootRef<ListNode> node{db, name}) {
        Counter counter;
        node->Walk(counter, 0);
        node->WalkExpanded(counter, 0);
        std::string path;
        node->MakePath(path);
      }
    } catch (const Exception&) {
    }
  }
}

// Opens the bytes for writing and saves them twice, as a program would:
// a damaged film is refused or written, never a crash or a hang.
void WriteBack(const uint8_t* data, std::size_t size) {
  try {
    std::unique_ptr<Database> db;
    FilmUserData userData(
        new FilmBytesHandler(std::vector<uint8_t>(data, data + size), kWriteLimit), true);
    db.reset(userData.GetDatabase());
    if (RootRef<Dictionary> preferences{db.get(), kPreferencesRoot}) {
      (*preferences.Get())["name"] = "written back";
      preferences->SetModified(true);
    }
    userData.Save();
  } catch (const Exception&) {
  } catch (const Signal&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  WriteBack(data, size);
  auto film = std::make_unique<FilmBytesHandler>(std::vector<uint8_t>(data, data + size),
                                                 kWriteLimit);
  try {
    UserDataAtomHeader header(0, 0, 0);
    if (!ReadFilmUserDataHeader(film.get(), header)) return 0;
    std::ostringstream report;
    header.Dump(report);
    film->Seek(0, SeekFrom::Start);
    FilmUserData userData(film.release(), false);
    std::unique_ptr<Database> db(userData.GetDatabase());
    ReadRoots(db.get());
  } catch (const Exception&) {
  } catch (const Signal&) {
  }
  return 0;
}
