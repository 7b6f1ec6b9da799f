#pragma once
// The framework's list pane over a native list-view control
// ("SysListView32"). It keeps its own copy of every row and column, answers
// the texts of the secondary columns when the control asks, and takes part
// in drag and drop as source and target with the framework's drag record.
// Row and column positions are 1-based.
#include "CP_Broadcaster.h"
#include "CP_Commander.h"
#include "CP_DragDrop.h"
#include "CP_ImageList.h"
#include "CP_View.h"

#include <memory>
#include <string>
#include <vector>

// The description of one row.
class CP_ListViewItemData {
 public:
  CP_ListViewItemData() = default;
  // Text, image and value, all three in the mask.
  CP_ListViewItemData(const std::string& text_, int16_t image_, uint32_t userValue_)
      : text(text_), image(image_), userValue(userValue_), mask(0xF) {}

  std::string text;      // the label, shown in the first column
  int16_t image = 0;     // from 1 in both image lists
  uint32_t userValue = 0;
  uint16_t mask = 0;     // the LVITEM mask
  int16_t spareA = 0;    // copied with the record, read by nothing
  int16_t spareB = 0;
  uint32_t state = 0;
  uint32_t stateMask = 0;
};

// One row as the list keeps it.
class CP_ListViewRow {
 public:
  explicit CP_ListViewRow(const CP_ListViewItemData& data_) : data(data_), rect(gEmptyRect) {}

  CP_ListViewItemData data;
  CP_Rect rect;
  int16_t value = 0;
  // One per secondary column, null until the owner fills it.
  std::vector<std::unique_ptr<std::string>> columnTexts;
  uint8_t flag = 0;
};

class CP_ListViewColumn {
 public:
  enum Alignment : int16_t { kLeft = 0, kCentre = 1, kRight = 2 };

  CP_ListViewColumn(const std::string& title_, int16_t width_, int16_t alignment_, int16_t value_)
      : title(title_), width(width_), alignment(alignment_), value(value_) {}

  std::string title;
  int16_t width;
  int16_t alignment;
  CP_Rect rect;
  int16_t value;  // the caller's; kept only
};

class CP_ListView : public CP_View,
                    public CP_M_Listener,
                    public CP_M_Broadcaster,
                    public CP_M_Commander,
                    public CP_M_PaneDragDrop {
 public:
  // View modes: the control's LVS_TYPEMASK values.
  enum ViewMode : int16_t { kIcons = 0, kReport = 1, kSmallIcons = 2, kList = 3 };

  // Makes the control at once, with both image lists (32 and 16 pixels).
  CP_ListView(CP_View* superPane, CP_M_Commander* parentCommander, const CP_PaneInfo& info,
              uint32_t extraStyle, int16_t autoArrange);
  ~CP_ListView() override;

  // The control does its own clicking.
  void HandleDoubleClick(CP_Event&, const CP_Point&, uint32_t) override {}
  void HandleOwnClick(CP_Event&, const CP_Point&, uint32_t) override {}
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // The adorners under and over the control's own painting.
  LRESULT HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) override;
  // Notifications of the control; always 0.
  LRESULT HandleNotify(HWND window, WPARAM wParam, LPARAM lParam) override;

  // Drag and drop.
  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override;
  // Format 15 or 999 in global memory, content aspect.
  HRESULT CheckDropFormat(FORMATETC* format) override;
  // True when the data object offers a file list.
  bool CanAcceptDrop(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) override;
  // Takes the record of the kept data object and hands it on.
  void ReceiveDrop(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) override;
  // Appends a row with the record's text.
  void ReceiveDragData(CP_DragRecord& record, const CP_Point& point) override;
  // The first selected row's text; nothing without a selected row.
  void MakeDragData(CP_DragRecord& record, int16_t position) override;

  void ReceiveBroadcast(CP_Message& message) override { ListenToMessage(message); }
  virtual void ListenToMessage(CP_Message&) {}
  // Tells the listeners (this list, code 3, value 12, the position).
  virtual void BroadcastRowMessage(int16_t position);

  // Keeps a copy of the column at the position (see SetColumn) and inserts
  // it in the control; throws -1200 when the control refuses.
  void InsertColumn(const CP_ListViewColumn& column, int16_t position);
  // Null outside 1..count.
  CP_ListViewColumn* GetColumn(int16_t position) const;
  // Nothing below 1; past the last column it is added after it, otherwise
  // it replaces the one at that position.
  void SetColumn(const CP_ListViewColumn& column, int16_t position);
  int16_t CountColumns() const { return int16_t(fColumns.size()); }

  // Appends a row to the control and then to the rows; throws -1200 when the
  // control refuses, and the row is then not kept. With both icon ids given
  // (not -1) the icons are added to the image lists and the row shows the
  // new image.
  void InsertItem(const CP_ListViewItemData& data, int16_t largeIconId, int16_t smallIconId);
  int16_t CountItems() const { return int16_t(fRows.size()); }
  // Null outside 1..count.
  CP_ListViewRow* GetItem(int16_t position) const;
  // An empty description outside 1..count.
  CP_ListViewItemData GetItemData(int16_t position) const;
  // Writes the style only when its mode differs.
  void SetViewMode(int16_t mode);
  // Orders the rows only, never the control's items; nothing without a
  // function.
  void SortRows(bool (*lessThan)(const CP_ListViewRow*, const CP_ListViewRow*));
  // 0 without a control window.
  int16_t CountSelected() const;

  CP_ImageList* GetLargeImages() const { return fLargeImages.get(); }
  CP_ImageList* GetSmallImages() const { return fSmallImages.get(); }
  uint32_t GetExtraStyle() const { return fExtraStyle; }
  int16_t GetAutoArrange() const { return fAutoArrange; }

 protected:
  const char* RuntimeClassName() const override { return "CP_ListView"; }

  // Derived lists insert rows of their own.
  std::vector<std::unique_ptr<CP_ListViewRow>>& Rows() { return fRows; }

 private:
  void MakeControl(const CP_PaneInfo& info);
  // Takes the image lists out of the control: the control must never destroy
  // lists that this pane destroys.
  void DetachImageLists();

  std::vector<std::unique_ptr<CP_ListViewRow>> fRows;
  std::vector<std::unique_ptr<CP_ListViewColumn>> fColumns;
  std::unique_ptr<CP_ImageList> fLargeImages;
  std::unique_ptr<CP_ImageList> fSmallImages;
  uint32_t fExtraStyle;
  int16_t fAutoArrange;
};
