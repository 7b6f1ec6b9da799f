// A second program on the same CD database, for the tests that need two
// processes at once:
//   c4append append TABLE PREFIX COUNT  appends COUNT numbered items as the programs do
//   c4append pack TABLE PREFIX          marks the items whose text starts with PREFIX, packs
#include <cstdlib>
#include <cstring>
#include <string>

#include "C4Dll.h"

namespace {

int Append(C4Table* t, const std::string& prefix, int count) {
  C4Field* id = C4FindField(t, "ITEM_ID");
  C4Field* text = C4FindField(t, "ITEMTEXT");
  C4Field* path = C4FindField(t, "FILEPATH");
  for (int i = 0; i < count; ++i) {
    if (C4AppendStart(t, 1) != C4_OK) return 3;
    std::string name = prefix + std::to_string(i);
    C4SetText(text, name.c_str());
    C4SetMemo(path, ("folder of " + name).c_str());
    if (C4AppendNumbered(t, id) != C4_OK || C4Flush(t) != C4_OK) return 4;
  }
  return 0;
}

int Pack(C4Table* t, const std::string& prefix) {
  C4Field* text = C4FindField(t, "ITEMTEXT");
  for (int c = C4First(t); c == C4_OK; c = C4Skip(t, 1))
    if (std::strncmp(C4GetText(text), prefix.c_str(), prefix.size()) == 0) C4MarkDeleted(t);
  return C4Pack(t) == C4_OK && C4CompactMemo(t) == C4_OK ? 0 : 5;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  std::string command = argv[1];
  C4Engine engine;
  if (C4Init(&engine, nullptr, C4_VERSION, 0, 0) != C4_OK) return 1;
  C4Table* t = C4Open(&engine, argv[2]);
  if (!t) return 1;
  C4SelectTag(t, C4FindTag(t, "ITEMID"));
  int rc = 2;
  if (command == "append" && argc == 5) rc = Append(t, argv[3], std::atoi(argv[4]));
  if (command == "pack") rc = Pack(t, argv[3]);
  if (C4Release(&engine) != C4_OK && rc == 0) rc = 6;
  return rc;
}
