#pragma once
// Damage done to a table file on disk, for the tests of the programs that
// read it.
#include "Format.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace xbasetest {

// Writes a memo pointer that leads nowhere over `field` of row `row` (in
// record order) of the table file at `path`, as damage to a table leaves
// it. False when the file, its layout or the field is not there.
inline bool DamageMemoPointer(const std::string& path, uint32_t row, const char* field) {
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  xbase::Layout layout;
  std::string why;
  if (xbase::ParseLayout(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), layout, why) != xbase::Code::Ok)
    return false;
  const int f = layout.FindField(field);
  if (f < 0) return false;
  const size_t at = layout.headerLength + size_t(row) * layout.recordLength + layout.fields[size_t(f)].offset;
  if (at + 10 > bytes.size()) return false;
  bytes.replace(at, 10, "     99999");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

}  // namespace xbasetest
