// The framework's own drawn buttons: where the label and the image go, and
// the disclosure triangle's clicks.
#include "CP_Button.h"
#include "CP_Icon.h"
#include "CP_Menu.h"
#include "CP_Picture.h"
#include "ProductTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kxtest::At;
using kxtest::PaneAt;

using FrameworkButtonTest = kxtest::SceneTest;

// A frame of 100 x 30 leaves an inner rectangle of 94 x 24 at (3, 3).
TEST_F(FrameworkButtonTest, LabelIsPlacedByAlignmentsInTheInnerRectangle) {
  struct Case {
    const char* name;
    std::string label;
    int16_t horizontal, vertical, margin;
    int (*left)(int w);
    int (*top)(int h);
  };
  const std::string longLabel = "A label far wider than the whole button";
  const Case kCases[] = {
      {"left, top", "Open", 0, 0, 4, [](int) { return 7; }, [](int) { return 3; }},
      {"centred, middle", "Open", 1, 4, 4, [](int w) { return 3 + (94 - w) / 2; }, [](int h) { return 3 + (24 - h) / 2; }},
      {"right, bottom", "Open", 2, 8, 5, [](int w) { return 3 + 94 - w - 5; }, [](int h) { return 27 - h; }},
      {"too wide, centred", longLabel, 1, 0, 0, [](int) { return 3; }, [](int) { return 3; }},
      {"vertical 1 stays at the top", "Open", 0, 1, 0, [](int) { return 3; }, [](int) { return 3; }},
      {"vertical 2 as well", "Open", 0, 2, 0, [](int) { return 3; }, [](int) { return 3; }},
  };
  for (const Case& c : kCases) {
    auto* button = new CP_Button(window, PaneAt(10, 10, 100, 30), c.label, c.horizontal, c.vertical, c.margin);
    const CP_Rect r = button->GetLabelRect();
    EXPECT_GT(r.Height(), 0) << c.name;
    EXPECT_EQ(c.left(r.Width()), r.left) << c.name;
    EXPECT_EQ(c.top(r.Height()), r.top) << c.name;
    if (c.label == longLabel) {
      EXPECT_EQ(94, r.Width()) << "cut to the inner width";
      EXPECT_GT(button->GetLabelTextWidth(), 94) << "the text itself is wider";
    }
    window->DetachSubPane(button, false, true);
  }
}

TEST_F(FrameworkButtonTest, LargeImagesShrinkToASquareOrTo16) {
  CP_Icon* icon = new CP_Icon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)), CP_Icon::Ownership::Borrowed);
  icon->AddReference();
  ASSERT_EQ(32, icon->GetWidth());
  struct Case {
    const char* name;
    int width, height;  // the frame; the inner rectangle is 6 smaller
    CP_Rect want;
  };
  const Case kCases[] = {
      {"inner 20 x 20", 26, 26, CP_Rect(3, 3, 19, 19)},
      {"inner 12 wide, 40 high", 18, 46, CP_Rect(3, 3, 15, 15)},
      {"inner 40 wide, 12 high", 46, 18, CP_Rect(3, 3, 15, 15)},
      {"room enough", 46, 46, CP_Rect(3, 3, 35, 35)},
  };
  for (const Case& c : kCases) {
    auto* button = new CP_IconButton(window, PaneAt(0, 0, c.width, c.height), "", 0, 0, 0, icon, 0, 0);
    EXPECT_EQ(c.want, button->GetImageRect()) << c.name;
    window->DetachSubPane(button, false, true);
  }
  EXPECT_EQ(1, icon->GetReferenceCount()) << "every button gave its reference back";
  icon->RemoveReference();
}

TEST_F(FrameworkButtonTest, ImageIsPlacedAndTheLabelMovedBesideIt) {
  // Inner rectangle 40 x 40 at (3, 3); the picture is 16 x 16.
  auto* centred = new CP_PictureButton(window, PaneAt(0, 0, 46, 46), "", 0, 0, 0, 101, 1, 1);
  EXPECT_EQ(CP_Rect(15, 15, 31, 31), centred->GetImageRect());
  auto* end = new CP_PictureButton(window, PaneAt(0, 0, 46, 46), "", 0, 0, 0, 101, 2, 2);
  EXPECT_EQ(CP_Rect(27, 27, 43, 43), end->GetImageRect());

  // A side element takes its width from a centred or end placement.
  end->SetSideElement(new CP_Menu(150, "Sizes", uint8_t(1)), CP_Rect(36, 30, 46, 36));
  EXPECT_TRUE(end->HasSideElement());
  CP_Picture* picture = new CP_Picture(101);
  picture->AddReference();
  end->LayoutPicture(picture);
  picture->RemoveReference();
  EXPECT_EQ(CP_Rect(17, 27, 33, 43), end->GetImageRect());

  // Label left and top: the label goes right of the image by the margin,
  // and the image moves down.
  auto* labelled = new CP_PictureButton(window, PaneAt(0, 0, 100, 46), "Go", 0, 0, 4, 101, 0, 0);
  const CP_Rect label = labelled->GetLabelRect();
  const CP_Rect image = labelled->GetImageRect();
  const int move = (label.Height() / 2) / 2 + 3;
  EXPECT_EQ(CP_Rect(3, 3 + move, 19, 19 + move), image);
  EXPECT_EQ(19 + 4, label.left);

  auto* none = new CP_PictureButton(window, PaneAt(0, 0, 46, 46), "Go", 0, 0, 0, -1, 1, 1);
  const CP_Rect before = none->GetLabelRect();
  none->LayoutPicture(nullptr);
  EXPECT_EQ(CP_Rect(), none->GetImageRect()) << "no picture: nothing happens";
  EXPECT_EQ(before, none->GetLabelRect());
}

TEST_F(FrameworkButtonTest, TriangleFlipsAndTellsOnAReleaseInside) {
  auto* triangle = new CP_DisclosureTriangle(window, PaneAt(10, 10, 16, 16), false);
  kxtest::MessageRecorder recorder;
  triangle->AddListener(&recorder);
  HWND h = triangle->GetHWND();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 8));
  SendMessageA(h, WM_LBUTTONUP, 0, At(8, 8));
  EXPECT_TRUE(triangle->IsOpen());
  ASSERT_EQ(1u, recorder.messages.size());
  EXPECT_EQ(1, recorder.messages[0].value);

  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 8));
  SendMessageA(h, WM_LBUTTONUP, 0, At(40, 8));
  EXPECT_TRUE(triangle->IsOpen()) << "released outside";
  SendMessageA(h, WM_LBUTTONUP, 0, At(8, 8));
  EXPECT_EQ(1u, recorder.messages.size()) << "a release without a press";

  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 8));
  SendMessageA(h, WM_LBUTTONUP, 0, At(8, 8));
  EXPECT_FALSE(triangle->IsOpen());
  EXPECT_EQ(0, recorder.messages.back().value);
}

}  // namespace
