#pragma once
// One node of a tree table: its label, images, value and column texts, its
// children, its item in the native tree view, and its selection and
// expansion. It draws its own row and takes clicks and drops; derived items
// override the hooks.
#include "CP_DragDrop.h"
#include "CP_Geometry.h"
#include "CP_Win.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

class CP_OutStream;
class CP_TreeTable;
class CP_TreeTableItem;

// The description of a new item.
class CP_TreeTableItemData {
 public:
  CP_TreeTableItemData() = default;
  CP_TreeTableItemData(CP_TreeTableItem* parent_, CP_TreeTableItem* insertAfter_, const std::string& text_,
                       int16_t image_, int16_t secondImage_, int32_t userValue_)
      : parent(parent_), insertAfter(insertAfter_), image(image_), secondImage(secondImage_),
        userValue(userValue_), text(text_) {}

  CP_TreeTableItem* parent = nullptr;  // null: a top-level item
  // Null: after the last child; the parent itself: first; else after that
  // sibling.
  CP_TreeTableItem* insertAfter = nullptr;
  int16_t image = -1;        // from 1 in the table's image list; -1 none
  int16_t secondImage = -1;  // shown when selected; -1 none
  int32_t userValue = 0;
  std::string text;
};

class CP_TreeTableItem {
 public:
  // One empty column text per column of the owner.
  CP_TreeTableItem(CP_TreeTable* owner, const CP_TreeTableItemData& data);
  // Deletes the children, last first. The owner forgets the item.
  virtual ~CP_TreeTableItem();
  CP_TreeTableItem(const CP_TreeTableItem&) = delete;
  CP_TreeTableItem& operator=(const CP_TreeTableItem&) = delete;

  // The hooks a derived item may override.
  virtual bool HasChildren();
  virtual void DrawCell(const CP_Rect&, int16_t) {}
  // Fills the item's text rectangle with the highlight colour; answers the
  // label rectangle of the row. The active flag is not used.
  virtual CP_Rect FillSelection(bool active);
  virtual int16_t GetFirstColumnWidth();
  // The label as a 'TEXT' record.
  virtual void MakeDragData(CP_DragRecord& record);
  // An item record goes to AdoptItem; a record with a text becomes a new
  // child with that label.
  virtual void ReceiveDragData(CP_DragRecord& record, const CP_Point& point);
  // Moves the record's item, with its children, under this item. An item
  // of another table, this item itself or one of its ancestors is refused.
  virtual void AdoptItem(CP_DragRecord& record);
  // After a collapse: deletes the children when the owner says so.
  virtual void ChildrenCollapsed();
  // After an expansion: shows the children, and theirs where expanded.
  virtual void ChildrenExpanded();
  virtual void HandleDoubleClick(const CP_Point&) {}
  virtual void HandleClick(const CP_Point&) {}
  virtual void SpareItemHook(int32_t) {}
  virtual void DrawRow(const CP_Rect& rect);
  virtual void DrawImage(const CP_Rect& rect);
  virtual void DrawLabel(const CP_Rect& rect);
  virtual CP_Rect GetLabelRect(const CP_Rect& rowRect);
  virtual void HandleRightClick(const CP_Point&) {}
  // True when the data object offers a file list; the effect becomes none.
  virtual bool CanAcceptDrop(IDataObject* data, DWORD keyState, const CP_Point& point, DWORD* effect);

  // The expanded mark changes only when it differs, so a collapse hook may
  // collapse again. Called from code, the native item follows.
  void Expand();
  void Collapse();
  bool IsExpanded() const { return fExpanded != 0; }
  int16_t GetExpandState() const { return fExpandState; }

  void Select();
  void Deselect();
  bool IsSelected() const { return fSelected != 0; }

  // Places the child by its insert-after reference (a reference that is not
  // a child appends); an expanded item shows it at once. Throws when the
  // native item cannot be told it has children.
  void AddChild(CP_TreeTableItem* child);
  void RemoveChild(CP_TreeTableItem* child);
  // From 1; null outside.
  CP_TreeTableItem* GetChild(int16_t position) const;
  int16_t CountChildren() const { return int16_t(fChildren.size()); }
  const std::vector<CP_TreeTableItem*>& GetChildren() const { return fChildren; }
  // Takes every descendant out of the owner and deletes it.
  void DeleteChildren();
  void SetDepth(int16_t depth);
  // Among the descendants.
  CP_TreeTableItem* FindByHandle(HTREEITEM handle) const;
  bool IsDescendantOf(const CP_TreeTableItem* ancestor) const;

  // The owner selects the item, then the item takes the click.
  void ClickItem(const CP_Point& point);
  // Only while the owner's canvas has a device context.
  void DrawIfVisible(const CP_Rect& rect);
  void InvalidateRow();
  CP_Rect GetTextRect();
  CP_Rect GetImageRect();

  // Identifier, images, value, label, then the children the same way.
  void WriteToStream(CP_OutStream& out) const;

  CP_TreeTable* GetOwner() const { return fOwner; }
  int32_t GetIdentifier() const { return fIdentifier; }
  void SetIdentifier(int32_t identifier) { fIdentifier = identifier; }
  const CP_TreeTableItemData& GetData() const { return fData; }
  CP_TreeTableItem* GetParent() const { return fData.parent; }
  void SetParent(CP_TreeTableItem* parent) { fData.parent = parent; }
  const std::string& GetText() const { return fData.text; }
  void SetText(const std::string& text) { fData.text = text; }
  int32_t GetUserValue() const { return fData.userValue; }
  std::vector<std::string>& ColumnTexts() { return fColumnTexts; }
  int16_t GetDepth() const { return fDepth; }
  HTREEITEM GetHandle() const { return fHandle; }
  void SetHandle(HTREEITEM handle) { fHandle = handle; }
  const CP_Rect& GetLastLabelRect() const { return fLabelRect; }
  const CP_Rect& GetLastImageRect() const { return fImageRect; }

 private:
  friend class CP_TreeTable;

  // Puts the children into the owner's rows, and theirs where expanded.
  void ShowChildRows();
  // Sends the native item the same change when it was made from code.
  void FollowInControl(UINT action);
  // The control's rectangle of the item: its whole line, or its text only.
  CP_Rect NativeRect(bool textOnly) const;
  // The text in the control, or the first column for a row of cells: what
  // a drawn row erases and a selection fills.
  CP_Rect SelectionArea();
  int16_t ImageWidth() const;
  // Clears the expanded marks of the item and its descendants, whose native
  // items are gone.
  void MarkCollapsedDeep();

  CP_TreeTable* fOwner;
  int32_t fIdentifier = 0;
  CP_TreeTableItemData fData;
  std::vector<std::string> fColumnTexts;
  int16_t fExpandState = 0;  // 2 expanded, 0 not
  int16_t fDepth = 0;        // pixels
  CP_Rect fLabelRect;
  uint8_t fExpanded = 0;
  uint8_t fSelected = 0;
  std::vector<CP_TreeTableItem*> fChildren;  // owned
  CP_Rect fImageRect;
  HTREEITEM fHandle = nullptr;
};
