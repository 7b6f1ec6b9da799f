#include "CP_Cursor.h"
#include "CP_Desktop.h"
#include "PaneTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using kxtest::Describe;

class DesktopTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    app = std::make_unique<CP_Application>();
    desktop = CP_Desktop::GetDesktop();
  }
  void TearDown() override {
    windows.clear();
    app.reset();
    FrameworkTest::TearDown();
  }

  CP_Window* Make(uint8_t kind, int16_t placement, int width = 200, int height = 150) {
    CP_WindowInfo info = Describe(kind, 300, 300, width, height);
    info.placement = placement;
    windows.push_back(std::make_unique<CP_Window>(app.get(), info, "desk"));
    windows.back()->SetOwnsItself(false);
    return windows.back().get();
  }

  static POINT TopLeft(CP_Window* window) {
    RECT r = {};
    GetWindowRect(window->GetHWND(), &r);
    return POINT{r.left, r.top};
  }

  std::unique_ptr<CP_Application> app;
  CP_Desktop* desktop = nullptr;
  std::vector<std::unique_ptr<CP_Window>> windows;
};

TEST_F(DesktopTest, DocumentWindowsCascadeFromSixteenAndStartAgainWhenAlone) {
  CP_Window* first = Make(CP_Window::kDocument, CP_Window::kPlaceCascade);
  CP_Window* second = Make(CP_Window::kDocument, CP_Window::kPlaceCascade);
  EXPECT_EQ(16, TopLeft(first).x);
  EXPECT_EQ(16, TopLeft(first).y);
  EXPECT_EQ(32, TopLeft(second).x);
  EXPECT_EQ(32, TopLeft(second).y);
  EXPECT_EQ(CP_Point(int16_t(32), int16_t(32)), second->GetPosition());
  windows.clear();
  CP_Window* again = Make(CP_Window::kDocument, CP_Window::kPlaceCascade);
  EXPECT_EQ(16, TopLeft(again).x);
  EXPECT_EQ(16, TopLeft(again).y);
  CP_Window* none = Make(CP_Window::kDocument, CP_Window::kPlaceNone);
  EXPECT_EQ(300, TopLeft(none).x) << "left where it was made";
}

TEST_F(DesktopTest, CentredPlacementHighOrMiddle) {
  const int areaWidth = desktop->GetWorkAreaWidth();
  const int areaHeight = desktop->GetWorkAreaHeight();
  CP_Window* high = Make(CP_Window::kDocument, CP_Window::kPlaceCentredHigh);
  CP_Window* middle = Make(CP_Window::kDocument, CP_Window::kPlaceCentred);
  const int width = high->GetFrameWidth();
  const int height = high->GetFrameHeight();
  const int caption = high->GetCaptionHeight();
  EXPECT_EQ((areaWidth - width) / 2, TopLeft(high).x);
  EXPECT_EQ((areaHeight - (caption + height)) / 3, TopLeft(high).y);
  EXPECT_EQ((areaWidth - width) / 2, TopLeft(middle).x);
  EXPECT_EQ((areaHeight - (caption + height)) / 2, TopLeft(middle).y);

  // Larger than the work area: never off the top-left in the upper third,
  // off the screen when centred.
  CP_Window* bigHigh = Make(CP_Window::kDialogLike, CP_Window::kPlaceCentredHigh, areaWidth + 200, areaHeight + 200);
  CP_Window* bigMiddle = Make(CP_Window::kDialogLike, CP_Window::kPlaceCentred, areaWidth + 200, areaHeight + 200);
  EXPECT_EQ(0, TopLeft(bigHigh).x);
  EXPECT_EQ(0, TopLeft(bigHigh).y);
  EXPECT_LT(TopLeft(bigMiddle).x, 0);
  EXPECT_LT(TopLeft(bigMiddle).y, 0);
}

TEST_F(DesktopTest, CascadingSizesAndStepsEveryDocumentWindow) {
  std::vector<CP_Window*> docs = {Make(CP_Window::kDocument, 0), Make(CP_Window::kDocument, 0),
                                  Make(CP_Window::kDocument, 0)};
  Make(CP_Window::kDialogLike, 0);  // not a document window: left alone
  const int caption = docs[0]->GetCaptionHeight();
  desktop->CascadeWindows();
  for (int k = 0; k < 3; ++k) {
    RECT client = {};
    GetClientRect(docs[k]->GetHWND(), &client);
    EXPECT_EQ(250, client.right) << k;
    EXPECT_EQ(250, client.bottom) << k;
    EXPECT_EQ(12 + 16 * k, TopLeft(docs[k]).x) << k;
    EXPECT_EQ(caption + 12 + 16 * k, TopLeft(docs[k]).y) << k;
  }
  EXPECT_EQ(300, TopLeft(windows[3].get()).x);
}

TEST_F(DesktopTest, TilingOneWindowOnlyBringsItToTheFront) {
  CP_Window* doc = Make(CP_Window::kDocument, 0);
  RECT before = {};
  GetWindowRect(doc->GetHWND(), &before);
  desktop->TileWindowsStacked();
  RECT after = {};
  GetWindowRect(doc->GetHWND(), &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_TRUE(doc->IsVisible()) << "brought to the front, shown";
}

TEST_F(DesktopTest, TilingStacksOrLinesUpTheDocumentWindows) {
  CP_Window* a = Make(CP_Window::kDocument, 0);
  CP_Window* b = Make(CP_Window::kDocument, 0);
  const int areaWidth = desktop->GetWorkAreaWidth();
  const int areaHeight = desktop->GetWorkAreaHeight();
  const int border = a->GetBorderWidth();
  const int caption = a->GetCaptionHeight();

  desktop->TileWindowsStacked();
  const int cellWidth = areaWidth - 12;
  const int cellHeight = ((areaHeight - 12 - caption) - 2 * 12) / 2;
  const int contentWidth = cellWidth - (2 * border + 26);
  const int contentHeight = cellHeight - (2 * border + caption + 12);
  RECT client = {};
  GetClientRect(b->GetHWND(), &client);
  EXPECT_EQ(contentWidth, client.right);
  EXPECT_EQ(contentHeight, client.bottom);
  EXPECT_EQ(0, TopLeft(a).y);
  EXPECT_EQ(contentHeight, TopLeft(b).y) << "one content height down";
  EXPECT_EQ(0, TopLeft(b).x);

  desktop->TileWindowsSideBySide();
  const int sideWidth = (areaWidth - 12) / 2 - (2 * border + 12);
  const int sideHeight = ((areaHeight - (caption + 12)) - 12) - (2 * border + caption + 57);
  GetClientRect(a->GetHWND(), &client);
  EXPECT_EQ(sideWidth, client.right);
  EXPECT_EQ(sideHeight, client.bottom);
  EXPECT_EQ(0, TopLeft(a).x);
  EXPECT_EQ(sideWidth, TopLeft(b).x);
  EXPECT_EQ(0, TopLeft(b).y);
}

// Refuses to close when told to; counts its deletion.
class CountedWindow : public CP_Window {
 public:
  CountedWindow(CP_M_Commander* parent, int* deleted, bool refuse)
      : CP_Window(parent, Describe(kDocument, 10, 10, 120, 100), "counted"), fDeleted(deleted), fRefuse(refuse) {}
  ~CountedWindow() override { ++*fDeleted; }
  bool TryClose() override {
    ++asked;
    return fRefuse ? false : CP_Window::TryClose();
  }
  int asked = 0;

 private:
  int* fDeleted;
  bool fRefuse;
};

TEST_F(DesktopTest, CloseWindowsOfKindAsksEveryMatchingWindowOnce) {
  int deleted = 0;
  auto* refusing = new CountedWindow(app.get(), &deleted, true);
  auto* willing = new CountedWindow(app.get(), &deleted, false);
  auto* alsoWilling = new CountedWindow(app.get(), &deleted, false);
  (void)willing;
  (void)alsoWilling;

  EXPECT_TRUE(desktop->CloseWindowsOfKind(2)) << "no document window matches";
  EXPECT_EQ(0, refusing->asked);
  EXPECT_FALSE(desktop->CloseWindowsOfKind(1));
  EXPECT_EQ(1, refusing->asked) << "asked once, not once per pass";
  EXPECT_EQ(2, deleted) << "the windows behind the refusing one were asked too";
  EXPECT_EQ(1, desktop->CountDocumentWindows());
  delete refusing;
}

TEST_F(DesktopTest, DeletingTheDesktopDeletesTheWindowsLeft) {
  int deleted = 0;
  new CountedWindow(app.get(), &deleted, false);
  auto* second = new CountedWindow(app.get(), &deleted, false);
  HWND frame = second->GetHWND();
  delete CP_Desktop::GetDesktop();
  EXPECT_EQ(2, deleted);
  EXPECT_EQ(nullptr, CP_Desktop::GetDesktop());
  EXPECT_FALSE(IsWindow(frame));
}

TEST_F(DesktopTest, HandlesMapToTheirWindowsOnly) {
  CP_Window* doc = Make(CP_Window::kDocument, 0);
  CP_Window* tool = Make(CP_Window::kFloating, 0);
  EXPECT_EQ(doc, desktop->FindWindowByHandle(doc->GetHWND()));
  EXPECT_EQ(tool, desktop->FindWindowByHandle(tool->GetHWND()));
  EXPECT_EQ(nullptr, desktop->FindWindowByHandle(nullptr));
  desktop->AddWindow(tool, doc->GetHWND());
  EXPECT_EQ(doc, desktop->FindWindowByHandle(doc->GetHWND())) << "an existing entry is not replaced";
  EXPECT_EQ(1, desktop->CountDocumentWindows());
  char name[32] = {};
  GetClassNameA(doc->GetHWND(), name, sizeof name);
  EXPECT_STREQ("CP_DocWindow", name);
  GetClassNameA(tool->GetHWND(), name, sizeof name);
  EXPECT_STREQ("CP_Window", name);
  EXPECT_EQ(doc, desktop->FindTopDocumentWindow());
}

TEST_F(DesktopTest, CursorRestoresOnlyWhenAsked) {
  HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  HCURSOR cross = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // IDC_CROSS
  SetCursor(arrow);
  {
    CP_Cursor keep(32515, 0);
  }
  EXPECT_EQ(cross, GetCursor());
  SetCursor(arrow);
  {
    CP_Cursor restore(32515, 1);
    EXPECT_EQ(cross, GetCursor());
  }
  EXPECT_EQ(arrow, GetCursor());
  {
    CP_Cursor missing(12345, 1);  // neither the program nor the system has it
  }
  EXPECT_EQ(arrow, GetCursor());
}

}  // namespace
