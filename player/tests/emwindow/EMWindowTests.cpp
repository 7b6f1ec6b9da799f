#include "document/EM_DocumentWindow.h"

#include "CP_Application.h"
#include "CP_Desktop.h"
#include "CP_FourCC.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"
#include "utility/GH_Utility.h"

#include <gtest/gtest.h>

namespace {

class EMWindow : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    app = new CP_Application;
  }
  void TearDown() override {
    for (EM_DocumentWindow* w : made)
      if (CP_Desktop::GetDesktop()->FindWindowByHandle(w->GetHWND()) == w) delete w;
    delete app;
    FrameworkTest::TearDown();
  }

  // As the playQT action makes it: the work area's width, the screen's
  // height, no border.
  EM_DocumentWindow* Make() {
    const CP_Size size(CP_Desktop::GetDesktop()->GetWorkAreaWidth(), GetDesktopHeight());
    CP_WindowInfo info(CP_PaneInfo(CP_Point(int32_t(0), int32_t(0)), size), CP_Window::kDocument);
    info.style = WS_POPUP;
    info.exStyle = 0;
    auto* window = new EM_DocumentWindow(CP_M_Commander::GetDefaultCommander(), nullptr, info, "EMWindow");
    CP_Desktop::GetDesktop()->AddWindow(window, window->GetHWND());
    made.push_back(window);
    return window;
  }
  // A stand-in for the list-film pane: a pane with its own child window.
  static CP_Pane* AddListPane(EM_DocumentWindow* window) {
    const CP_PaneInfo info(CP_Point(int32_t(0), int32_t(0)), CP_Size(200, 100));
    auto* pane = new CP_Pane(window, info);
    pane->MakeWindow(window, info.location, info.size);
    pane->SetIdentifier(int32_t(CP_FourCC("EMFL")));
    return pane;
  }

  CP_Application* app = nullptr;
  std::vector<EM_DocumentWindow*> made;
};

TEST_F(EMWindow, ABorderlessWindowOfItsOwnClassOverTheWholeScreen) {
  EM_DocumentWindow* window = Make();
  HWND w = window->GetHWND();
  ASSERT_NE(nullptr, w);
  char className[32] = {};
  GetClassNameA(w, className, sizeof className);
  EXPECT_STREQ("EM_DocumentWindow", className);
  EXPECT_EQ(LONG(WS_POPUP), GetWindowLongA(w, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_BORDER | WS_CHILD));
  RECT r{}, client{};
  GetWindowRect(w, &r);
  GetClientRect(w, &client);
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(CP_Desktop::GetDesktop()->GetWorkAreaWidth(), client.right);
  EXPECT_EQ(GetDesktopHeight(), client.bottom);
  EXPECT_EQ(window, CP_Desktop::GetDesktop()->FindWindowByHandle(w));
  EXPECT_EQ(1, CP_Desktop::GetDesktop()->CountDocumentWindows());

  // The class is registered once; windows after the first go on using it.
  EM_DocumentWindow* second = Make();
  ASSERT_NE(nullptr, second->GetHWND());
  EXPECT_EQ(2, CP_Desktop::GetDesktop()->CountDocumentWindows());
  EXPECT_TRUE(window->TryClose());
  EM_DocumentWindow* third = Make();
  EXPECT_NE(nullptr, third->GetHWND());
}

TEST_F(EMWindow, TheScreenSaverIsRefusedAndOtherSystemCommandsAreWindows) {
  EM_DocumentWindow* window = Make();
  window->Show();
  HWND w = window->GetHWND();
  EXPECT_EQ(1, SendMessageA(w, WM_SYSCOMMAND, SC_SCREENSAVE, 0));
  EXPECT_TRUE(IsWindow(w));
  // Closing from the system menu ends the window as any close does.
  SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  kxtest::PumpUntil([&] { return !IsWindow(w); }, 2000);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(0, CP_Desktop::GetDesktop()->CountDocumentWindows());
}

TEST_F(EMWindow, TheFocusGoesOnToTheListFilmPane) {
  struct Case {
    const char* name;
    bool withPane;
  };
  for (const Case& c : {Case{"with the list-film pane", true}, Case{"without it", false}}) {
    EM_DocumentWindow* window = Make();
    CP_Pane* pane = c.withPane ? AddListPane(window) : nullptr;
    ASSERT_FALSE(IsWindowVisible(window->GetHWND())) << c.name;
    SendMessageA(window->GetHWND(), WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(IsWindowVisible(window->GetHWND())) << c.name << ": brought to the front";
    if (pane) {
      kxtest::PumpUntil([&] { return GetFocus() == pane->GetHWND(); }, 2000);
      EXPECT_EQ(pane->GetHWND(), GetFocus()) << c.name;
    }
    delete window;
    made.pop_back();
  }
}

}  // namespace
