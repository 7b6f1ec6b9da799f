#pragma once
// A view that lays its sub-panes out in a row or a column, separated by
// 6-pixel raised bars; a stacked splitter's bars can be dragged. The library
// manager's window holds a stacked splitter 'SPLT' and inside it a row
// 'SBOT' of the folder tree 'TREE' and the film list 'LIST', over which the
// row paints the column headers.
#include "CP_Adorner.h"
#include "CP_FourCC.h"
#include "CP_GdiOwners.h"
#include "CP_Pen.h"
#include "CP_Region.h"
#include "CP_View.h"

#include <cstdint>
#include <vector>

class CD_SplitAdorner_CP;

// The part of every pane that a splitter lays out: its length along the
// splitter and the least length it may get.
class CD_M_SplitterItem_CP {
 public:
  // The pane is kept, not used.
  CD_M_SplitterItem_CP(CP_Pane* pane, int16_t size, int16_t minimum);
  virtual ~CD_M_SplitterItem_CP() = default;

  // Never below the minimum.
  void SetSize(int16_t size) { fItemSize = size < fMinimum ? fMinimum : size; }
  int16_t GetSize() const { return fItemSize; }
  int16_t GetMinimumSize() const { return fMinimum; }
  // A pane whose flag is 0 gets no place and no bar.
  bool IsItemVisible() const { return fItemVisible != 0; }
  void SetItemVisible(bool visible) { fItemVisible = visible ? 1 : 0; }
  CP_Pane* GetItemPane() const { return fItemPane; }

  // The splitter calls this on the film list at the end of every drag.
  virtual void SplitterDragEnded() {}

 private:
  int16_t fMinimum;
  int16_t fItemSize = 0;
  CP_Pane* fItemPane;
  uint8_t fItemVisible = 1;
};

// The region of a rectangle, less another region.
class CD_Region_CP : public CP_Region {
 public:
  explicit CD_Region_CP(const CP_Rect& rect) : CP_Region(rect) {}
  void Subtract(const CP_Region& other);
};

// The patterned rectangle that shows where a dragged bar would go.
class CD_SplitAdorner_CP : public CP_Adorner {
 public:
  // Bitmap resource of the pattern: white dots on light grey.
  static constexpr int16_t kPatternId = 1008;

  CD_SplitAdorner_CP() : fPattern(kPatternId) {}

  void Show(CP_Pane* pane);
  // Invalidates the rectangle, with erasing, so the pane paints it again.
  void Hide(CP_Pane* pane);
  void SetRect(const CP_Rect& rect) { fRect = rect; }
  const CP_Rect& GetRect() const { return fRect; }
  bool IsShown() const { return fShown != 0; }
  void DrawAdornment(CP_Canvas* canvas, CP_Pane* pane) override;

 private:
  uint8_t fShown = 0;
  CP_Rect fRect;
  CP_Pattern fPattern;
};

class CD_Splitter_CP : public CP_View, public CD_M_SplitterItem_CP {
 public:
  enum Orientation : uint8_t { kSideBySide = 0, kStacked = 1 };
  static constexpr int16_t kBarWidth = 6;
  // Bitmap resource of the column headers: 80 x 16 pixels.
  static constexpr int16_t kHeaderBitmapId = 1057;
  static constexpr int32_t kMainSplitter = CP_FourCC("SPLT");
  static constexpr int32_t kBottomSplitter = CP_FourCC("SBOT");
  static constexpr int32_t kTree = CP_FourCC("TREE");
  static constexpr int32_t kList = CP_FourCC("LIST");
  static constexpr int32_t kStatusBar = CP_FourCC("STAT");
  static constexpr int32_t kToolPane = CP_FourCC("TOOL");

  CD_Splitter_CP(CP_View* superPane, const CP_PaneInfo& info, uint8_t orientation);
  ~CD_Splitter_CP() override;

  // Lays the sub-panes out from the remaining length; with `move` they are
  // moved and sized, else only the bars are rebuilt.
  void ArrangePanes(bool move);
  // From the whole length, without moving the panes.
  void Rearrange();
  // Raises panes below their minimum, taking the length from the panes
  // before them; true when it had to.
  bool EnforceMinimumSizes();
  // Moves the drag feedback with the mouse.
  virtual void TrackDrag(const CP_Point& point);

  void HandleMouseDown(CP_Event& event, const CP_Point& point) override;
  void HandleMouseUp(CP_Event& event) override;
  void UpdateCursor(const CP_Point& point) override;
  void DrawContent(const CP_Region& area) override;
  // The 'SPLT' splitter keeps its size across maximising and restoring its
  // window; every splitter then enforces the minimum sizes.
  void ResizeTo(const CP_Size& size) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleEraseBackground(HWND, WPARAM, LPARAM) override { return 0; }

  uint8_t GetOrientation() const { return fOrientation; }
  const std::vector<CP_Rect>& GetBars() const { return fBars; }
  int16_t GetRemaining() const { return fRemaining; }
  void SetRemaining(int16_t length) { fRemaining = length; }
  bool IsDragging() const { return fDragging != 0; }
  const CP_Rect& GetDragRect() const { return fDragRect; }
  int32_t GetHeaderHeight() const { return fHeaderHeight; }
  HBITMAP GetHeaderBitmap() const { return fHeaderBitmap.Get(); }
  HDC GetHeaderDC() const { return fHeaderDC.Get(); }
  HBRUSH GetHeaderBrush() const { return fHeaderBrush.Get(); }
  CD_SplitAdorner_CP* GetSplitAdorner() const;

 protected:
  const char* RuntimeClassName() const override { return "CD_Splitter_CP"; }

 private:
  int16_t Length() const { return fOrientation == kSideBySide ? GetWidth() : GetHeight(); }
  int16_t AlongAxis(const CP_Point& point) const { return fOrientation == kSideBySide ? point.h : point.v; }
  CD_M_SplitterItem_CP* ItemAt(size_t index) const;
  CP_Pane* FindFilmList() const;
  void DrawBar(HDC dc, const CP_Rect& bar);
  void DrawHeaders(HDC dc);
  void Line(HDC dc, const CP_RGBColor& color, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void ShowHelp();

  CP_GdiObject<HBITMAP> fHeaderBitmap;
  CP_MemoryDC fHeaderDC;
  std::vector<CP_Rect> fBars;
  uint8_t fOrientation;
  int16_t fRemaining = 0;
  uint8_t fDragging = 0;
  CP_Point fDragStart{int16_t(-1), int16_t(-1)};
  int16_t fDraggedBar = -1;
  CP_Rect fDragRect;
  COLORREF fHeaderColor = 0xBFBFBF;
  CP_GdiObject<HBRUSH> fHeaderBrush;
  int32_t fHeaderHeight = 0;
};
