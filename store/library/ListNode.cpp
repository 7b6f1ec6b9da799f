#include "ListNode.h"

#include "store/Exception.h"
#include "store/Stream.h"

namespace {
PersistentMaker<ListNode> gListNodeMaker("ListNode");
}  // namespace

void CheckTreeDepth(int32_t level) {
  if (level > ListNode::kMaxTreeDepth) {
    throw InvalidDatabase("Library tree deeper than " + std::to_string(ListNode::kMaxTreeDepth) +
                          " levels: its nodes form a cycle");
  }
}

uint32_t ListNode::SerialisedSize() const {
  return Persistent::SerialisedSize() + fParent.SerialisedSize() - fParent.EnvelopeSize() + 9 +
         kNameCapacity;
}

void ListNode::ReadContents(Stream& stream) {
  fParent.ReadContents(stream);
  stream.ReadBlock(fName);
}

void ListNode::WriteContents(Stream& stream) {
  fParent.WriteCheckedContents(stream);
  stream.WriteBlock(fName, kNameCapacity);
}

ListNode* ListNode::GetParent() { return fParent.Get(); }

void ListNode::SetParent(ListNode* parent) {
  if (!fParent.Is(nullptr)) throw Assertion("Assertion failed", 96, "ListNode");
  fParent.Set(parent);
}

bool ListNode::Walk(ListNodeVisitor& visitor, int32_t depth) {
  Entered entered;
  return WalkLevel(visitor, depth, false, 0, entered);
}

bool ListNode::WalkExpanded(ListNodeVisitor& visitor, int32_t depth) {
  Entered entered;
  return WalkLevel(visitor, depth, true, 0, entered);
}

void ListNode::Enter(int32_t level, Entered& entered) const {
  CheckTreeDepth(level);
  if (!entered.insert(this).second) {
    throw InvalidDatabase("Library node reached twice: the nodes do not form a tree");
  }
}

bool ListNode::WalkLevel(ListNodeVisitor& visitor, int32_t depth, bool expandedOnly,
                         int32_t level, Entered& entered) {
  Enter(level, entered);
  bool result = true;
  // The count is asked again before every step: a visitor may change it.
  for (int32_t i = 0; i < CountChildren() && result; ++i) {
    ListNode* child = GetChild(i);
    if (!child) continue;  // its database is not open
    const bool has = child->CountChildren() != 0 && (!expandedOnly || child->IsExpanded());
    if (!child->Accept(visitor, depth, has)) return false;
    if (has) result = child->WalkLevel(visitor, depth + 1, expandedOnly, level + 1, entered);
  }
  return result;
}

bool ListNode::Accept(ListNodeVisitor& visitor, int32_t depth, bool hasChildren) {
  return visitor.VisitNode(this, depth, hasChildren);
}

void ListNode::ReleaseTree() {
  Entered entered;
  ReleaseTreeLevel(0, entered);
}

void ListNode::ReleaseTreeLevel(int32_t level, Entered& entered) {
  // As in the walks, only nodes with children count as entered.
  if (CountChildren() != 0) {
    Enter(level, entered);
  } else {
    CheckTreeDepth(level);
  }
  for (int32_t i = 0; i < CountChildren(); ++i) {
    if (ListNode* child = GetChild(i)) child->ReleaseTreeLevel(level + 1, entered);
  }
  KeepStored();
}

void ListNode::ReleaseWithChildren() {
  for (int32_t i = 0; i < CountChildren(); ++i) {
    if (ListNode* child = GetChild(i)) child->KeepStored();
  }
  KeepStored();
}

void ListNode::MakePath(std::string& path) { ExtendPath(path, 0); }

void ListNode::ExtendPath(std::string& path, int32_t level) { ExtendPathAtParent(path, level); }

void ListNode::ExtendPathAtParent(std::string& path, int32_t level) {
  CheckTreeDepth(level);
  if (ListNode* parent = GetParent()) parent->ExtendPath(path, level + 1);
}
