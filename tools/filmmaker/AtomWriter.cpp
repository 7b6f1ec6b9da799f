#include "AtomWriter.h"

#include <cassert>

namespace film {

QTAtom& QTAtom::Add(qtf::FourCC type, uint32_t id) {
  assert(!leaf_);
  children_.push_back(std::make_unique<QTAtom>(type, id));
  return *children_.back();
}

QTAtom& QTAtom::AddLeaf(qtf::FourCC type, uint32_t id, Bytes data) {
  QTAtom& child = Add(type, id);
  child.leaf_ = true;
  child.data_ = std::move(data);
  return child;
}

QTAtom& QTAtom::AddU8(qtf::FourCC type, uint32_t id, uint8_t value) { return AddLeaf(type, id, Bytes{value}); }

QTAtom& QTAtom::AddU16(qtf::FourCC type, uint32_t id, uint16_t value) {
  return AddLeaf(type, id, Bytes{uint8_t(value >> 8), uint8_t(value)});
}

QTAtom& QTAtom::AddU32(qtf::FourCC type, uint32_t id, uint32_t value) { return AddLeaf(type, id, U32Bytes(value)); }

void QTAtom::SerialiseInto(qtf::ByteWriter& w) const {
  const size_t start = w.Size();
  w.U32(0);  // the size, once known
  w.U32(type_);
  w.U32(id_);
  w.U16(0);
  w.U16(uint16_t(children_.size()));
  w.U32(0);
  if (leaf_) {
    w.Bytes(data_);
  } else {
    for (const auto& child : children_) child->SerialiseInto(w);
  }
  const uint32_t size = uint32_t(w.Size() - start);
  for (int i = 0; i < 4; ++i) w.Data()[start + size_t(i)] = uint8_t(size >> (8 * (3 - i)));
}

Bytes QTAtom::Serialise() const {
  qtf::ByteWriter w;
  SerialiseInto(w);
  return std::move(w.Data());
}

Bytes ContainerBytes(const QTAtom& root) {
  assert(root.Type() == qtf::Tag("sean"));
  Bytes out(12, 0);
  Bytes atom = root.Serialise();
  out.insert(out.end(), atom.begin(), atom.end());
  return out;
}

Bytes PascalString(const std::string& text) {
  qtf::ByteWriter w;
  w.PascalString(text);
  return std::move(w.Data());
}

Bytes U32Bytes(uint32_t value) {
  return Bytes{uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

}  // namespace film
