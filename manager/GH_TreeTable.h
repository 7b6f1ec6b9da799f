#pragma once
// The tree of the main window ('TREE'): registered CDs, locations and their
// folders, and the wastebasket. It hands clicks and right-clicks to its
// items, moves the selection with the arrow keys, shows the films of the
// chosen node in the film list, starts no drag of its own, and keeps its
// width in the settings.
#include "CD_Splitter_CP.h"
#include "CP_TreeTable.h"

#include <cstdint>

class CP_Pane;
struct PlaylistEntry;

class GH_TreeTable : public CP_TreeTable, public CD_M_SplitterItem_CP {
 public:
  // The settings are the tree table's image count, image width and height
  // and mask flag; `width` is the tree's width as a splitter item.
  GH_TreeTable(CP_View* superPane, const CP_TreeTableInfo& info, std::vector<PlaylistEntry>& items,
               int16_t imageCount, int16_t imageWidth, int16_t imageHeight, uint8_t masked, int16_t width);
  // Writes TreeTableWidth.
  ~GH_TreeTable() override;

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleNotify(HWND window, WPARAM wParam, LPARAM lParam) override;
  void ReceiveDragData(CP_DragRecord& record, const CP_Point& point) override;

  // The drop side of a film drag from the film list; points are screen
  // points.
  void DragEnter(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) override;
  void DragOver(DWORD keyState, LONG x, LONG y, DWORD* effect) override;
  void DragLeave() override;
  void Drop(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) override;
  bool IsHighlighting() const { return fHighlighted != 0; }
  bool WasDropped() const { return fDropped != 0; }

  // Collapses the expanded items, first first, until none is left.
  void CollapseAll();
  // The film list, told by the document once both panes exist.
  void SetPartnerPane(CP_Pane* pane) { fPartner = pane; }
  CP_Pane* GetPartnerPane() const { return fPartner; }
  std::vector<PlaylistEntry>& GetItems() const { return fItems; }

  // The help file of the settings, shown with its contents page.
  static void ShowHelp();

 protected:
  const char* RuntimeClassName() const override { return "GH_TreeTable"; }

 private:
  LRESULT HandleKeyDown(WPARAM key);
  LRESULT HandleLeftButtonDown(HWND window, WPARAM wParam, LPARAM lParam);
  void RemoveDropHighlight();
  // Refuses the drop at this place: no highlight, every branch closed.
  void RefuseDrop(DWORD* effect);

  std::vector<PlaylistEntry>& fItems;
  CP_Pane* fPartner = nullptr;
  uint8_t fHighlighted = 0;
  uint8_t fDropped = 0;
};
