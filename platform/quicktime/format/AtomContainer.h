#pragma once
// QT atom containers: the tree of typed, numbered atoms that sprite samples
// and wired actions are made of. A container is checked whole before any of
// it is used: every size inside its parent, children filling their parent
// exactly and as many as the parent counts. Atoms are named by the offset
// of their header from the container's start; 0 names the container.
#include "Bytes.h"

#include <vector>

namespace qtf {

constexpr size_t kContainerHeaderSize = 12;  // 10 reserved bytes, the lock count
constexpr size_t kQTAtomHeaderSize = 20;     // size, type, ID, reserved, child count, reserved
constexpr FourCC kRootAtomType = Tag("sean");
// Deeper nesting than this is refused: no format of ours comes near it.
constexpr int kMaxAtomDepth = 32;

class AtomContainer {
 public:
  struct Atom {
    uint32_t offset = 0;  // of the header; the root's is 12
    FourCC type = 0;
    uint32_t id = 0;
    uint32_t size = 0;    // header included
    uint16_t childCount = 0;
    int parent = -1;
    int firstChild = -1;
    int nextSibling = -1;

    bool Leaf() const { return childCount == 0; }
    uint32_t DataOffset() const { return offset + uint32_t(kQTAtomHeaderSize); }
    uint32_t DataSize() const { return size - uint32_t(kQTAtomHeaderSize); }
  };

  // Reads the container in bytes (untrusted). Nothing is kept of a container
  // that fails. The bytes must outlive the uses of Data().
  Status Parse(const uint8_t* bytes, size_t size);

  // Atom indices: 0 is the root; -1 is none.
  static constexpr int kRoot = 0;
  const Atom& At(int index) const { return atoms_[size_t(index)]; }
  size_t Count() const { return atoms_.size(); }

  // The atom a QTAtom names (0: the root); -1 when no atom starts there.
  int FromOffset(int64_t offset) const;
  // The QTAtom that names an atom: the root is 0.
  uint32_t OffsetOf(int index) const { return index == kRoot ? 0 : At(index).offset; }

  // Children of a type, counted from 1; type 0 counts every child.
  int CountChildren(int parent, FourCC type) const;
  int ChildByIndex(int parent, FourCC type, int index) const;
  int ChildById(int parent, FourCC type, uint32_t id) const;

  // A leaf's data; false for a parent.
  bool Data(int index, ByteReader& out) const;

 private:
  Status ParseChildren(int parent, ByteReader body, int depth);

  const uint8_t* bytes_ = nullptr;
  std::vector<Atom> atoms_;
};

}  // namespace qtf
