#pragma once
// QT atoms and atom containers as a film stores them: each atom a 20-byte
// header (size, type, ID, 2 reserved bytes, child count, 4 reserved bytes)
// followed by its children or, for a leaf, its data; a container a 12-byte
// header (10 reserved bytes and a lock count) and the root atom 'sean' ID 1.
// All numbers big-endian.
#include "Bytes.h"

#include <memory>
#include <string>
#include <vector>

namespace film {

using Bytes = std::vector<uint8_t>;

class QTAtom {
 public:
  QTAtom(qtf::FourCC type, uint32_t id) : type_(type), id_(id) {}

  qtf::FourCC Type() const { return type_; }
  uint32_t Id() const { return id_; }

  // A child that holds children of its own; the reference stays valid for
  // the parent's life.
  QTAtom& Add(qtf::FourCC type, uint32_t id);
  // Leaves: their data as given, or a number big-endian.
  QTAtom& AddLeaf(qtf::FourCC type, uint32_t id, Bytes data);
  QTAtom& AddU8(qtf::FourCC type, uint32_t id, uint8_t value);
  QTAtom& AddU16(qtf::FourCC type, uint32_t id, uint16_t value);
  QTAtom& AddU32(qtf::FourCC type, uint32_t id, uint32_t value);

  // The atom with its header and everything below it.
  Bytes Serialise() const;

 private:
  void SerialiseInto(qtf::ByteWriter& w) const;

  qtf::FourCC type_;
  uint32_t id_;
  Bytes data_;
  bool leaf_ = false;
  std::vector<std::unique_ptr<QTAtom>> children_;
};

// A whole container: its header, then the root atom, which must be 'sean'.
Bytes ContainerBytes(const QTAtom& root);

// Text as a length byte and up to 255 characters.
Bytes PascalString(const std::string& text);
Bytes U32Bytes(uint32_t value);

}  // namespace film
