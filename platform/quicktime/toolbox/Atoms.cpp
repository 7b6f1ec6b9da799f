// The atom container functions over handles. Each call reads the
// container afresh and checks every atom it is given against it, so a
// handle the caller changed, or an offset that names no atom, gets an
// error and never a read outside the block.
#include "AtomContainer.h"
#include "Toolbox.h"

#include <algorithm>
#include <cstring>

using qtb::Guard;
using qtb::SetError;
using qtb::Toolbox;

namespace {

// The container in a live handle; false, with the error set, when it is none.
bool Open(QTAtomContainer container, qtf::AtomContainer& out) {
  if (!container || !Toolbox::Get().handles.count(container)) {
    SetError(nilHandleErr);
    return false;
  }
  int32_t size = GetHandleSize(container);
  if (!out.Parse(reinterpret_cast<const uint8_t*>(*container), size_t(size)).Ok()) {
    SetError(paramErr);
    return false;
  }
  return true;
}

int AtomAt(const qtf::AtomContainer& c, QTAtom atom) { return c.FromOffset(int64_t(atom)); }

}  // namespace

OSErr QTNextChildAnyType(QTAtomContainer container, QTAtom parentAtom, QTAtom currentChild, QTAtom* nextChild) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    if (!nextChild) return SetError(paramErr);
    *nextChild = 0;
    qtf::AtomContainer c;
    if (!Open(container, c)) return Toolbox::Get().error;
    int parent = AtomAt(c, parentAtom);
    if (parent < 0) return SetError(paramErr);
    int next = -1;
    if (currentChild == 0) {
      next = c.At(parent).firstChild;
    } else {
      int current = AtomAt(c, currentChild);
      if (current < 0 || c.At(current).parent != parent) return SetError(paramErr);
      next = c.At(current).nextSibling;
    }
    *nextChild = next < 0 ? 0 : QTAtom(c.OffsetOf(next));
    return SetError(noErr);
  });
}

QTAtom QTFindChildByIndex(QTAtomContainer container, QTAtom parentAtom, QTAtomType atomType, int16_t index,
                          QTAtomID* id) {
  return Guard<QTAtom>(0, [&]() -> QTAtom {
    qtf::AtomContainer c;
    if (!Open(container, c)) return 0;
    int parent = AtomAt(c, parentAtom);
    if (parent < 0) {
      SetError(paramErr);
      return 0;
    }
    // A type of 0 names none: an atom's type is what is looked for.
    int found = atomType == 0 ? -1 : c.ChildByIndex(parent, qtf::FourCC(atomType), index);
    if (found < 0) {
      SetError(paramErr);
      return 0;
    }
    if (id) *id = QTAtomID(c.At(found).id);
    SetError(noErr);
    return QTAtom(c.OffsetOf(found));
  });
}

int16_t QTCountChildrenOfType(QTAtomContainer container, QTAtom parentAtom, QTAtomType childType) {
  return Guard<int16_t>(0, [&]() -> int16_t {
    qtf::AtomContainer c;
    if (!Open(container, c)) return 0;
    int parent = AtomAt(c, parentAtom);
    if (parent < 0) {
      SetError(paramErr);
      return 0;
    }
    SetError(noErr);
    // The child count is 16-bit in the file, so this never overflows.
    return int16_t(c.CountChildren(parent, qtf::FourCC(childType)));
  });
}

OSErr QTGetAtomDataPtr(QTAtomContainer container, QTAtom atom, long* dataSize, Ptr* atomData) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    if (dataSize) *dataSize = 0;
    if (atomData) *atomData = nullptr;
    qtf::AtomContainer c;
    if (!Open(container, c)) return Toolbox::Get().error;
    int index = AtomAt(c, atom);
    qtf::ByteReader data;
    if (index < 0 || !c.Data(index, data)) return SetError(paramErr);
    if (dataSize) *dataSize = long(data.Remaining());
    // A pointer into the handle's own block, as the caller expects.
    if (atomData) *atomData = *container + c.At(index).DataOffset();
    return SetError(noErr);
  });
}

OSErr QTCopyAtomDataToPtr(QTAtomContainer container, QTAtom atom, Boolean sizeOrLessOK, long matchingSize,
                          void* targetPtr, long* actualSize) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    if (actualSize) *actualSize = 0;
    qtf::AtomContainer c;
    if (!Open(container, c)) return Toolbox::Get().error;
    int index = AtomAt(c, atom);
    qtf::ByteReader data;
    if (index < 0 || !c.Data(index, data) || matchingSize < 0) return SetError(paramErr);
    size_t n = data.Remaining();
    // The target holds matchingSize bytes: more never fits, fewer only when allowed.
    if (n > size_t(matchingSize) || (n < size_t(matchingSize) && !sizeOrLessOK) || (n > 0 && !targetPtr))
      return SetError(paramErr);
    if (n > 0) std::memcpy(targetPtr, data.Current(), n);
    if (actualSize) *actualSize = long(n);
    return SetError(noErr);
  });
}
