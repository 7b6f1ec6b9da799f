#pragma once
// The framework's tree pane over a native tree-view control
// ("SysTreeView32") whose items are CP_TreeTableItems. Beside the control's
// own tree it keeps the rows that are shown, in display order, the selection
// with its anchor, the column widths and one image list, and it takes part
// in drag and drop. Row, column and image positions are 1-based.
#include "CP_Broadcaster.h"
#include "CP_DragDrop.h"
#include "CP_ImageList.h"
#include "CP_TreeTableItem.h"
#include "CP_View.h"

#include <vector>

// What a tree table is made with.
class CP_TreeTableInfo {
 public:
  CP_TreeTableInfo() = default;
  CP_TreeTableInfo(const CP_PaneInfo& placement_, uint8_t flagA_, uint8_t flagB_, int16_t columnCount_,
                   uint8_t hasColumns_)
      : placement(placement_), flagA(flagA_), flagB(flagB_), columnCount(columnCount_), hasColumns(hasColumns_) {}

  CP_PaneInfo placement;
  uint8_t flagA = 1;   // kept and streamed only
  int32_t value = 0;   // kept and streamed only
  uint8_t flagB = 0;   // kept and streamed only
  int16_t columnCount = 0;
  int16_t defaultColumnWidth = 50;
  uint8_t hasColumns = 0;
};

class CP_TreeTable : public CP_View,
                     public CP_M_Broadcaster,
                     public CP_M_Listener,
                     public CP_M_PaneDragDrop {
 public:
  // Makes the image list and the control at once.
  CP_TreeTable(CP_View* superPane, const CP_TreeTableInfo& info, int16_t imageCount, int16_t imageWidth,
               int16_t imageHeight, uint8_t masked, uint8_t deleteChildrenOnCollapse,
               uint8_t broadcastSelection);
  // Deletes the top-level items; children go with their parents.
  ~CP_TreeTable() override;

  // The view's fields, the table's eight settings, then the top-level items
  // with their children; the reader takes back the same and adds the items.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  CP_Rect GetFrame() const override { return CP_Rect(0, 0, GetWidth(), GetHeight()); }
  void HandleDoubleClick(CP_Event& event, const CP_Point& point, uint32_t keys) override;
  // The items of the rows that the area touches draw themselves.
  void DrawContent(const CP_Region& area) override;
  void HandleOwnClick(CP_Event& event, const CP_Point& point, uint32_t keys) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) override;
  // Notifications of the control; always 0.
  LRESULT HandleNotify(HWND window, WPARAM wParam, LPARAM lParam) override;

  // Drag and drop.
  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT CheckDropFormat(FORMATETC* format) override;
  bool CanAcceptDrop(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) override {
    return CanDropAtPoint(data, keyState, x, y, effect);
  }
  // The record of the kept data object goes to the item under the point,
  // which becomes the selection.
  void ReceiveDrop(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) override;
  // Hands the record to the item under the point.
  void ReceiveDragData(CP_DragRecord& record, const CP_Point& point) override;
  // The selected item at that position, as a 'TEXT' record that also
  // carries the item ('TTIT').
  void MakeDragData(CP_DragRecord& record, int16_t position) override;

  void ReceiveBroadcast(CP_Message& message) override { ListenToMessage(message); }
  virtual void ListenToMessage(CP_Message&) {}
  // After an item expanded or collapsed.
  virtual void RowsChanged(CP_TreeTableItem* item);
  // The answer of the item under the screen point; false without one.
  virtual bool CanDropAtPoint(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect);

  // A top-level item joins the rows at the end; a child joins its parent
  // (and the rows when the parent is expanded). Then the control gets it,
  // with any children it kept from before.
  void AddItem(CP_TreeTableItem* item);
  // Takes the item and its descendants out of the rows, the selection and
  // the control, and the item out of its parent; the caller deletes it or
  // adds it again.
  void RemoveItem(CP_TreeTableItem* item);
  // Shows a child of a shown parent right after the shown block of the
  // sibling before it, or right after the parent when it comes first.
  void InsertRow(CP_TreeTableItem* item);
  // With Shift down and an anchor among the rows: the rows from the anchor
  // to the item. Otherwise the item alone, which becomes the anchor.
  void SelectItem(CP_TreeTableItem* item);
  void DeselectAll();

  CP_TreeTableItem* GetRowItem(int16_t position) const;
  int16_t CountRows() const { return int16_t(fRows.size()); }
  // -1 when the item is not shown.
  int16_t FindRowIndex(const CP_TreeTableItem* item) const;
  CP_TreeTableItem* FindRowItemById(int32_t identifier) const;
  // -1 above the first row or below the last.
  int16_t RowAtPoint(const CP_Point& point) const;
  CP_TreeTableItem* FindItemAtPoint(const CP_Point& point) const;
  CP_TreeTableItem* FindItemByHandle(HTREEITEM handle) const;
  // The control's rectangle of the item's text; empty when it has none.
  CP_Rect GetItemRect(const CP_TreeTableItem* item) const;
  int16_t GetColumnWidth(int16_t column) const;
  CP_Rect GetCellRect(const CP_TreeTableItem* item, int16_t column) const;
  // One reference is held on the list.
  void SetImageList(CP_ImageList* list);
  CP_ImageList* GetImageList() const { return fImageList; }
  // The control's own indent.
  int16_t GetIndent() const;

  // The top-level items, in order, and the items that are expanded.
  int16_t CountRootItems() const;
  CP_TreeTableItem* GetRootItem(int16_t position) const;
  CP_TreeTableItem* FindRootItemById(int32_t identifier) const;
  const std::vector<CP_TreeTableItem*>& GetExpandedItems() const { return fExpanded; }
  // Whether the item is one of this table's, at any depth.
  bool HoldsItem(const CP_TreeTableItem* item) const;

  const std::vector<CP_TreeTableItem*>& GetSelection() const { return fSelection; }
  CP_TreeTableItem* GetAnchor() const { return fAnchor; }
  const CP_TreeTableInfo& GetInfo() const { return fInfo; }
  int16_t GetColumnCount() const { return fInfo.columnCount; }
  int16_t GetIndentWidth() const { return fIndent; }
  int16_t GetRowHeight() const { return fRowHeight; }
  uint8_t DeletesChildrenOnCollapse() const { return fDeleteChildrenOnCollapse; }
  uint8_t BroadcastsSelection() const { return fBroadcastSelection; }
  int16_t GetImageResourceId() const { return fImageResourceId; }

 protected:
  const char* RuntimeClassName() const override { return "CP_TreeTable"; }

 private:
  friend class CP_TreeTableItem;

  void MakeControl(int16_t imageCount, int16_t imageWidth, int16_t imageHeight, uint8_t masked);
  // Enters the item in the control under its parent's native item, at its
  // place among its siblings.
  void RegisterItem(CP_TreeTableItem* item);
  // The item's descendants not yet in the control, each after its parent.
  void RegisterDescendants(CP_TreeTableItem* item);
  void UpdateContentHeight();

  // What the items ask of their table.
  void AppendToSelection(CP_TreeTableItem* item);
  void DropFromSelection(CP_TreeTableItem* item);
  void NoteExpansion(CP_TreeTableItem* item, bool expanded);
  void HideDescendantRows(const CP_TreeTableItem* item);
  // True while the control itself reports the item's expansion or collapse.
  bool IsReportedByControl(const CP_TreeTableItem* item) const { return item == fReportedItem; }
  // An item going away: no list of the table keeps it.
  void ForgetItem(const CP_TreeTableItem* item);

  CP_TreeTableInfo fInfo;
  CP_ImageList* fImageList = nullptr;  // counted
  uint8_t fDeleteChildrenOnCollapse;
  int16_t fIndent = 18;
  CP_TreeTableItem* fAnchor = nullptr;
  int16_t fRowHeight = 24;
  uint8_t fBroadcastSelection;
  int16_t fImageResourceId = -1;
  std::vector<CP_TreeTableItem*> fRows;
  std::vector<CP_TreeTableItem*> fSelection;
  std::vector<uint16_t> fColumnWidths;
  std::vector<CP_TreeTableItem*> fExpanded;
  const CP_TreeTableItem* fReportedItem = nullptr;
  bool fGoing = false;
};
