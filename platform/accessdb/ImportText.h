#pragma once
// The version-2 CD description as our ACCESSDB.DLL reads it: a small text
// form of the original database, turned into the import buffer that the
// programs hand to ReadAccessDB.
//
//   GHICD 2                      first line
//   ALIAS<TAB>alias root         once
//   ITEM<TAB>19 values           at most 100 are kept
//
// The ITEM values, separated by tabs: item number, sort order, parent's
// item number, kind, parent's kind, text, icon, loop, rate, volume, play,
// local track, global track, background track, folder, file name, alias
// root, volume name, origin. Numbers are decimal; the five texts at the end
// may be left out. Blank lines and lines starting with '#' are skipped.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace accessdb {

constexpr size_t kBufferSize = 125304;
constexpr size_t kAliasOffset = 4;
constexpr size_t kAliasSize = 100;
constexpr size_t kRowsOffset = 104;
constexpr size_t kRowSize = 1252;
constexpr int kMaxRows = 100;
constexpr size_t kMaxFileSize = 1 << 20;

// Cut: read, but the items past the hundredth were left out, so that the
// programs can say so.
enum class Result : int32_t { Ok = 0, Unreadable = 1, Malformed = 2, Cut = 3 };

// Fills the whole buffer (kBufferSize bytes). On Malformed the buffer
// holds no rows and no alias, so nothing is imported; `why` names the line.
Result FillImportBuffer(std::string_view text, uint8_t* buffer, std::string& why);

}  // namespace accessdb
