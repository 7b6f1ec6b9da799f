// The film list: its rows, the play-mark box, the clicks and keys that
// select, the broadcast of a chosen film and how a long name is cut.
#include "DatabaseTestSupport.h"
#include "GH_ListView.h"
#include "ImportPatch.h"
#include "PaneTestSupport.h"
#include "WinTestSupport.h"

#include "CP_DroppedRecord.h"
#include "CP_FourCC.h"
#include "CP_HandleBlock.h"
#include "CP_Window.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using panetest::Row;

namespace {

struct Heard {
  void* sender;
  uint8_t code;
  int32_t value;
  int32_t filmId;  // from the row description the message carries; -1 none
};

class Recorder : public CP_M_Listener {
 public:
  void ReceiveBroadcast(CP_Message& message) override {
    const auto* row = reinterpret_cast<const CP_ListViewItemData*>(uintptr_t(message.data));
    heard.push_back({message.sender, message.code, message.value,
                     message.code == 3 && row ? int32_t(row->userValue) : -1});
  }
  std::vector<Heard> heard;
};

class FilmListTest : public panetest::PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    window = std::make_unique<CP_Window>(nullptr, CP_Point(int16_t(0), int16_t(0)),
                                         CP_Size(int16_t(500), int16_t(300)), "film list test");
    CP_PaneInfo info(CP_Point(int16_t(0), int16_t(0)), CP_Size(int16_t(480), int16_t(280)));
    list = new GH_ListView(window.get(), nullptr, info);
    list->InsertColumn(CP_ListViewColumn("Play", 35, CP_ListViewColumn::kLeft, 0), 1);
    list->InsertColumn(CP_ListViewColumn("Movie", 350, CP_ListViewColumn::kLeft, 0), 2);
    list->SetViewMode(CP_ListView::kReport);
    list->AddListener(&recorder);
    window->Show();
  }
  void TearDown() override {
    window.reset();
    PaneTest::TearDown();
  }

  // Three films in the films folder (item 7), one elsewhere.
  void FillList() {
    itemList = {Row(7, 0, 2, "Glintharbour Films"), Row(11, 7, 4, "Harbour Lights"), Row(12, 7, 4, "Night Tide"),
                Row(13, 9, 4, "Elsewhere"), Row(14, 7, 4, "Dawn Run")};
    itemList[1].PLAY = 0;
    itemList[2].PLAY = 1;
    list->ShowFilmsOfParent(7);
    recorder.heard.clear();
  }

  POINT RowPoint(int32_t index, int32_t x) const {
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    SendMessageA(list->GetHWND(), LVM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&rect));
    return {x, (rect.top + rect.bottom) / 2};
  }

  void Click(int32_t index, int32_t x, WPARAM keys = 0) {
    const POINT p = RowPoint(index, x);
    SendMessageA(list->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(p.x, p.y));
    SendMessageA(list->GetHWND(), WM_LBUTTONUP, keys, MAKELPARAM(p.x, p.y));
  }

  uint32_t State(int32_t index) const {
    return uint32_t(SendMessageA(list->GetHWND(), LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED | LVIS_FOCUSED));
  }

  std::unique_ptr<CP_Window> window;
  GH_ListView* list = nullptr;
  Recorder recorder;
};

TEST_F(FilmListTest, ShowsTheFilmsOfOneParentInItemOrder) {
  FillList();
  HWND control = list->GetHWND();
  ASSERT_EQ(3, SendMessageA(control, LVM_GETITEMCOUNT, 0, 0));
  ASSERT_EQ(3, list->CountItems());
  const int32_t want[] = {11, 12, 14};
  for (int32_t n = 0; n < 3; ++n) {
    EXPECT_EQ(uint32_t(want[n]), list->GetRowData(int16_t(n + 1)).userValue);
    LVITEMA item = {};
    char text[64] = "untouched";
    item.mask = LVIF_PARAM | LVIF_TEXT;
    item.iItem = n;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(control, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(want[n], int32_t(item.lParam));
    EXPECT_STREQ("", text) << "the list draws the names itself";
  }
  EXPECT_EQ(1, list->FindRowByFilmId(12));
  EXPECT_EQ(-1, list->FindRowByFilmId(13));
  EXPECT_EQ(LVS_REPORT, GetWindowLongA(control, GWL_STYLE) & LVS_TYPEMASK);

  // A deleted row leaves the control and the kept rows alike.
  list->DeleteRow(1);
  EXPECT_EQ(2, SendMessageA(control, LVM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ(2, list->CountItems());
  EXPECT_EQ(0, list->FindRowByFilmId(12));
  list->DeleteAllRows();
  EXPECT_EQ(0, SendMessageA(control, LVM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ(0, list->CountItems());
}

TEST_F(FilmListTest, ThePlayMarkBoxSwitchesPlayWithoutSelecting) {
  FillList();
  Click(0, 10);
  EXPECT_EQ(1, itemList[1].PLAY);
  EXPECT_EQ(0u, State(0) & LVIS_SELECTED);
  Click(0, 10);
  EXPECT_EQ(0, itemList[1].PLAY);
  Click(1, 10);
  EXPECT_EQ(0, itemList[2].PLAY);
  EXPECT_EQ(-1, list->TogglePlayFlag(99)) << "a film without a record";
  EXPECT_EQ(-1, list->GetPlayFlag(99));
}

TEST_F(FilmListTest, AClickBesideTheBoxSelectsTheRowAndTellsTheDocument) {
  FillList();
  Click(1, 200);
  EXPECT_EQ(uint32_t(LVIS_SELECTED | LVIS_FOCUSED), State(1));
  ASSERT_FALSE(recorder.heard.empty());
  const Heard& last = recorder.heard.back();
  EXPECT_EQ(3, last.code);
  EXPECT_EQ(10, last.value);
  EXPECT_EQ(12, last.filmId);
  EXPECT_EQ(12, list->GetFocusedFilmId());
  EXPECT_EQ(1, itemList[2].PLAY) << "a click on the name leaves the play flag";

  // Another row replaces the selection; with Ctrl both stay.
  Click(2, 200);
  EXPECT_EQ(0u, State(1) & LVIS_SELECTED);
  EXPECT_EQ(uint32_t(LVIS_SELECTED | LVIS_FOCUSED), State(2));
  Click(0, 200, MK_CONTROL);
  EXPECT_NE(0u, State(0) & LVIS_SELECTED);
  EXPECT_NE(0u, State(2) & LVIS_SELECTED);
  // Ctrl on a selected row takes it out of the selection.
  Click(2, 200, MK_CONTROL);
  EXPECT_EQ(0u, State(2) & LVIS_SELECTED);
}

TEST_F(FilmListTest, SelectAllAndDeselectAll) {
  FillList();
  list->SelectAll();
  for (int32_t n = 0; n < 3; ++n) EXPECT_NE(0u, State(n) & LVIS_SELECTED) << n;
  ASSERT_FALSE(recorder.heard.empty());
  EXPECT_EQ(nullptr, recorder.heard.back().sender) << "select-all names no row";
  // Only one row can hold the focus: the last one keeps it.
  list->DeselectAll();
  for (int32_t n = 0; n < 3; ++n) EXPECT_EQ(0u, State(n) & LVIS_SELECTED) << n;
  EXPECT_EQ(uint32_t(LVIS_FOCUSED), State(2));

  // One row: selected and focused, and no message without a row.
  list->DeleteRow(3);
  list->DeleteRow(2);
  recorder.heard.clear();
  list->SelectAll();
  EXPECT_EQ(uint32_t(LVIS_SELECTED | LVIS_FOCUSED), State(0));
  for (const Heard& h : recorder.heard) EXPECT_NE(nullptr, h.sender);

  // None: only the message without a row.
  list->DeleteAllRows();
  recorder.heard.clear();
  list->SelectAll();
  ASSERT_EQ(1u, recorder.heard.size());
  EXPECT_EQ(nullptr, recorder.heard[0].sender);
}

TEST_F(FilmListTest, DownAndUpMoveTheSelection) {
  FillList();
  Click(0, 200);
  SendMessageA(list->GetHWND(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(0u, State(0) & LVIS_SELECTED);
  EXPECT_EQ(uint32_t(LVIS_SELECTED | LVIS_FOCUSED), State(1));
  SendMessageA(list->GetHWND(), WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(list->GetHWND(), WM_KEYDOWN, VK_DOWN, 0);  // stays on the last row
  EXPECT_EQ(uint32_t(LVIS_SELECTED | LVIS_FOCUSED), State(2));
  SendMessageA(list->GetHWND(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(uint32_t(LVIS_SELECTED | LVIS_FOCUSED), State(1));
  EXPECT_EQ(0u, State(2) & LVIS_SELECTED);
}

// The record a drag of the list carries, and its text block's bytes.
struct DragData {
  CP_DragRecord record;
  std::string block;  // every byte of the text block
};

DragData TakeDragData(IDataObject* data) {
  DragData out;
  CP_DroppedRecord dropped;
  dropped.Take(data);
  out.record = dropped.Record();
  if (CP_HandleBlock* block = out.record.text) {
    const auto* bytes = static_cast<const char*>(block->GetPointer());
    if (bytes) out.block.assign(bytes, size_t(block->GetSize()));
    block->Unlock();
  }
  out.record.text = nullptr;  // given back by the dropped record
  return out;
}

TEST_F(FilmListTest, ADragCarriesTheFirstSelectedFilmsNumber) {
  FillList();
  IDataObject* data = list->GetDataObject();
  ASSERT_NE(nullptr, data);

  // Nothing selected: a record of zeros.
  DragData none = TakeDragData(data);
  EXPECT_EQ(0u, none.record.format);
  EXPECT_EQ(0u, none.record.kind);
  EXPECT_EQ(0u, none.record.count);
  EXPECT_TRUE(none.block.empty());

  Click(1, 200);
  Click(2, 200, MK_CONTROL);
  DragData two = TakeDragData(data);
  EXPECT_EQ(uint32_t(kCP_DragFormat), two.record.format);
  EXPECT_EQ(uint32_t(CP_FourCC("TEXT")), two.record.kind);
  EXPECT_EQ(1u, two.record.count);
  EXPECT_EQ(0u, two.record.flag);
  EXPECT_EQ("12", two.block) << "the ITEM_ID of the first selected row, no closing zero";
}

TEST_F(FilmListTest, NothingIsDroppedOnTheList) {
  FillList();
  Click(0, 200);
  IDropTarget* drop = list->GetDropTarget();
  ASSERT_NE(nullptr, drop);
  RECT rect = {};
  GetWindowRect(list->GetHWND(), &rect);
  const POINTL at{rect.left + 100, rect.top + 10};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  drop->DragEnter(list->GetDataObject(), MK_LBUTTON, at, &effect);
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
  effect = DROPEFFECT_COPY;
  drop->DragOver(MK_LBUTTON, at, &effect);
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
  drop->DragLeave();

  // A record handed to the list adds no row.
  CP_DragRecord record;
  std::memset(&record, 0, sizeof record);
  list->MakeDragData(record, 1);
  list->ReceiveDragData(record, CP_Point(int16_t(5), int16_t(5)));
  EXPECT_EQ(3, list->CountItems());
  EXPECT_EQ(3, SendMessageA(list->GetHWND(), LVM_GETITEMCOUNT, 0, 0));
  if (record.text) record.text->RemoveReference();
}

// An OLE drop target on a plain window of the test: what a real drag
// drops on it is written down.
class DropRecorder : public IDropTarget {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    entered = true;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    dropped.push_back(TakeDragData(data).block);
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  std::atomic<bool> entered{false};
  std::vector<std::string> dropped;
};

// The real left button, pressed and let go through the system's input
// queue from any thread; let go at the latest when it goes.
class LeftButton {
 public:
  LeftButton() = default;
  ~LeftButton() { Release(); }
  LeftButton(const LeftButton&) = delete;
  LeftButton& operator=(const LeftButton&) = delete;

  void Press() {
    fDown = true;
    Send(MOUSEEVENTF_LEFTDOWN);
  }
  void Release() {
    if (fDown.exchange(false)) Send(MOUSEEVENTF_LEFTUP);
  }
  static bool IsDown() { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }

 private:
  static void Send(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
  }
  std::atomic<bool> fDown{false};
};

// The list's window and a drop target beside it, both on top, away from
// the corner where other test programs show their windows: the pointer
// really moves between them. Films of the list are carried by hand.
class FilmDragTest : public FilmListTest {
 protected:
  void SetUp() override {
    FilmListTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    SetWindowPos(window->GetHWND(), HWND_TOPMOST, 500, 440, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    target = kxtest::MakePlainWindow("film drop target");
    SetWindowPos(target, HWND_TOPMOST, 100, 560, 200, 150, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ASSERT_EQ(S_OK, RegisterDragDrop(target, &recorder));
    FillList();
    Click(2, 200);  // "Dawn Run", number 14
  }
  void TearDown() override {
    button.Release();
    RevokeDragDrop(target);
    DestroyWindow(target);
    OleUninitialize();
    FilmListTest::TearDown();
  }

  // The play mark of a row on the screen: a press there is the list's own.
  POINT PlayMarkOnScreen(int32_t index) const {
    POINT p = RowPoint(index, 10);
    ClientToScreen(list->GetHWND(), &p);
    return p;
  }
  POINT TargetMiddle() const {
    RECT rect = {};
    GetWindowRect(target, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  static void PointerTo(POINT p) {
    SetCursorPos(p.x, p.y);
    kxtest::PumpUntil([&] {
      POINT now = {};
      GetCursorPos(&now);
      return now.x == p.x && now.y == p.y;
    }, 2000);
    kxtest::PumpUntil([] { return false; }, 60);  // the moves arrive
  }
  // Presses on the row's play mark and moves a little with the button down,
  // as a hand does before it holds still.
  void PressAndNudge(int32_t index) {
    const POINT mark = PlayMarkOnScreen(index);
    PointerTo(mark);
    button.Press();
    ASSERT_TRUE(kxtest::PumpUntil([] { return LeftButton::IsDown(); }, 2000));
    PointerTo({mark.x + 2, mark.y});
    SendMessageA(list->GetHWND(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(RowPoint(index, 12).x, RowPoint(index, 12).y));
  }
  // True while a drag of this thread has the mouse.
  bool DragRuns() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(fThread, &info) && info.hwndCapture && info.hwndCapture != list->GetHWND();
  }

  HWND target = nullptr;
  DropRecorder recorder;
  LeftButton button;
  const DWORD fThread = GetCurrentThreadId();
};

TEST_F(FilmDragTest, AButtonHeldStillForASecondStartsTheDrag) {
  // A move without the button stops the delay: no drag follows.
  const POINT p = RowPoint(2, 200);
  SendMessageA(list->GetHWND(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  EXPECT_EQ(p.x, list->GetDragStart().h);
  EXPECT_EQ(p.y, list->GetDragStart().v);
  SendMessageA(list->GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  kxtest::PumpUntil([] { return false; }, 1500);
  EXPECT_TRUE(recorder.dropped.empty());

  // Held still over the list: the drag runs a second later; the hand then
  // carries the film to the target and lets go there.
  const DWORD start = GetTickCount();
  PressAndNudge(2);
  std::thread hand([&] {
    if (!kxtest::PumpUntil([&] { return DragRuns(); }, 5000)) return;
    SetCursorPos(TargetMiddle().x, TargetMiddle().y);
    kxtest::PumpUntil([&] { return recorder.entered.load(); }, 5000);
    button.Release();
  });
  EXPECT_TRUE(kxtest::PumpUntil([&] { return !recorder.dropped.empty(); }, 8000));
  button.Release();
  hand.join();
  EXPECT_GE(GetTickCount() - start, 900u);
  ASSERT_EQ(1u, recorder.dropped.size());
  EXPECT_EQ("14", recorder.dropped[0]);
}

// Within the second the hand lets go, or carries the films off the list:
// nothing is dropped where the pointer ends up.
TEST_F(FilmDragTest, ADragLetGoOrCarriedOffWithinTheSecondNeverStarts) {
  enum class Hand { kLetGoThenAway, kAwayThenLetGo, kAwayStillHeld };
  struct Case {
    const char* name;
    Hand hand;
  };
  const Case cases[] = {
      {"let go on the list, then away", Hand::kLetGoThenAway},
      {"carried off and let go", Hand::kAwayThenLetGo},
      {"carried off, still held", Hand::kAwayStillHeld},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    recorder.dropped.clear();
    PressAndNudge(2);
    if (c.hand == Hand::kLetGoThenAway) {
      button.Release();
      kxtest::PumpUntil([] { return !LeftButton::IsDown(); }, 2000);
    }
    PointerTo(TargetMiddle());
    if (c.hand == Hand::kAwayThenLetGo) button.Release();
    // Held past the second; let go from another thread, since a drag that
    // wrongly started holds this one until then.
    std::thread hand([&] {
      Sleep(2500);
      button.Release();
    });
    kxtest::PumpUntil([] { return false; }, 3000);
    hand.join();
    kxtest::PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(recorder.dropped.empty());
  }
}

// While it lives, the table engine's flush (its entry number 95) answers
// as the engine does for a row whose text could not be cleared: the rest
// of the row is written.
class FlushAnswersDamaged {
 public:
  FlushAnswersDamaged() { sPatch = &fPatch; }
  ~FlushAnswersDamaged() { sPatch = nullptr; }
  bool Installed() const { return fPatch.Installed(); }

 private:
  static int32_t C4API Flush(C4Table* table) {
    const int32_t answer = reinterpret_cast<int32_t(C4API*)(C4Table*)>(sPatch->Original())(table);
    return answer == C4_OK ? C4_DAMAGED : answer;
  }
  static kxtest::ImportPatch* sPatch;
  kxtest::ImportPatch fPatch{"C4DLL.DLL", uint16_t(95), reinterpret_cast<void*>(&Flush)};
};
kxtest::ImportPatch* FlushAnswersDamaged::sPatch = nullptr;

// The process's CD database for as long as it lives, over fresh tables.
class TableDatabase {
 public:
  TableDatabase() { cdDatabase = &fDatabase; }
  ~TableDatabase() { cdDatabase = nullptr; }
  TableDatabase(const TableDatabase&) = delete;
  TableDatabase& operator=(const TableDatabase&) = delete;

  // Appends the rows in order, each taking the next ITEM_ID, and loads
  // the item list from the table.
  void Fill(std::vector<PlaylistEntry> rows) {
    for (PlaylistEntry& row : rows) EXPECT_FALSE(fDatabase.AppendItem(row, true));
    ASSERT_EQ(0, fDatabase.LoadItems(itemList));
  }
  // The rows as the table holds them now.
  PlaylistEntries Stored() {
    PlaylistEntries rows;
    EXPECT_EQ(0, fDatabase.LoadItems(rows));
    return rows;
  }
  const std::string& Folder() const { return fTables.Path(); }

 private:
  dbtest::TableFolder fTables;
  CDDatabase fDatabase{"Config Tool"};
};

// Three films of the films folder (row 1), a namesake of the second
// already in the wastebasket, and one film that lives on its CD.
TEST_F(FilmListTest, DeleteMovesTheSelectedFilmsIntoTheWastebasket) {
  TableDatabase table;
  PlaylistEntry harbour = Row(0, 1, 4, "Harbour Lights");
  harbour.PLAY = 0;
  table.Fill({Row(0, 0, 2, "Glintharbour Films"), harbour, Row(0, 1, 4, "Night Tide"), Row(0, 1, 4, "Dawn Run"),
              Row(0, 1, 4, "On The Disc", 1), Row(0, -1001, 4, "Night Tide")});
  list->ShowFilmsOfParent(1);
  ASSERT_EQ(4, list->CountItems());
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  list->SelectAll();
  SendMessageA(list->GetHWND(), WM_KEYDOWN, VK_DELETE, 0);

  EXPECT_EQ(1, boxes.Count());
  EXPECT_EQ("Night Tide is already in the Wastebasket", boxes.LastText());
  // The table and the item list agree on every film's place.
  const int32_t want[] = {0, -1001, 1, -1001, 1, -1001};
  const PlaylistEntries stored = table.Stored();
  ASSERT_EQ(6u, stored.size());
  for (size_t n = 0; n < 6; ++n) {
    EXPECT_EQ(want[n], itemList[n].PARENT_ID) << itemList[n].ITEMTEXT;
    EXPECT_EQ(want[n], stored[n].PARENT_ID) << stored[n].ITEMTEXT;
  }
  EXPECT_EQ(2, stored[1].PARENTTYPE) << "only the parent changes";
  EXPECT_EQ(0, stored[1].PLAY);
  EXPECT_EQ("Harbour Lights", stored[1].ITEMTEXT);
  // The list shows what is left of the films folder.
  ASSERT_EQ(2, list->CountItems());
  EXPECT_EQ(3u, list->GetRowData(1).userValue);
  EXPECT_EQ(5u, list->GetRowData(2).userValue);
}

// The table engine answers a row's write with "damaged" when a text of the
// row could not be cleared, its memo pointer leading nowhere. The mark
// shows what the table holds, and the user hears once that the table is
// damaged and the text stays.
TEST_F(FilmListTest, AWriteAnsweredDamagedIsToldAndTheMarkShowsTheTable) {
  TableDatabase table;
  PlaylistEntry harbour = Row(0, 1, 4, "Harbour Lights");
  harbour.PLAY = 0;
  table.Fill({Row(0, 0, 2, "Glintharbour Films"), harbour});
  list->ShowFilmsOfParent(1);
  FlushAnswersDamaged damaged;
  ASSERT_TRUE(damaged.Installed());
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  Click(0, 10);
  ASSERT_TRUE(boxes.WaitFor(1));
  EXPECT_FALSE(boxes.WaitFor(2, 500)) << "once";
  EXPECT_EQ("The library's table GH_ConfigDB.dbf in the folder \"" + table.Folder() +
                "\" is damaged: a text it keeps in GH_ConfigDB.fpt could not be cleared, since its place in that "
                "file cannot be found. The text was not cleared.",
            boxes.LastText());
  EXPECT_EQ(table.Stored()[1].PLAY, itemList[1].PLAY);
  EXPECT_EQ(table.Stored()[1].PLAY, list->GetPlayFlag(2));
}

// In the wastebasket's own list every film is there already.
TEST_F(FilmListTest, DeleteInTheWastebasketMovesNothing) {
  itemList = {Row(11, -1001, 4, "Harbour Lights"), Row(12, -1001, 4, "Night Tide")};
  list->ShowFilmsOfParent(-1001);
  ASSERT_EQ(2, list->CountItems());
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  list->SelectAll();
  SendMessageA(list->GetHWND(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(2, boxes.Count());
  EXPECT_EQ("Night Tide is already in the Wastebasket", boxes.LastText());
  EXPECT_EQ(-1001, itemList[0].PARENT_ID);
  EXPECT_EQ(2, list->CountItems());
}

TEST_F(FilmListTest, TabGivesTheFocusToTheTree) {
  FillList();
  CP_PaneInfo info(CP_Point(int16_t(0), int16_t(0)), CP_Size(int16_t(10), int16_t(10)));
  auto* tree = new GH_ListView(window.get(), nullptr, info);
  tree->SetIdentifier(int32_t(CP_FourCC("TREE")));
  SetFocus(list->GetHWND());
  SendMessageA(list->GetHWND(), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(tree->GetHWND(), GetFocus());
}

TEST(FilmListNameTest, ALongNameIsCutToItsColumn) {
  struct Case {
    const char* name;
    std::string text;
    int32_t textWidth, gap, sWidth, column;
    std::string want;
    int32_t wantWidth;
  };
  const Case cases[] = {
      {"fits", "Harbour", 50, 18, 6, 350, "Harbour", 50},
      {"exactly fits", "Harbour", 332, 18, 6, 350, "Harbour", 332},
      // 12 pixels too wide: 12 / 6 + 4 = 6 characters go.
      {"too wide", "Harbour Lights At Dawn", 344, 18, 6, 350, "Harbour Lights A...", 329},
      // Too short to keep anything: the first letter by the column width.
      {"narrow column", "Tide", 40, 18, 6, 25, "", 4},
      {"column 26", "Tide", 40, 18, 6, 26, "T", 5},
      {"column 30", "Tide", 40, 18, 6, 30, "T.", 9},
      {"column 33", "Tide", 40, 18, 6, 33, "T..", 12},
      {"column 40", "Tide", 80, 18, 6, 40, "T...", 19},
      {"column 60", "Tide", 80, 18, 6, 60, "T", 39},
  };
  for (const Case& c : cases) {
    int32_t width = 0;
    EXPECT_EQ(c.want, GH_ListView::FitName(c.text, c.textWidth, c.gap, c.sWidth, c.column, width)) << c.name;
    EXPECT_EQ(c.wantWidth, width) << c.name;
  }
}

}  // namespace
