#pragma once
// The library is a tree of stored nodes. Each node refers to its parent and
// its children through persistent pointers, so a node is read from its
// database only when a walk, a parent or a child reaches it. Nodes belong to
// their database: a node never deletes its parent or its children.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "store/DbPtr.h"
#include "store/Persistent.h"

class FilmNode;
class ListNode;

// What the walks call for every node they reach; false stops the walk.
class ListNodeVisitor {
public:
  virtual ~ListNodeVisitor() = default;
  virtual bool VisitNode(ListNode* node, int32_t depth, bool hasChildren) = 0;
  virtual bool VisitFilm(FilmNode* film, int32_t depth, bool hasChildren) = 0;
};

// A place in a node's list of children.
using ChildPosition = std::vector<db_ptr<ListNode>>::iterator;
using ConstChildPosition = std::vector<db_ptr<ListNode>>::const_iterator;

// A named node with a parent and no children.
class ListNode : public Persistent {
public:
  static constexpr uint32_t kNameCapacity = 80;
  // No library is this deep: a deeper walk or parent chain means the stored
  // nodes form a cycle.
  static constexpr int32_t kMaxTreeDepth = 256;
  // The nodes a walk has entered. A library is a tree: a node reached twice
  // means damage, and entering it again could cycle or multiply the work.
  using Entered = std::set<const ListNode*>;

  ListNode() = default;
  explicit ListNode(const std::string& name) : fName(name) {}

  const std::string& GetName() const { return fName; }

  std::string ClassName() const override { return "ListNode"; }
  uint32_t SerialisedSize() const override;
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;

  // Loads the parent on first use; null without one or when its database
  // is not open.
  virtual ListNode* GetParent();
  // Only a node without a parent (stored or in memory) takes one.
  virtual void SetParent(ListNode* parent);
  virtual int32_t CountChildren() { return 0; }
  // Null outside 0 .. CountChildren() - 1.
  virtual ListNode* GetChild(int32_t) { return nullptr; }
  virtual bool IsExpanded() { return false; }
  virtual void SetExpanded(bool) {}
  // The mark is not stored and does not make the node modified.
  bool IsMarked() const { return fMarked; }
  void SetMarked(bool marked) { fMarked = marked; }

  // Visits the children in pre-order (this node itself is not visited):
  // children with the depth given, theirs with depth + 1. False when the
  // visitor stopped the walk. Nodes that do not form a tree (a cycle, a
  // node under two parents, a chain deeper than kMaxTreeDepth) throw
  // InvalidDatabase.
  bool Walk(ListNodeVisitor& visitor, int32_t depth);
  // The same, entering only expanded children; collapsed ones are still
  // visited, as having no children.
  bool WalkExpanded(ListNodeVisitor& visitor, int32_t depth);
  virtual bool Accept(ListNodeVisitor& visitor, int32_t depth, bool hasChildren);

  // Marks the whole subtree keep-stored, children before their parents,
  // loading what was not loaded.
  void ReleaseTree();
  // Marks the children and this node, not the grandchildren.
  void ReleaseWithChildren();

  // A film's path below the CD node above it: the CD's "screensavers"
  // value, "/" and the film's own path. Without either, the film's path.
  void MakePath(std::string& path);

  virtual ChildPosition ChildrenBegin() { return ChildPosition(); }
  virtual ChildPosition ChildrenEnd() { return ChildPosition(); }
  virtual ConstChildPosition ChildrenBegin() const { return ConstChildPosition(); }
  virtual ConstChildPosition ChildrenEnd() const { return ConstChildPosition(); }
  // Neither sets the child's parent nor marks this node modified.
  virtual void AddChild(ListNode*) {}
  virtual void InsertChild(ChildPosition, ListNode*) {}

protected:
  // This node's part of MakePath, then its parent's. level counts the nodes
  // passed on the way up.
  virtual void ExtendPath(std::string& path, int32_t level);
  void ExtendPathAtParent(std::string& path, int32_t level);

private:
  bool WalkLevel(ListNodeVisitor& visitor, int32_t depth, bool expandedOnly, int32_t level,
                 Entered& entered);
  void ReleaseTreeLevel(int32_t level, Entered& entered);
  // Records this node as entered; InvalidDatabase when it already was.
  void Enter(int32_t level, Entered& entered) const;

  db_ptr<ListNode> fParent;
  std::string fName;
  bool fMarked = false;
};

// Throws InvalidDatabase when a walk or a parent chain passes the depth no
// sound library reaches.
void CheckTreeDepth(int32_t level);
