#include "HListNode.h"

#include "store/Stream.h"

namespace {
PersistentMaker<HListNode> gHListNodeMaker("HListNode");
}  // namespace

HListNode::HListNode(const std::string& name) : ListNode(name) {
  // Stored without empty slots: a node's size follows its children.
  fChildren.SetExactSize();
}

uint32_t HListNode::SerialisedSize() const {
  return ListNode::SerialisedSize() + fChildren.SerialisedSize() - fChildren.EnvelopeSize() + 2;
}

void HListNode::ReadContents(Stream& stream) {
  ListNode::ReadContents(stream);
  fChildren.ReadContents(stream);
  stream.ReadBool(fExpanded);
}

void HListNode::WriteContents(Stream& stream) {
  ListNode::WriteContents(stream);
  fChildren.WriteCheckedContents(stream);
  stream.WriteBool(fExpanded);
}

ListNode* HListNode::GetChild(int32_t index) {
  if (index < 0 || index >= CountChildren()) return nullptr;
  return fChildren[static_cast<std::size_t>(index)].Get();
}

void HListNode::SetExpanded(bool expanded) {
  fExpanded = expanded;
  SetModified(true);
}

void HListNode::AddChild(ListNode* child) { fChildren.push_back(db_ptr<ListNode>(child)); }

void HListNode::InsertChild(ChildPosition position, ListNode* child) {
  fChildren.insert(position, db_ptr<ListNode>(child));
}
