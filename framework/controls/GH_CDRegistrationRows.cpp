// Apart from the rest of GH_CDRegistration: only what calls this needs the
// table engine's DLL.
#include <string>

#include "GH_CDRegistration.h"

namespace gh_library {

bool RemoveAppendedRows(C4Table* table, const std::vector<int32_t>& numbers) {
  if (numbers.empty()) return true;
  if (!table) return false;
  bool removed = true;
  for (int32_t number : numbers) {
    removed = C4Seek(table, std::to_string(number).c_str()) == C4_OK && C4MarkDeleted(table) == C4_OK &&
              C4Flush(table) == C4_OK && removed;
  }
  return C4Pack(table) == C4_OK && removed;
}

}  // namespace gh_library
