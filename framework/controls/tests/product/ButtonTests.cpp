// The product's text button: label and arrow layout, the pop-up menu it
// holds, menu commands and its stream form.
#include "CP_HandleBlock.h"
#include "CP_HandleBlockStream.h"
#include "CP_Menu.h"
#include "GH_Button.h"
#include "MemoryOutStream.h"
#include "ProductTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using kxtest::PaneAt;

using ButtonTest = kxtest::SceneTest;

GH_Button* MakeButton(CP_Window* window, const std::string& label, int16_t h, int16_t v, int16_t margin,
                      int width = 100, int height = 40) {
  return new GH_Button(window, PaneAt(10, 20, width, height), label, h, v, margin, 1, 0, 3);
}

// A frame of 100 x 40 leaves an inner frame of 90 x 30 at (5, 5).
TEST_F(ButtonTest, LabelIsPlacedInTheInnerFrameByAlignmentAndMargin) {
  struct Case {
    const char* name;
    std::string label;
    int16_t horizontal, vertical, margin;
    // Expected left and top from the label's own width w and height h.
    int (*left)(int w);
    int (*top)(int h);
  };
  const std::string longLabel = "A label much wider than the button it sits on";
  const Case kCases[] = {
      {"left, top", "Play", 0, 0, 4, [](int) { return 9; }, [](int) { return 5; }},
      {"centre, middle", "Play", 1, 4, 4, [](int w) { return 5 + (90 - w) / 2; }, [](int h) { return 5 + (30 - h) / 2; }},
      {"right, bottom", "Play", 2, 8, 3, [](int w) { return 92 - w; }, [](int h) { return 35 - h; }},
      {"wider than the frame, right", longLabel, 2, 0, 3, [](int) { return 2; }, [](int) { return 5; }},
      {"unknown codes leave it", "Play", 3, 1, 4, [](int) { return 5; }, [](int) { return 5; }},
  };
  for (const Case& c : kCases) {
    GH_Button* button = MakeButton(window, c.label, c.horizontal, c.vertical, c.margin);
    const CP_Rect r = button->GetLabelRect();
    const int w = r.Width(), h = r.Height();
    EXPECT_GT(w, 0) << c.name;
    EXPECT_GT(h, 0) << c.name;
    EXPECT_LE(w, 90) << c.name;
    EXPECT_EQ(c.left(w), r.left) << c.name;
    EXPECT_EQ(c.top(h), r.top) << c.name;
    if (c.label == longLabel) {
      EXPECT_EQ(90, w) << "cut to the inner frame";
    }
    window->DetachSubPane(button, false, true);
  }
}

// The inner frame of a 100 x 40 button ends at right 95, bottom 35.
TEST_F(ButtonTest, ArrowIsPlacedInTheInnerFramesCornerBySizeAndDirection) {
  struct Case {
    int16_t direction, size;
    CP_Rect want;
  };
  const Case kCases[] = {
      {GH_Button::kArrowDown, 1, CP_Rect(85, 29, 93, 34)},
      {GH_Button::kArrowRight, 1, CP_Rect(89, 25, 94, 33)},
      {GH_Button::kArrowDown, 2, CP_Rect(89, 31, 93, 34)},
      {GH_Button::kArrowRight, 0, CP_Rect(91, 29, 94, 33)},
  };
  GH_Button* button = MakeButton(window, "Size", 0, 0, 0);
  CP_Menu* menu = new CP_Menu(150, "Sizes", uint8_t(1));
  for (const Case& c : kCases) {
    button->SetPopupMenu(menu, c.direction, c.size, 0);
    EXPECT_EQ(c.want, button->GetArrowRect()) << c.direction << " " << c.size;
    EXPECT_EQ(c.direction == GH_Button::kArrowRight, button->IsArrowSideways());
  }
}

TEST_F(ButtonTest, EachMenuIsHeldOnceAndGivenBackWhenReplaced) {
  GH_Button* button = MakeButton(window, "Size", 0, 0, 0);
  EXPECT_FALSE(button->HasPopupMenu());
  CP_Menu* first = new CP_Menu(150, "Sizes", uint8_t(1));
  CP_Menu* second = new CP_Menu(150, "Sizes", uint8_t(1));
  first->AddReference();
  second->AddReference();
  button->SetPopupMenu(first, 1, 1, 0);
  EXPECT_EQ(2, first->GetReferenceCount());
  EXPECT_EQ(150, button->GetMenuId());
  button->SetPopupMenu(second, 1, 1, 0);
  EXPECT_EQ(1, first->GetReferenceCount()) << "the replaced menu's reference is given back";
  EXPECT_EQ(2, second->GetReferenceCount());
  window->DetachSubPane(button, false, true);
  EXPECT_EQ(1, second->GetReferenceCount());
  first->RemoveReference();
  second->RemoveReference();
}

TEST_F(ButtonTest, EnableFlagOfExactlyOneEnablesEveryItem) {
  for (uint8_t flag : {uint8_t(1), uint8_t(2)}) {
    GH_Button* button = MakeButton(window, "Size", 0, 0, 0);
    CP_Menu* menu = new CP_Menu(150, "Sizes", uint8_t(1));
    menu->DisableAllItems();
    button->SetPopupMenu(menu, 1, 1, flag);
    for (UINT i = 0; i < 3; ++i) {
      const bool grey = (GetMenuState(menu->GetHandle(), i, MF_BYPOSITION) & MF_GRAYED) != 0;
      EXPECT_EQ(flag != 1, grey) << "flag " << int(flag) << " item " << i;
    }
    window->DetachSubPane(button, false, true);
  }
}

TEST_F(ButtonTest, MenuCommandSetsTheValueToTheItemPosition) {
  GH_Button* button = MakeButton(window, "Size", 0, 0, 0);
  HWND h = button->GetHWND();
  EXPECT_EQ(CP_Pane::kNotHandled, button->HandleCommandMessage(h, 1501, 0)) << "no menu yet";
  button->SetPopupMenu(new CP_Menu(150, "Sizes", uint8_t(1)), 1, 1, 0);
  kxtest::MessageRecorder recorder;
  button->AddListener(&recorder);
  SendMessageA(h, WM_COMMAND, 1502, 0);
  EXPECT_EQ(3, button->GetValue());
  SendMessageA(h, WM_COMMAND, 1501, 0);
  EXPECT_EQ(2, button->GetValue());
  SendMessageA(h, WM_COMMAND, 4444, 0);
  EXPECT_EQ(0, button->GetValue()) << "no such item";
  EXPECT_TRUE(recorder.messages.empty()) << "stored, not announced";
  EXPECT_EQ(CP_Pane::kNotHandled, button->HandleCommandMessage(h, 1501, LPARAM(h))) << "from a control";
}

std::unique_ptr<CP_HandleBlockInStream> Stream(const std::vector<uint8_t>& bytes) {
  auto* block = new CP_HandleBlock(int32_t(bytes.size()));
  std::memcpy(block->GetPointer(), bytes.data(), bytes.size());
  block->Unlock();
  return std::make_unique<CP_HandleBlockInStream>(block, 0);
}

int16_t Int16At(const std::vector<uint8_t>& bytes, size_t fromEnd) {
  const size_t at = bytes.size() - fromEnd;
  return int16_t(bytes[at] | bytes[at + 1] << 8);
}

TEST_F(ButtonTest, StreamEndsWithTheButtonsSixValuesAndReadsBack) {
  GH_Button* button = MakeButton(window, "Size", 2, 8, 7);
  button->SetPopupMenu(new CP_Menu(150, "Sizes", uint8_t(1)), 0, 2, 0);
  kxtest::MemoryOutStream out;
  button->WriteToStream(out);
  const std::vector<uint8_t>& bytes = out.Bytes();
  ASSERT_GE(bytes.size(), 12u);
  const int16_t want[] = {0, 2, 150, 2, 8, 7};  // direction, size, menu id, alignments, margin
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(want[i], Int16At(bytes, 12 - 2 * i)) << i;

  GH_Button* copy = MakeButton(window, "", 0, 0, 0);
  auto in = Stream(bytes);
  copy->ReadFromStream(nullptr, *in);
  EXPECT_TRUE(in->IsAtEnd());
  EXPECT_EQ(150, copy->GetMenuId());
  EXPECT_TRUE(copy->IsArrowSideways());
  EXPECT_EQ("Size", copy->GetText());
  kxtest::MemoryOutStream again;
  copy->WriteToStream(again);
  EXPECT_EQ(bytes, again.Bytes());
}

}  // namespace
