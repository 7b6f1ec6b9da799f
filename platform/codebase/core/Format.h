#pragma once
// The .dbf table file: its header, its field descriptors and the text forms
// of the values its records hold (FoxPro 2.x, readable by dBASE tools).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xbase {

// Answers of every table operation. The positive ones are positions, the
// negative ones failures.
enum class Code : int32_t {
  Ok = 0,
  Bof = 1,        // a skip went before the first row; the first row is current
  NotFound = 2,   // a seek found no row with the key; no row is current
  Eof = 3,        // past the last row, or the table has no row
  BadArgument = -1,
  IoError = -2,
  Damaged = -3,   // a file contradicts itself
  Truncated = -4, // a file ends before what its header announces
  NoAppend = -5,  // append without start-append
  NoRow = -6,     // a change with no current row
  NoRoom = -7,    // the value does not fit its field
  Packed = -8,    // another program packed the table while a change was pending; it was not written
  Exists = -9,    // create over an existing table
  Unsupported = -10,
};

const char* CodeText(Code code);

struct Field {
  std::string name;   // as stored, upper case
  char type = 'C';    // C N F M L D I, or another letter kept as raw text
  uint32_t offset = 0;  // within the record; byte 0 is the deletion flag
  uint32_t width = 0;
  uint8_t decimals = 0;
  std::string tag;    // the tag its descriptor names as ordering by it; empty for none

  bool IsMemo() const { return type == 'M' || type == 'G' || type == 'P'; }
  bool IsNumeric() const { return type == 'N' || type == 'F' || type == 'I'; }
};

// What a caller asks for when it creates a table.
struct FieldSpec {
  std::string name;
  char type;          // C, N, M, L or D
  uint32_t width;     // C: 1-254; N: 1-20; M, L and D take their fixed widths
  uint8_t decimals;
};

constexpr uint32_t kHeaderFixed = 32;
constexpr uint8_t kFieldEnd = 0x0D;
constexpr uint8_t kFileEnd = 0x1A;
constexpr uint8_t kDeletedMark = '*';

struct Layout {
  uint8_t version = 0;
  uint32_t headerLength = 0;
  uint32_t recordLength = 0;
  std::vector<Field> fields;

  bool HasMemo() const;
  int FindField(std::string_view name) const;  // -1 when absent; letter case ignored
  // How many records a file of this size can hold after the header.
  uint64_t RowsFitting(uint64_t fileSize) const;
};

// The 32-byte fixed header's changing part. Besides the row count it keeps,
// in bytes reserved for multi-user use, three counters through which every
// program that has the table open notices what another one changed: the
// generation moves when a key of an existing row changes, the epoch when a
// pack renumbers the rows, and the write count is odd while rows or memos
// are being rewritten in place and moves on when that is done.
struct HeaderState {
  uint32_t count = 0;
  uint32_t generation = 0;
  uint32_t epoch = 0;
  uint32_t writes = 0;

  // The tags' order built for one state serves the other.
  bool SameOrder(const HeaderState& o) const {
    return count == o.count && generation == o.generation && epoch == o.epoch;
  }
  bool Rewriting() const { return writes % 2 != 0; }
};

// The odd write count that marks the next rewrite after `writes`. A
// journalled rewrite takes one in four counts and a single row's rewrite
// another, so that a journal left behind never matches the mark of a row
// write that was cut short.
enum class Mark : uint32_t { Journalled = 1, Row = 3 };
uint32_t NextMark(uint32_t writes, Mark mark);

HeaderState ReadHeaderState(const uint8_t* header);
// Writes the state and today's date into the fixed header.
void WriteHeaderState(uint8_t* header, const HeaderState& state);
// Whether two reads of the fixed header show the same state (the date aside).
bool SameHeaderState(const uint8_t* a, const uint8_t* b);

// Parses the first `size` bytes of a table file (at least the whole
// header). `why` names the check that failed.
Code ParseLayout(const uint8_t* bytes, size_t size, Layout& layout, std::string& why);

// Header bytes of a new, empty table.
Code BuildHeader(const std::vector<FieldSpec>& specs, std::vector<uint8_t>& header, std::string& why);

// A field's descriptor names the tag that orders by it, so that the table
// itself knows its tags and can write its tag file again when that is lost.
// The name goes into bytes 20-30 (at most 10 characters, NUL-padded) and
// byte 31 becomes 1, dBASE's mark of a field with an index tag; other
// readers pass over both. `field` must be a field of `header`.
void StoreTagMark(std::vector<uint8_t>& header, size_t field, std::string_view tag);

// Whether the descriptors can take tag marks: a kind of table we write,
// whose descriptors' bytes 20-31 are all zero, as tables made before the
// marks have them. `layout` is parsed from `header`.
bool TagMarksFree(const std::vector<uint8_t>& header, const Layout& layout);

// A memo field's block: decimal digits among blanks, or in Visual FoxPro
// tables 4 bytes little-endian. False when the field holds no number.
bool ReadMemoBlock(const Field& field, const uint8_t* record, uint32_t& block);
void StoreMemoBlock(const Field& field, uint32_t block, uint8_t* record);

bool SameName(std::string_view a, std::string_view b);  // ASCII, letter case ignored

// Numbers as records hold them: blanks around, an optional sign, digits and
// an optional fraction. Lenient reading takes the longest such prefix and
// reads anything else as 0; strict reading refuses anything else.
double ReadNumberLenient(std::string_view text);
bool ReadNumberStrict(std::string_view text, double& value);
int32_t ToInt32(double value);  // truncated towards 0, held within the 32-bit range

// The field's text for a whole number, right-aligned; NoRoom when it is wider
// than the field.
Code FormatNumber(const Field& field, int32_t value, std::string& text);

std::string_view TrimBlanks(std::string_view text);  // trailing blanks and NULs

}  // namespace xbase
