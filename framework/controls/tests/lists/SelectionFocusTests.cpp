// Selection ranges of the tree table with the Shift key really held down,
// and clicks that the control takes itself. The key state and the focus are
// the desktop's: these cases run alone.
#include "TreeTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Holds Shift down through the system's input queue while it lives.
class ShiftHeld {
 public:
  ShiftHeld() { Send(0); }
  ~ShiftHeld() { Send(KEYEVENTF_KEYUP); }
  ShiftHeld(const ShiftHeld&) = delete;
  ShiftHeld& operator=(const ShiftHeld&) = delete;

 private:
  static void Send(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_SHIFT;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
    const bool down = flags == 0;
    kxtest::PumpUntil([&] { return ((GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0) == down; }, 2000);
  }
};

class SelectionFocusTest : public kxtest::TreeScene {
 protected:
  void SetUp() override {
    TreeScene::SetUp();
    SetForegroundWindow(window->GetHWND());
    tree = MakeTree(0);
    for (const char* label : {"A", "B", "C", "D", "E"}) items.push_back(Add(tree, nullptr, label));
  }
  CP_TreeTable* tree = nullptr;
  std::vector<kxtest::LoggingItem*> items;
};

TEST_F(SelectionFocusTest, ShiftSelectsTheRowsBetweenAnchorAndItemEitherWay) {
  tree->SelectItem(items[1]);
  {
    ShiftHeld shift;
    ASSERT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
    tree->SelectItem(items[3]);
    EXPECT_EQ("B C D", Selection(tree)) << "downwards";
    EXPECT_EQ(items[1], tree->GetAnchor()) << "the anchor stays";
    tree->SelectItem(items[0]);
    EXPECT_EQ("A B", Selection(tree)) << "upwards";
    tree->SelectItem(items[1]);
    EXPECT_EQ("B", Selection(tree)) << "the anchor alone";
  }
  tree->SelectItem(items[4]);
  EXPECT_EQ("E", Selection(tree)) << "without Shift a plain selection again";
  EXPECT_EQ(items[4], tree->GetAnchor());
}

TEST_F(SelectionFocusTest, ShiftWithoutAnAnchorIsAPlainSelection) {
  auto* child = Add(tree, items[0], "A1");
  items[0]->Expand();
  tree->SelectItem(child);
  items[0]->Collapse();  // the anchor is no longer a row
  ShiftHeld shift;
  tree->SelectItem(items[2]);
  EXPECT_EQ("C", Selection(tree));
  EXPECT_EQ(items[2], tree->GetAnchor());

  tree->SelectItem(nullptr);
  EXPECT_EQ(nullptr, tree->GetAnchor());
  tree->SelectItem(items[3]);
  EXPECT_EQ("D", Selection(tree)) << "no anchor at all";
  EXPECT_EQ(items[3], tree->GetAnchor());
}

TEST_F(SelectionFocusTest, ClickOnALabelSelectsThroughTheControl) {
  const CP_Point at = Middle(tree, items[2]);
  // The control follows the mouse until the button comes up: the release
  // waits in the queue.
  PostMessageA(tree->GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(at.h, at.v));
  SendMessageA(tree->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.h, at.v));
  kxtest::PumpUntil([&] { return false; }, 50);
  EXPECT_EQ("C", Selection(tree));
  EXPECT_EQ(items[2]->GetHandle(),
            reinterpret_cast<HTREEITEM>(SendMessageA(tree->GetHWND(), TVM_GETNEXTITEM, TVGN_CARET, 0)));
  EXPECT_TRUE(items[2]->log.empty()) << "the control takes the click, the item hears of the selection only";

  const CP_Point atE = Middle(tree, items[4]);
  ShiftHeld shift;
  PostMessageA(tree->GetHWND(), WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(atE.h, atE.v));
  SendMessageA(tree->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(atE.h, atE.v));
  kxtest::PumpUntil([&] { return false; }, 50);
  EXPECT_EQ("C D E", Selection(tree));
}

}  // namespace
