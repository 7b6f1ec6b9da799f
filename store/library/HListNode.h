#pragma once
// A list node that holds children. The children are pointers; they do not
// own their targets, and adding a child does not set its parent.
#include "ListNode.h"
#include "store/Containers.h"

class HListNode : public ListNode {
public:
  using Children = db_vector<db_ptr_traits<ListNode>>;

  HListNode() : HListNode(std::string()) {}
  explicit HListNode(const std::string& name);

  std::string ClassName() const override { return "HListNode"; }
  uint32_t SerialisedSize() const override;
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;

  int32_t CountChildren() override { return static_cast<int32_t>(fChildren.size()); }
  ListNode* GetChild(int32_t index) override;
  bool IsExpanded() override { return fExpanded; }
  // Marks the node modified.
  void SetExpanded(bool expanded) override;

  ChildPosition ChildrenBegin() override { return fChildren.begin(); }
  ChildPosition ChildrenEnd() override { return fChildren.end(); }
  ConstChildPosition ChildrenBegin() const override { return fChildren.begin(); }
  ConstChildPosition ChildrenEnd() const override { return fChildren.end(); }
  void AddChild(ListNode* child) override;
  void InsertChild(ChildPosition position, ListNode* child) override;

private:
  Children fChildren{1000};
  bool fExpanded = false;
};
