// The main splitter's size memory across maximising and restoring its
// window: the window is maximised, so these run one at a time.
#include "CD_Splitter_CP.h"
#include "CP_Desktop.h"
#include "CP_StatusBar.h"
#include "ProductTestSupport.h"

#include <gtest/gtest.h>

namespace {

using kxtest::PaneAt;

class SplitterSizeFocusTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    app = new CP_Application;
    window = new CP_Window(app, kxtest::Describe(CP_Window::kDocument, 50, 50, 400, 300), "main");
    window->SetOwnsItself(false);
    CP_PaneInfo bar = PaneAt(0, 280, 400, 20);
    bar.identifier = CD_Splitter_CP::kStatusBar;
    status = new CP_StatusBar(window, bar, true, true, false);
    CP_PaneInfo main = PaneAt(0, 0, 400, 250);
    main.identifier = CD_Splitter_CP::kMainSplitter;
    splitter = new CD_Splitter_CP(window, main, CD_Splitter_CP::kStacked);
    window->Show();
    kxtest::Settle();
  }
  void TearDown() override {
    delete window;
    delete app;
    FrameworkTest::TearDown();
  }
  CP_Size Size() const { return CP_Size(splitter->GetWidth(), splitter->GetHeight()); }

  CP_Application* app = nullptr;
  CP_Window* window = nullptr;
  CP_StatusBar* status = nullptr;
  CD_Splitter_CP* splitter = nullptr;
};

TEST_F(SplitterSizeFocusTest, HeightOfOneMakesTheNextResizeRestoreTheSavedSize) {
  splitter->ResizeTo(CP_Size(400, 240));
  EXPECT_EQ(CP_Size(400, 240), Size()) << "taken and saved";
  splitter->ResizeTo(CP_Size(400, 1));
  EXPECT_EQ(CP_Size(400, 240), Size()) << "a height of 1 resizes nothing";
  splitter->ResizeTo(CP_Size(350, 200));
  EXPECT_EQ(CP_Size(400, 240), Size()) << "the saved size comes back";
  splitter->ResizeTo(CP_Size(350, 200));
  EXPECT_EQ(CP_Size(350, 200), Size()) << "and requests count again";
}

TEST_F(SplitterSizeFocusTest, MaximisedWindowGivesTheWorkAreaAboveTheStatusBar) {
  splitter->ResizeTo(CP_Size(400, 240));
  splitter->ResizeTo(CP_Size(400, 1));
  ShowWindow(window->GetHWND(), SW_MAXIMIZE);
  kxtest::Settle();
  ASSERT_TRUE(window->IsMaximized());

  splitter->ResizeTo(CP_Size(999, 999));
  RECT client = {};
  GetClientRect(window->GetHWND(), &client);
  const int height = client.bottom - (status->GetPartRect(1).Height() + 1);
  EXPECT_EQ(CP_Size(CP_Desktop::GetDesktop()->GetWorkAreaWidth(), height), Size());

  ShowWindow(window->GetHWND(), SW_RESTORE);
  kxtest::Settle();
  splitter->ResizeTo(CP_Size(380, 230));
  EXPECT_EQ(CP_Size(380, 230), Size()) << "restored: the request, saved";
  splitter->ResizeTo(CP_Size(10, 1));
  splitter->ResizeTo(CP_Size(20, 20));
  EXPECT_EQ(CP_Size(380, 230), Size());
}

}  // namespace
