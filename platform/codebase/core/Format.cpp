#include "Format.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <set>

#include "Bytes.h"

namespace xbase {
namespace {

constexpr uint8_t kVersionPlain = 0x03;      // dBASE III / FoxPro without memo
constexpr uint8_t kVersionFoxMemo = 0xF5;    // FoxPro 2.x with an .fpt memo file
constexpr uint8_t kCodePageAnsi = 0x03;      // Windows ANSI
constexpr size_t kDescriptorSize = 32;
constexpr size_t kTagMarkAt = 20;    // within a descriptor: the tag's name
constexpr size_t kTagMarkEnd = 31;   // the byte after the name: the mark itself
constexpr size_t kMaxTagName = 10;
constexpr uint32_t kMaxRecordLength = 0xFFFF;

bool IsVisualFox(uint8_t version) { return version >= 0x30 && version <= 0x32; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool TagNameChar(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The tag a descriptor names, or empty. Only the table kinds we write carry
// one: in Visual FoxPro tables these bytes hold other things. A mark that is
// not exactly what StoreTagMark writes counts as none.
std::string TagMarkOf(uint8_t version, const uint8_t* d) {
  if (version != kVersionPlain && version != kVersionFoxMemo) return std::string();
  if (d[kTagMarkEnd] != 1) return std::string();
  std::string name;
  size_t i = kTagMarkAt;
  while (i < kTagMarkEnd && TagNameChar(d[i])) name += char(d[i++]);
  if (name.empty() || name.size() > kMaxTagName) return std::string();
  for (; i < kTagMarkEnd; ++i)
    if (d[i] != 0) return std::string();
  return name;
}

}  // namespace

const char* CodeText(Code code) {
  switch (code) {
    case Code::Ok: return "done";
    case Code::Bof: return "before the first row";
    case Code::NotFound: return "no row with this key";
    case Code::Eof: return "past the last row";
    case Code::BadArgument: return "bad argument";
    case Code::IoError: return "the file could not be read or written";
    case Code::Damaged: return "the file is damaged";
    case Code::Truncated: return "the file is cut short";
    case Code::NoAppend: return "no append was started";
    case Code::NoRow: return "no current row";
    case Code::NoRoom: return "the value does not fit its field";
    case Code::Packed: return "another program packed the table; the change was not written";
    case Code::Exists: return "the table exists already";
    case Code::Unsupported: return "this kind of table is not supported";
  }
  return "unknown";
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

bool Layout::HasMemo() const {
  for (const Field& f : fields)
    if (f.IsMemo()) return true;
  return false;
}

int Layout::FindField(std::string_view name) const {
  for (size_t i = 0; i < fields.size(); ++i)
    if (SameName(fields[i].name, name)) return int(i);
  return -1;
}

uint64_t Layout::RowsFitting(uint64_t fileSize) const {
  if (fileSize < headerLength || recordLength == 0) return 0;
  return (fileSize - headerLength) / recordLength;
}

uint32_t NextMark(uint32_t writes, Mark mark) {
  uint32_t next = writes + 1;
  while (next % 4 != uint32_t(mark)) ++next;
  return next;
}

HeaderState ReadHeaderState(const uint8_t* header) {
  HeaderState s;
  s.count = LoadU32LE(header + 4);
  s.generation = LoadU32LE(header + 16);
  s.epoch = LoadU32LE(header + 20);
  s.writes = LoadU32LE(header + 24);
  return s;
}

bool SameHeaderState(const uint8_t* a, const uint8_t* b) {
  return std::equal(a + 4, a + 8, b + 4) && std::equal(a + 16, a + 28, b + 16);
}

void WriteHeaderState(uint8_t* header, const HeaderState& state) {
  std::time_t now = std::time(nullptr);
  if (const std::tm* t = std::localtime(&now)) {
    header[1] = uint8_t(t->tm_year);  // years since 1900
    header[2] = uint8_t(t->tm_mon + 1);
    header[3] = uint8_t(t->tm_mday);
  }
  StoreU32LE(header + 4, state.count);
  StoreU32LE(header + 16, state.generation);
  StoreU32LE(header + 20, state.epoch);
  StoreU32LE(header + 24, state.writes);
}

Code ParseLayout(const uint8_t* bytes, size_t size, Layout& layout, std::string& why) {
  ByteReader r(bytes, size);
  uint8_t version = 0;
  const uint8_t* skipped = nullptr;
  uint16_t headerLength = 0, recordLength = 0;
  if (!r.ReadU8(version) || !r.ReadBytes(7, skipped) || !r.ReadU16LE(headerLength) ||
      !r.ReadU16LE(recordLength) || !r.Skip(20)) {
    why = "the file is shorter than a table header";
    return Code::Truncated;
  }
  if (version == 0x83 || version == 0x8B) {
    why = "the table keeps its memos in a dBASE .dbt file";
    return Code::Unsupported;
  }
  if (version != kVersionPlain && version != kVersionFoxMemo && !IsVisualFox(version)) {
    why = "not a table file (version byte " + std::to_string(version) + ")";
    return Code::Damaged;
  }
  if (headerLength < kHeaderFixed + 1) {
    why = "the header length is below its minimum";
    return Code::Damaged;
  }
  if (headerLength > size) {
    why = "the file ends inside its header";
    return Code::Truncated;
  }
  if (recordLength < 2) {
    why = "the record length is below its minimum";
    return Code::Damaged;
  }

  Layout out;
  out.version = version;
  out.headerLength = headerLength;
  out.recordLength = recordLength;
  ByteReader fields(bytes + kHeaderFixed, headerLength - kHeaderFixed);
  std::set<std::string> names;
  uint32_t offset = 1;  // after the deletion flag
  for (;;) {
    uint8_t first = 0;
    if (!fields.ReadU8(first)) {
      why = "the field list has no end mark";
      return Code::Damaged;
    }
    if (first == kFieldEnd) break;
    const uint8_t* d = nullptr;
    if (!fields.ReadBytes(kDescriptorSize - 1, d)) {
      why = "a field descriptor runs past the header";
      return Code::Damaged;
    }
    d -= 1;  // the descriptor starts with the byte read above
    Field f;
    for (size_t i = 0; i < 11 && d[i] != 0; ++i) f.name += Upper(char(d[i]));
    if (f.name.empty()) {
      why = "a field has no name";
      return Code::Damaged;
    }
    if (!names.insert(f.name).second) {
      why = "field " + f.name + " appears twice";
      return Code::Damaged;
    }
    f.type = Upper(char(d[11]));
    f.width = d[16];
    if (f.type == 'C') {
      f.width += uint32_t(d[17]) << 8;  // long character fields keep the high byte there
    } else {
      f.decimals = d[17];
    }
    if (f.width == 0) {
      why = "field " + f.name + " has no width";
      return Code::Damaged;
    }
    if (f.IsMemo() && f.width != 10 && !(f.width == 4 && IsVisualFox(version))) {
      why = "memo field " + f.name + " has an impossible width";
      return Code::Damaged;
    }
    if (f.type == 'I' && f.width != 4) {
      why = "integer field " + f.name + " is not 4 bytes wide";
      return Code::Damaged;
    }
    f.tag = TagMarkOf(version, d);
    f.offset = offset;
    offset += f.width;
    if (offset > recordLength) {
      why = "the fields are wider than the record";
      return Code::Damaged;
    }
    out.fields.push_back(std::move(f));
  }
  if (out.fields.empty()) {
    why = "the table has no fields";
    return Code::Damaged;
  }
  layout = std::move(out);
  return Code::Ok;
}

Code BuildHeader(const std::vector<FieldSpec>& specs, std::vector<uint8_t>& header, std::string& why) {
  if (specs.empty() || specs.size() > 2000) {
    why = "a table needs between 1 and 2000 fields";
    return Code::BadArgument;
  }
  std::set<std::string> names;
  bool memo = false;
  uint32_t recordLength = 1;
  std::vector<uint8_t> out(kHeaderFixed + specs.size() * kDescriptorSize + 1, 0);
  for (size_t i = 0; i < specs.size(); ++i) {
    const FieldSpec& s = specs[i];
    std::string name;
    for (char c : s.name) name += Upper(c);
    bool nameOk = !name.empty() && name.size() <= 10 && name[0] >= 'A' && name[0] <= 'Z';
    for (char c : name) nameOk = nameOk && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
    if (!nameOk || !names.insert(name).second) {
      why = "bad or repeated field name \"" + s.name + "\"";
      return Code::BadArgument;
    }
    char type = Upper(s.type);
    uint32_t width = s.width;
    uint8_t decimals = 0;
    switch (type) {
      case 'C':
        // FoxPro's limit: wider character fields are a Clipper extension
        // that other FoxPro readers refuse.
        if (width < 1 || width > 254) width = 0;
        break;
      case 'N':
        decimals = s.decimals;
        if (width < 1 || width > 20 || (decimals > 0 && decimals + 2u > width)) width = 0;
        break;
      case 'M': width = 10; memo = true; break;
      case 'L': width = 1; break;
      case 'D': width = 8; break;
      default: width = 0; break;
    }
    if (width == 0) {
      why = "field " + name + " has an impossible type or width";
      return Code::BadArgument;
    }
    uint8_t* d = out.data() + kHeaderFixed + i * kDescriptorSize;
    for (size_t k = 0; k < name.size(); ++k) d[k] = uint8_t(name[k]);
    d[11] = uint8_t(type);
    StoreU32LE(d + 12, recordLength);
    d[16] = uint8_t(width & 0xFF);
    d[17] = type == 'C' ? uint8_t(width >> 8) : decimals;
    recordLength += width;
    if (recordLength > kMaxRecordLength) {
      why = "the fields are wider than a record may be";
      return Code::BadArgument;
    }
  }
  out[0] = memo ? kVersionFoxMemo : kVersionPlain;
  StoreU16LE(out.data() + 8, uint16_t(out.size()));
  StoreU16LE(out.data() + 10, uint16_t(recordLength));
  out[29] = kCodePageAnsi;
  out.back() = kFieldEnd;
  WriteHeaderState(out.data(), HeaderState{});
  header = std::move(out);
  return Code::Ok;
}

void StoreTagMark(std::vector<uint8_t>& header, size_t field, std::string_view tag) {
  uint8_t* d = header.data() + kHeaderFixed + field * kDescriptorSize;
  std::fill(d + kTagMarkAt, d + kTagMarkEnd, uint8_t(0));
  std::copy_n(tag.begin(), std::min(tag.size(), kMaxTagName), d + kTagMarkAt);
  d[kTagMarkEnd] = 1;
}

bool TagMarksFree(const std::vector<uint8_t>& header, const Layout& layout) {
  if (layout.version != kVersionPlain && layout.version != kVersionFoxMemo) return false;
  for (size_t i = 0; i < layout.fields.size(); ++i) {
    const uint8_t* d = header.data() + kHeaderFixed + i * kDescriptorSize;
    if (std::any_of(d + kTagMarkAt, d + kTagMarkEnd + 1, [](uint8_t b) { return b != 0; })) return false;
  }
  return true;
}

bool ReadMemoBlock(const Field& field, const uint8_t* record, uint32_t& block) {
  const uint8_t* p = record + field.offset;
  if (field.width == 4) {
    block = LoadU32LE(p);
    return true;
  }
  std::string_view digits = TrimBlanks(std::string_view(reinterpret_cast<const char*>(p), field.width));
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + uint64_t(c - '0');
    if (value > UINT32_MAX) return false;
  }
  block = uint32_t(value);
  return true;
}

void StoreMemoBlock(const Field& field, uint32_t block, uint8_t* record) {
  uint8_t* p = record + field.offset;
  if (field.width == 4) {
    StoreU32LE(p, block);
    return;
  }
  std::string digits = block == 0 ? std::string() : std::to_string(block);
  std::fill_n(p, field.width, uint8_t(' '));
  std::copy(digits.begin(), digits.end(), p + field.width - digits.size());
}

namespace {

// The number at the start of `text` after blanks: sign, digits, fraction.
// `used` tells how many characters it took (0: no digit at all).
double ScanNumber(std::string_view text, size_t& used) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  double value = 0;
  bool digits = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i++] - '0');
    digits = true;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      value += (text[i++] - '0') * scale;
      scale /= 10;
      digits = true;
    }
  }
  used = digits ? i : 0;
  return negative ? -value : value;
}

}  // namespace

double ReadNumberLenient(std::string_view text) {
  size_t used = 0;
  double v = ScanNumber(text, used);
  return used == 0 ? 0 : v;
}

bool ReadNumberStrict(std::string_view text, double& value) {
  size_t used = 0;
  double v = ScanNumber(text, used);
  if (used == 0) return false;
  while (used < text.size() && text[used] == ' ') ++used;
  if (used != text.size()) return false;
  value = v;
  return true;
}

int32_t ToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return int32_t(value);
}

Code FormatNumber(const Field& field, int32_t value, std::string& text) {
  std::string digits = std::to_string(value);
  if (field.decimals > 0) digits += "." + std::string(field.decimals, '0');
  if (digits.size() > field.width) return Code::NoRoom;
  text = std::string(field.width - digits.size(), ' ') + digits;
  return Code::Ok;
}

std::string_view TrimBlanks(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0')) --n;
  return text.substr(0, n);
}

}  // namespace xbase
