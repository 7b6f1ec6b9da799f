#pragma once
// The film list of the main window ('LIST'): one row per film of the chosen
// node, each with a play mark, the film's icon and its name, all drawn by
// the list itself over the control's empty items. A click on the play mark
// switches the film's PLAY flag in the CD database; a selected and focused
// row is told to the document so the preview and the buttons follow.
#include "CD_Splitter_CP.h"
#include "CP_ImageList.h"
#include "CP_ListView.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct PlaylistEntry;

class GH_ListView : public CP_ListView, public CD_M_SplitterItem_CP {
 public:
  static constexpr int16_t kNoIcon = int16_t(0xFFFF);
  // The play-mark box at the start of every row.
  static constexpr int32_t kPlayMarkWidth = 26;
  // The list's own pictures, numbered from 1.
  enum : int16_t { kImagePlay = 3, kImageNoPlay = 4 };

  GH_ListView(CP_View* superPane, CP_M_Commander* commander, const CP_PaneInfo& info);
  ~GH_ListView() override;

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleNotify(HWND window, WPARAM wParam, LPARAM lParam) override;

  // Films leave the list by dragging; nothing is ever dropped on it.
  void DragEnter(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) override;
  void DragOver(DWORD keyState, LONG x, LONG y, DWORD* effect) override;
  void ReceiveDragData(CP_DragRecord& record, const CP_Point& point) override;
  // The first selected film's ITEM_ID as decimal text, without a closing
  // zero; a zero record without a selected row.
  void MakeDragData(CP_DragRecord& record, int16_t position) override;
  // The Delete key: the selected films go to the wastebasket, unless they
  // live on their CD or a namesake is there already.
  void MoveSelectionToWastebasket();

  // Appends a row at the end; with both icon ids (not kNoIcon) the icons
  // join the image lists and the row shows the new image.
  void AppendRow(const CP_ListViewItemData& data, int16_t firstIconId, int16_t secondIconId);
  // Takes the row at the 1-based position out of the control and the rows.
  void DeleteRow(int16_t position);
  void DeleteAllRows();
  CP_ListViewItemData GetRowData(int16_t position) const { return GetItemData(position); }
  // The focused row's ITEM_ID, -1 when no row has the focus.
  int32_t GetFocusedFilmId() const;
  // The 0-based index of the first row of this film, -1 when none.
  int32_t FindRowByFilmId(int32_t itemId) const;
  // Every row focused and not selected.
  void DeselectAll();
  void SelectAll();
  void SaveRowStates(std::map<int32_t, uint32_t>& states) const;
  void RestoreRowStates(const std::map<int32_t, uint32_t>& states);
  void ShowFilmsOfParent(int32_t parentId);

  // The film's PLAY value, -1 when the item list does not hold the film.
  int32_t GetPlayFlag(int32_t itemId) const;
  // Switches PLAY between 1 and anything else (which becomes 1), stores
  // the row and answers the new value; -1 without a record.
  int32_t TogglePlayFlag(int32_t itemId);
  PlaylistEntry* FindItemRecord(int32_t itemId) const;
  bool IsNameInParent(const std::string& text, int32_t parentId) const;

  // Drawing, with the pane's drawing context ready.
  void DrawRow(const CP_ListViewItemData& row, int32_t index);
  void DrawRowText(const CP_Rect& rect, int32_t index, const std::string& name, int16_t iconResId);
  void DrawPlayMark(int32_t index, int32_t value);

  // The name as drawn in a column of `columnWidth` pixels, where `textWidth`
  // is the name's width, `gap` the icon gap, `sWidth` the width of "s".
  // `drawnWidth` is the width left for the highlight.
  static std::string FitName(const std::string& name, int32_t textWidth, int32_t gap, int32_t sWidth,
                             int32_t columnWidth, int32_t& drawnWidth);

  CP_ImageList* GetImages() const { return fImages.get(); }
  bool HasLostFocus() const { return fFocusLost != 0; }

 protected:
  const char* RuntimeClassName() const override { return "GH_ListView"; }

 private:
  LRESULT HandleLeftButtonDown(HWND window, WPARAM wParam, LPARAM lParam);
  LRESULT HandleLeftButtonUp(HWND window, WPARAM wParam, LPARAM lParam);
  void HandleKeyDown(WPARAM key);
  void HandleMouseMove(WPARAM keys, LPARAM point);
  void RunDelayedDrag();
  void CancelDelayedDrag();
  bool IsHoldingFilms() const;
  bool MoveFilmToWastebasket(int32_t filmId, int32_t& sourceParent);
  std::vector<int32_t> SelectedFilmIds() const;
  void MoveFocus(bool down);
  void RedrawAllRows();
  int32_t HitTest(int32_t x, int32_t y) const;
  void SetRowState(int32_t index, uint32_t state, uint32_t mask);
  int32_t NextItem(int32_t start, uint32_t flags) const;
  LRESULT PassToBase(HWND window, UINT message, WPARAM wParam, int32_t x, int32_t y);
  void DrawFocusFrame(HDC dc, const RECT& rect);

  std::unique_ptr<CP_ImageList> fImages;
  int32_t fClickX = 0;
  int32_t fClickY = 0;
  uint32_t fClickKeys = 0;
  uint8_t fFocusLost = 0;
  UINT_PTR fDragTimer = 0;
};
