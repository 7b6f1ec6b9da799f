#include "panes/GH_WiredAction.h"

#include <algorithm>

namespace {

// The data of an atom; false when QuickTime gives none.
bool AtomData(QTAtomContainer container, QTAtom atom, const uint8_t*& bytes, size_t& size) {
  long length = 0;
  Ptr data = nullptr;
  if (!atom || QTGetAtomDataPtr(container, atom, &length, &data) != noErr || !data || length < 0) return false;
  bytes = reinterpret_cast<const uint8_t*>(data);
  size = size_t(length);
  return true;
}

QTAtom NextChild(QTAtomContainer container, QTAtom parent, QTAtom after) {
  QTAtom child = 0;
  if (QTNextChildAnyType(container, parent, after, &child) != noErr) return 0;
  return child;
}

}  // namespace

bool ReadWiredActionType(const ResolvedQTEventSpec* spec, uint32_t& type) {
  if (!spec || !spec->actionAtom.container) return false;
  QTAtomContainer container = spec->actionAtom.container;
  const QTAtom first = NextChild(container, spec->actionAtom.atom, 0);
  const uint8_t* bytes = nullptr;
  size_t size = 0;
  if (!AtomData(container, first, bytes, size) || size < 4) return false;
  type = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
  return true;
}

std::string ReadWiredActionString(const ResolvedQTEventSpec* spec) {
  if (!spec || !spec->actionAtom.container) return std::string();
  QTAtomContainer container = spec->actionAtom.container;
  const QTAtom parent = spec->actionAtom.atom;
  const QTAtom first = NextChild(container, parent, 0);
  const QTAtom number = first ? NextChild(container, parent, first) : 0;
  const QTAtom string = number ? NextChild(container, parent, number) : 0;
  const uint8_t* bytes = nullptr;
  size_t size = 0;
  if (!AtomData(container, string, bytes, size) || size < 1) return std::string();
  const size_t length = std::min<size_t>(bytes[0], size - 1);
  return std::string(reinterpret_cast<const char*>(bytes + 1), length);
}

std::string ToLengthPrefixed(const std::string& text) {
  const size_t length = std::min<size_t>(text.size(), 255);
  std::string out(1, char(uint8_t(length)));
  out.append(text, 0, length);
  return out;
}
