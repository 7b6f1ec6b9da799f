// The list view: columns, rows, the texts of the secondary columns, sorting,
// view modes, and its drag record.
#include "CP_DroppedRecord.h"
#include "CP_FourCC.h"
#include "CP_HandleBlock.h"
#include "CP_ListView.h"
#include "ControlTestSupport.h"
#include "ListsTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kxtest::PaneAt;

// A list view that counts the style changes its window hears.
class CountingList : public CP_ListView {
 public:
  using CP_ListView::CP_ListView;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_STYLECHANGED && wParam == WPARAM(GWL_STYLE)) ++styleChanges;
    return CP_ListView::HandleMessage(window, message, wParam, lParam);
  }
  using CP_ListView::Rows;
  int styleChanges = 0;
};

class ListViewTest : public kxtest::ListScene {
 protected:
  CountingList* MakeList(uint32_t extraStyle = LVS_REPORT, int y = 0) {
    return new CountingList(window, window, PaneAt(0, y, 300, 90), extraStyle, 0);
  }
  // Rows "alpha", "beta", "gamma" with values 10, 20, 30.
  static void Fill(CP_ListView* list) {
    list->InsertItem(CP_ListViewItemData("alpha", 1, 10), -1, -1);
    list->InsertItem(CP_ListViewItemData("beta", 2, 20), -1, -1);
    list->InsertItem(CP_ListViewItemData("gamma", 3, 30), -1, -1);
  }
  static std::string NativeText(CP_ListView* list, int index, int column = 0) {
    char text[64] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list->GetHWND(), LVM_GETITEMTEXTA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    return item.pszText ? item.pszText : "";
  }
  static void SelectNative(CP_ListView* list, int index) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageA(list->GetHWND(), LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(&state));
  }
};

TEST_F(ListViewTest, ControlHasTheListStyleAndTheImageLists) {
  auto* list = new CountingList(window, window, PaneAt(5, 6, 200, 80), LVS_REPORT, 1);
  HWND control = list->GetHWND();
  ASSERT_NE(nullptr, control);
  char className[32] = {};
  GetClassNameA(control, className, sizeof className);
  EXPECT_STREQ("SysListView32", className);
  const DWORD asked = WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LVS_AUTOARRANGE | LVS_REPORT;
  EXPECT_EQ(asked, list->GetWindowStyle());
  // The control shows its scroll bars only when it needs them.
  const DWORD style = DWORD(GetWindowLongA(control, GWL_STYLE));
  EXPECT_EQ(asked & ~DWORD(WS_VSCROLL | WS_HSCROLL), style & ~DWORD(WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL));
  EXPECT_EQ(window->GetHWND(), GetParent(control));
  EXPECT_EQ(list, CP_Pane::FromWindow(control));
  EXPECT_EQ(list->GetLargeImages()->GetHandle(),
            reinterpret_cast<HIMAGELIST>(SendMessageA(control, LVM_GETIMAGELIST, LVSIL_NORMAL, 0)));
  EXPECT_EQ(list->GetSmallImages()->GetHandle(),
            reinterpret_cast<HIMAGELIST>(SendMessageA(control, LVM_GETIMAGELIST, LVSIL_SMALL, 0)));
  EXPECT_EQ(32, list->GetLargeImages()->GetWidth());
  EXPECT_EQ(16, list->GetSmallImages()->GetWidth());
}

TEST_F(ListViewTest, FirstColumnIsLeftAlignedWhateverItAsks) {
  auto* list = MakeList();
  struct Case {
    const char* title;
    int16_t alignment;
    int format;
  };
  const Case kCases[] = {
      {"first, asks right", CP_ListViewColumn::kRight, LVCFMT_LEFT},
      {"centre", CP_ListViewColumn::kCentre, LVCFMT_CENTER},
      {"right", CP_ListViewColumn::kRight, LVCFMT_RIGHT},
      {"left", CP_ListViewColumn::kLeft, LVCFMT_LEFT},
      {"unknown", 7, LVCFMT_LEFT},
  };
  int16_t position = 1;
  for (const Case& c : kCases) {
    list->InsertColumn(CP_ListViewColumn(c.title, int16_t(40 + position), c.alignment, 10), position);
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH;
    ASSERT_TRUE(SendMessageA(list->GetHWND(), LVM_GETCOLUMNA, WPARAM(position - 1),
                             reinterpret_cast<LPARAM>(&column)))
        << c.title;
    EXPECT_EQ(c.format, column.fmt & LVCFMT_JUSTIFYMASK) << c.title;
    EXPECT_EQ(40 + position, column.cx) << c.title;
    ASSERT_NE(nullptr, list->GetColumn(position)) << c.title;
    EXPECT_EQ(c.title, list->GetColumn(position)->title);
    ++position;
  }
  EXPECT_EQ(5, list->CountColumns());
  EXPECT_EQ(nullptr, list->GetColumn(0));
  EXPECT_EQ(nullptr, list->GetColumn(6));
}

TEST_F(ListViewTest, SetColumnAppendsPastTheEndAndReplacesInside) {
  auto* list = MakeList();
  list->SetColumn(CP_ListViewColumn("zero", 10, 0, 0), 0);
  EXPECT_EQ(0, list->CountColumns()) << "position below 1";
  list->SetColumn(CP_ListViewColumn("a", 10, 0, 0), 4);
  list->SetColumn(CP_ListViewColumn("b", 10, 0, 0), 9);
  ASSERT_EQ(2, list->CountColumns());
  list->SetColumn(CP_ListViewColumn("c", 10, 0, 0), 1);
  EXPECT_EQ("c", list->GetColumn(1)->title);
  EXPECT_EQ("b", list->GetColumn(2)->title);
}

TEST_F(ListViewTest, RowsAreAppendedToTheControlAndKept) {
  auto* list = MakeList();
  Fill(list);
  ASSERT_EQ(3, list->CountItems());
  EXPECT_EQ(3, SendMessageA(list->GetHWND(), LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < 3; ++i) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM | LVIF_IMAGE;
    item.iItem = i;
    ASSERT_TRUE(SendMessageA(list->GetHWND(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(10 * (i + 1), item.lParam) << i;
    EXPECT_EQ(i, item.iImage) << "the image from 1 becomes the control's from 0";
  }
  EXPECT_EQ("beta", NativeText(list, 1));
  EXPECT_EQ("beta", list->GetItem(2)->data.text);
  const CP_ListViewItemData data = list->GetItemData(3);
  EXPECT_EQ("gamma", data.text);
  EXPECT_EQ(30u, data.userValue);
  EXPECT_EQ(0xF, data.mask);
  EXPECT_EQ(nullptr, list->GetItem(0));
  EXPECT_EQ(nullptr, list->GetItem(4));
  EXPECT_EQ("", list->GetItemData(4).text);
}

TEST_F(ListViewTest, IconIdsAddIconsAndTheRowShowsTheNewImage) {
  auto* list = MakeList();
  list->InsertItem(CP_ListViewItemData("one", 9, 1), 501, 501);
  list->InsertItem(CP_ListViewItemData("two", 9, 2), 501, -1);
  EXPECT_EQ(1, list->GetLargeImages()->CountImages());
  EXPECT_EQ(1, list->GetSmallImages()->CountImages());
  EXPECT_EQ(1, list->GetItem(1)->data.image);
  EXPECT_EQ(9, list->GetItem(2)->data.image) << "only both ids together add icons";
}

TEST_F(ListViewTest, SecondaryColumnTextsComeFromTheRows) {
  auto* list = MakeList();
  list->InsertColumn(CP_ListViewColumn("Name", 80, 0, 10), 1);
  list->InsertColumn(CP_ListViewColumn("Size", 80, 0, 5), 2);
  list->InsertColumn(CP_ListViewColumn("Kind", 80, 0, 5), 3);
  Fill(list);
  auto& rows = list->Rows();
  rows[0]->columnTexts.push_back(std::make_unique<std::string>("12 KB"));
  rows[0]->columnTexts.push_back(std::make_unique<std::string>("film"));
  rows[1]->columnTexts.push_back(nullptr);

  // The control's own report, sent to the list's window's parent as it
  // would send it.
  char kUnanswered[] = "unanswered";
  auto ask = [&](int index, int column) {
    NMLVDISPINFOA info = {};
    info.hdr.hwndFrom = list->GetHWND();
    info.hdr.idFrom = UINT_PTR(GetDlgCtrlID(list->GetHWND()));
    info.hdr.code = LVN_GETDISPINFOA;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = index;
    info.item.iSubItem = column;
    info.item.pszText = kUnanswered;
    SendMessageA(window->GetHWND(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    return std::string(info.item.pszText);
  };
  struct Case {
    const char* name;
    int index, column;
    const char* want;
  };
  const Case kCases[] = {
      {"first secondary column", 0, 1, "12 KB"},
      {"second secondary column", 0, 2, "film"},
      {"the label's column", 0, 0, "unanswered"},
      {"past the row's texts", 0, 3, "unanswered"},
      {"a text never set", 1, 1, "unanswered"},
      {"a row without texts", 2, 1, "unanswered"},
      {"no such row", 3, 1, "unanswered"},
      {"negative row", -1, 1, "unanswered"},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, ask(c.index, c.column)) << c.name;
  EXPECT_EQ("film", NativeText(list, 0, 2)) << "the control asks for itself";
}

bool ByTextDescending(const CP_ListViewRow* a, const CP_ListViewRow* b) { return a->data.text > b->data.text; }
bool Always(const CP_ListViewRow*, const CP_ListViewRow*) { return true; }

TEST_F(ListViewTest, SortingOrdersTheRowsButNotTheControl) {
  auto* list = MakeList();
  Fill(list);
  list->SortRows(nullptr);
  EXPECT_EQ("alpha", list->GetItem(1)->data.text) << "no function, no sort";
  list->SortRows(ByTextDescending);
  EXPECT_EQ("gamma", list->GetItem(1)->data.text);
  EXPECT_EQ("beta", list->GetItem(2)->data.text);
  EXPECT_EQ("alpha", list->GetItem(3)->data.text);
  EXPECT_EQ("alpha", NativeText(list, 0)) << "the control keeps its order";
  EXPECT_EQ("gamma", NativeText(list, 2));

  // A function that is no ordering may give any order, but keeps every row.
  for (int i = 0; i < 40; ++i) list->InsertItem(CP_ListViewItemData("r" + std::to_string(i), 0, 0), -1, -1);
  list->SortRows(Always);
  EXPECT_EQ(43, list->CountItems());
  for (int16_t i = 1; i <= 43; ++i) EXPECT_NE(nullptr, list->GetItem(i));
}

TEST_F(ListViewTest, ViewModeWritesTheStyleOnlyWhenItDiffers) {
  auto* list = MakeList(LVS_REPORT);
  list->SetViewMode(CP_ListView::kReport);
  EXPECT_EQ(0, list->styleChanges) << "already report view";
  const int16_t modes[] = {CP_ListView::kList, CP_ListView::kIcons, CP_ListView::kSmallIcons, CP_ListView::kReport};
  int changes = 0;
  for (int16_t mode : modes) {
    list->SetViewMode(mode);
    ++changes;
    EXPECT_EQ(mode, GetWindowLongA(list->GetHWND(), GWL_STYLE) & LVS_TYPEMASK);
    EXPECT_EQ(changes, list->styleChanges);
    EXPECT_TRUE(GetWindowLongA(list->GetHWND(), GWL_STYLE) & WS_CHILD) << "the other bits stay";
  }
}

TEST_F(ListViewTest, CountsTheControlsSelection) {
  auto* list = MakeList();
  Fill(list);
  EXPECT_EQ(0, list->CountSelected());
  SelectNative(list, 0);
  SelectNative(list, 2);
  EXPECT_EQ(2, list->CountSelected());
}

TEST_F(ListViewTest, RowMessageGoesToTheListeners) {
  auto* list = MakeList();
  kxtest::MessageRecorder recorder;
  list->AddListener(&recorder);
  list->BroadcastRowMessage(4);
  ASSERT_EQ(1u, recorder.messages.size());
  const CP_Message& m = recorder.messages[0];
  EXPECT_EQ(static_cast<void*>(static_cast<CP_ListView*>(list)), m.sender);
  EXPECT_EQ(3, m.code);
  EXPECT_EQ(12, m.value);
  EXPECT_EQ(4u, m.data);
  list->RemoveListener(&recorder);
}

TEST_F(ListViewTest, ImageListsOutliveTheControlWindow) {
  auto* list = MakeList();
  HIMAGELIST large = list->GetLargeImages()->GetHandle();
  list->InsertItem(CP_ListViewItemData("one", 0, 1), 501, 501);
  DestroyWindow(list->GetHWND());
  EXPECT_EQ(1, ImageList_GetImageCount(large)) << "the control did not destroy the pane's list";
  window->DetachSubPane(list, false, true);
}

// ---------------------------------------------------------------------------
// Drag and drop

TEST_F(ListViewTest, FormatTestTakesFileListsAndTheRecord) {
  auto* list = MakeList();
  struct Case {
    const char* name;
    CLIPFORMAT format;
    DWORD aspect;
    DWORD tymed;
    HRESULT want;
  };
  const Case kCases[] = {
      {"record", 999, DVASPECT_CONTENT, TYMED_HGLOBAL, S_OK},
      {"file list", CF_HDROP, DVASPECT_CONTENT, TYMED_HGLOBAL, S_OK},
      {"either medium", 999, DVASPECT_CONTENT, TYMED_HGLOBAL | TYMED_ISTREAM, S_OK},
      {"text", CF_TEXT, DVASPECT_CONTENT, TYMED_HGLOBAL, DV_E_FORMATETC},
      {"stream only", 999, DVASPECT_CONTENT, TYMED_ISTREAM, DV_E_FORMATETC},
      {"icon aspect", 999, DVASPECT_ICON, TYMED_HGLOBAL, DV_E_FORMATETC},
  };
  for (const Case& c : kCases) {
    FORMATETC format = {c.format, nullptr, c.aspect, -1, c.tymed};
    EXPECT_EQ(c.want, list->GetDataObject()->QueryGetData(&format)) << c.name;
  }
}

TEST_F(ListViewTest, DragRecordCarriesTheFirstSelectedRowsTextAndOurStamp) {
  auto* list = MakeList();
  Fill(list);
  IDataObject* data = list->GetDataObject();
  std::vector<uint8_t> block = kxtest::DragBlock(data);
  ASSERT_GE(block.size(), sizeof(CP_DragRecord) + 8);
  CP_DragRecord record;
  std::memcpy(&record, block.data(), sizeof record);
  EXPECT_EQ(0u, record.format) << "nothing selected: the record stays zero";
  EXPECT_EQ(nullptr, record.text);

  SelectNative(list, 2);
  SelectNative(list, 1);
  block = kxtest::DragBlock(data);
  ASSERT_GE(block.size(), sizeof(CP_DragRecord) + 8);
  std::memcpy(&record, block.data(), sizeof record);
  EXPECT_EQ(999u, record.format);
  EXPECT_EQ(CP_FourCC("TEXT"), record.kind);
  EXPECT_EQ(1, record.count);
  EXPECT_EQ(0, record.flag);
  EXPECT_EQ(0u, record.secondKind);
  EXPECT_EQ(nullptr, record.item);
  ASSERT_NE(nullptr, record.text);
  EXPECT_EQ("beta", CP_DragRecordText(record)) << "the first selected row";
  EXPECT_EQ(5, record.text->GetSize()) << "with its terminating zero";  // the list's until it goes
  uint32_t stamp[2];
  std::memcpy(stamp, block.data() + sizeof(CP_DragRecord), sizeof stamp);
  EXPECT_EQ(uint32_t(GetCurrentProcessId()), stamp[1]);
}

TEST_F(ListViewTest, DroppedRecordAppendsARowWithItsText) {
  auto* source = MakeList(LVS_REPORT, 0);
  auto* target = MakeList(LVS_REPORT, 100);
  Fill(source);
  SelectNative(source, 2);
  kxtest::DropAt(*target, source->GetDataObject(), POINT{20, 20});
  ASSERT_EQ(1, target->CountItems());
  const CP_ListViewItemData row = target->GetItemData(1);
  EXPECT_EQ("gamma", row.text);
  EXPECT_EQ(0, row.image);
  EXPECT_EQ(0u, row.userValue);
  EXPECT_EQ(nullptr, target->GetKeptData()) << "the data object is let go";
}

TEST_F(ListViewTest, RecordsOfOtherProgramsAreRefusedUnread) {
  auto* target = MakeList();
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> otherProcess = kxtest::ForeignRecord(0, 8);
  const uint32_t stamp[2] = {0x4B584452, uint32_t(GetCurrentProcessId()) + 4};
  std::memcpy(otherProcess.data() + sizeof(CP_DragRecord), stamp, sizeof stamp);
  const Case kCases[] = {
      {"24 bytes, no stamp", kxtest::ForeignRecord(0)},
      {"a stamp of another process", otherProcess},
      {"garbage after the record", kxtest::ForeignRecord(0, 8)},
      {"too short for a record", std::vector<uint8_t>(10, 0)},
  };
  for (const Case& c : kCases) {
    kxtest::ForeignData data(999, c.bytes, true);
    kxtest::DropAt(*target, &data, POINT{10, 10});
    EXPECT_EQ(1, data.gets) << c.name << ": the list asked for the record";
    EXPECT_EQ(0, target->CountItems()) << c.name;
    EXPECT_EQ(1u, data.fCount) << c.name << ": every reference given back";
  }
}

TEST_F(ListViewTest, FileListIsAcceptedButBringsNothing) {
  auto* target = MakeList();
  kxtest::ForeignData files(CF_HDROP, std::vector<uint8_t>(32, 0));
  DWORD effect = 0;
  EXPECT_TRUE(target->CanAcceptDrop(&files, 0, 0, 0, &effect));
  kxtest::ForeignData text(CF_TEXT, std::vector<uint8_t>(4, 'a'));
  EXPECT_FALSE(target->CanAcceptDrop(&text, 0, 0, 0, &effect));
  kxtest::DropAt(*target, &files, POINT{10, 10});
  EXPECT_EQ(0, files.gets) << "only format 999 is asked for";
  EXPECT_EQ(0, target->CountItems());
}

TEST_F(ListViewTest, RecordTextStopsAtTheBlocksEnd) {
  auto* target = MakeList();
  CP_DragRecord record = {};
  auto* block = new CP_HandleBlock(4);
  std::memcpy(block->GetPointer(), "abcd", 4);  // no terminating zero
  block->Unlock();
  record.text = block;
  target->ReceiveDragData(record, CP_Point());
  block->RemoveReference();
  ASSERT_EQ(1, target->CountItems());
  EXPECT_EQ("abcd", target->GetItemData(1).text);

  CP_DragRecord empty = {};
  target->ReceiveDragData(empty, CP_Point());
  EXPECT_EQ(1, target->CountItems()) << "a record without a block adds nothing";
}

}  // namespace
