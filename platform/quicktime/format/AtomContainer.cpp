#include "AtomContainer.h"

#include <algorithm>

namespace qtf {

namespace {

Status Damaged(const char* what) { return Status::Fail(Fault::Corrupt, std::string("atom container: ") + what); }

}  // namespace

Status AtomContainer::Parse(const uint8_t* bytes, size_t size) {
  atoms_.clear();
  bytes_ = bytes;
  // Atoms are named by 32-bit offsets.
  if (size > 0x7FFFFFFFu) return Damaged("larger than its offsets reach");
  ByteReader r(bytes, size);
  if (!r.Skip(kContainerHeaderSize)) return Status::Fail(Fault::Truncated, "atom container: cut inside its header");
  uint32_t rootSize = 0, type = 0, id = 0, reserved = 0;
  uint16_t reserved16 = 0, children = 0;
  if (!r.ReadU32(rootSize) || !r.ReadU32(type) || !r.ReadU32(id) || !r.ReadU16(reserved16) ||
      !r.ReadU16(children) || !r.ReadU32(reserved))
    return Status::Fail(Fault::Truncated, "atom container: cut inside the root atom");
  if (type != kRootAtomType) return Damaged("the root is not 'sean'");
  // The root fills the container: a sample holds one container and nothing else.
  if (rootSize != size - kContainerHeaderSize) return Damaged("the root does not fill the container");
  Atom root;
  root.offset = uint32_t(kContainerHeaderSize);
  root.type = type;
  root.id = id;
  root.size = rootSize;
  root.childCount = children;
  atoms_.push_back(root);
  ByteReader body;
  if (!r.Sub(rootSize - kQTAtomHeaderSize, body)) return Damaged("the root passes the end");
  Status s = ParseChildren(kRoot, body, 1);
  if (!s.Ok()) {
    atoms_.clear();
    bytes_ = nullptr;
    return s;
  }
  return {};
}

Status AtomContainer::ParseChildren(int parent, ByteReader body, int depth) {
  const uint16_t expected = atoms_[size_t(parent)].childCount;
  if (expected == 0) return {};  // a leaf: the body is its data
  if (depth > kMaxAtomDepth) return Damaged("nested too deeply");
  int previous = -1;
  uint16_t found = 0;
  while (body.Remaining() > 0) {
    const uint32_t offset = uint32_t(body.Current() - bytes_);
    uint32_t size = 0, type = 0, id = 0, reserved = 0;
    uint16_t reserved16 = 0, children = 0;
    if (!body.ReadU32(size) || !body.ReadU32(type) || !body.ReadU32(id) || !body.ReadU16(reserved16) ||
        !body.ReadU16(children) || !body.ReadU32(reserved))
      return Damaged("a child is cut inside its header");
    if (size < kQTAtomHeaderSize) return Damaged("an atom smaller than its header");
    ByteReader childBody;
    if (!body.Sub(size - kQTAtomHeaderSize, childBody)) return Damaged("a child passes its parent's end");
    if (found == expected) return Damaged("more children than the parent counts");
    ++found;
    Atom a;
    a.offset = offset;
    a.type = type;
    a.id = id;
    a.size = size;
    a.childCount = children;
    a.parent = parent;
    atoms_.push_back(a);
    const int index = int(atoms_.size() - 1);
    if (previous < 0) {
      atoms_[size_t(parent)].firstChild = index;
    } else {
      atoms_[size_t(previous)].nextSibling = index;
    }
    previous = index;
    Status s = ParseChildren(index, childBody, depth + 1);
    if (!s.Ok()) return s;
  }
  if (found != expected) return Damaged("fewer children than the parent counts");
  return {};
}

int AtomContainer::FromOffset(int64_t offset) const {
  if (atoms_.empty()) return -1;
  if (offset == 0) return kRoot;
  // Offsets grow in storage order, which is the order atoms_ holds them in.
  auto it = std::lower_bound(atoms_.begin() + 1, atoms_.end(), offset,
                             [](const Atom& a, int64_t o) { return int64_t(a.offset) < o; });
  if (it == atoms_.end() || int64_t(it->offset) != offset) return -1;
  return int(it - atoms_.begin());
}

int AtomContainer::CountChildren(int parent, FourCC type) const {
  int n = 0;
  for (int c = At(parent).firstChild; c >= 0; c = At(c).nextSibling)
    if (type == 0 || At(c).type == type) ++n;
  return n;
}

int AtomContainer::ChildByIndex(int parent, FourCC type, int index) const {
  if (index < 1) return -1;
  for (int c = At(parent).firstChild; c >= 0; c = At(c).nextSibling)
    if ((type == 0 || At(c).type == type) && --index == 0) return c;
  return -1;
}

int AtomContainer::ChildById(int parent, FourCC type, uint32_t id) const {
  for (int c = At(parent).firstChild; c >= 0; c = At(c).nextSibling)
    if (At(c).type == type && At(c).id == id) return c;
  return -1;
}

bool AtomContainer::Data(int index, ByteReader& out) const {
  const Atom& a = At(index);
  if (!a.Leaf() || index == kRoot) return false;
  out = ByteReader(bytes_ + a.DataOffset(), a.DataSize());
  return true;
}

}  // namespace qtf
