// The picture button's looks by state, and hover, capture and clicks with the
// real mouse. Pictures: 101 red base, 102 green pushed, 103 blue enabled,
// 105 magenta unhilited, 104 yellow hilited, 106 cyan on, 107 orange off.
#include "CP_FourCC.h"
#include "GH_PictureButton.h"
#include "ProductTestSupport.h"

#include <gtest/gtest.h>

namespace {

using kxtest::At;
using kxtest::DibSurface;
using kxtest::MessageRecorder;
using kxtest::PaneAt;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kOrange = RGB(255, 128, 0);

class PictureButtonFocusTest : public kxtest::SceneTest {
 protected:
  void SetUp() override {
    kxtest::SceneTest::SetUp();
    kxtest::PlaceApart(window);
  }
  // A 60 x 40 button at (10, 20) with its picture centred: (22, 12) to
  // (38, 28); the middle of the picture is (30, 20).
  GH_PictureButton* Make(int16_t toggle = 0) {
    return new GH_PictureButton(window, PaneAt(10, 20, 60, 40), "", 101, toggle, 0, 0, 0, 1, 1, 0, 0, 1);
  }
  static COLORREF Drawn(GH_PictureButton* button) {
    DibSurface dib(60, 40);
    kxtest::DrawInto(button, dib);
    return dib.Pixel(30, 20);
  }
  // What the button's window shows at the middle of its picture.
  static COLORREF Shown(GH_PictureButton* button) {
    HDC dc = GetDC(button->GetHWND());
    const COLORREF pixel = GetPixel(dc, 30, 20);
    ReleaseDC(button->GetHWND(), dc);
    return pixel;
  }
  POINT Middle(GH_PictureButton* button) { return kxtest::OnScreen(button, 30, 20); }
  POINT Beside(GH_PictureButton* button) { return kxtest::OnScreen(button, 150, 20); }
};

TEST_F(PictureButtonFocusTest, PlainButtonShowsItsPictureByState) {
  GH_PictureButton* button = Make();
  button->SetPushedPicture(102);
  kxtest::ShowAndActivate(window);
  ASSERT_TRUE(button->IsActive() && button->IsEnabled());
  EXPECT_EQ(kRed, Drawn(button)) << "resting: the base picture";
  button->SetEnabledPicture(103);
  EXPECT_EQ(kBlue, Drawn(button)) << "an enabled picture wins while available";

  button->Disable();
  EXPECT_EQ(kBlue, Drawn(button)) << "still active, and no unhilited picture";
  button->SetUnhilitedPicture(105);
  EXPECT_EQ(kMagenta, Drawn(button)) << "drawn over the resting picture";
  button->Enable();

  button->SetHilitedPicture(104);
  SendMessageA(button->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, At(30, 20));
  EXPECT_EQ(1, button->IsPushed());
  EXPECT_EQ(kRed, Drawn(button)) << "pressed: the base picture, no frame";
  SendMessageA(button->GetHWND(), WM_LBUTTONUP, 0, At(30, 20));
}

TEST_F(PictureButtonFocusTest, ToggleButtonShowsItsStateWithoutBroadcastingIt) {
  GH_PictureButton* button = Make(1);
  button->SetOnPicture(106);
  button->SetOffPicture(107);
  MessageRecorder recorder;
  button->AddListener(&recorder);
  kxtest::ShowAndActivate(window);
  EXPECT_TRUE(button->IsToggle());
  EXPECT_EQ(kOrange, Drawn(button)) << "off";
  button->SetToggleState(1);
  EXPECT_EQ(1, button->GetToggleState());
  EXPECT_EQ(kCyan, Drawn(button)) << "on";
  EXPECT_EQ(kCyan, Shown(button)) << "and drawn at once";
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(PictureButtonFocusTest, HoverTakesTheCaptureAndLeavingGivesItBack) {
  GH_PictureButton* button = Make();
  button->SetPushedPicture(102);
  kxtest::ShowAndActivate(window);
  const POINT beside = Beside(button);
  const POINT middle = Middle(button);
  kxtest::MouseTo(beside.x, beside.y);
  ASSERT_NE(button->GetHWND(), GetCapture());

  kxtest::MouseTo(middle.x, middle.y);
  EXPECT_EQ(button->GetHWND(), GetCapture()) << "the pointer is inside";
  EXPECT_EQ(kGreen, Shown(button)) << "the hover look is the pushed picture";
  EXPECT_FALSE(button->IsHovering()) << "cleared once drawn";

  kxtest::MouseTo(beside.x, beside.y);
  EXPECT_EQ(nullptr, GetCapture()) << "the pointer left";
  EXPECT_EQ(kRed, Shown(button)) << "the resting look again";
}

TEST_F(PictureButtonFocusTest, ClickInsideBroadcastsOnceAndAReleaseAfterLeavingNothing) {
  GH_PictureButton* button = Make();
  button->SetIdentifier(CP_FourCC("PLAY"));
  MessageRecorder recorder;
  button->AddListener(&recorder);
  kxtest::ShowAndActivate(window);
  const POINT beside = Beside(button);
  const POINT middle = Middle(button);

  kxtest::MouseTo(middle.x, middle.y);
  kxtest::MouseButton(true);
  EXPECT_EQ(1, button->IsPushed());
  kxtest::MouseButton(false);
  ASSERT_EQ(1u, recorder.messages.size());
  const CP_Message& message = recorder.messages[0];
  EXPECT_EQ(int32_t(CP_FourCC("EVme")), message.value);
  EXPECT_EQ(0, message.code);
  EXPECT_EQ(0u, message.data);
  EXPECT_EQ(static_cast<CP_Control*>(button), message.sender);
  EXPECT_EQ(int32_t(CP_FourCC("EVme")), button->GetBroadcastCode());
  EXPECT_EQ(0, button->IsPushed());
  EXPECT_FALSE(CP_Control::IsTracking());

  kxtest::MouseButton(true);
  kxtest::MouseTo(beside.x, beside.y);
  EXPECT_EQ(0, button->IsPushed()) << "leaving lets the press go";
  kxtest::MouseButton(false);
  EXPECT_EQ(1u, recorder.messages.size());
}

// A release the button takes flips a toggle button even with the pointer
// outside; only the broadcast needs the pointer inside.
TEST_F(PictureButtonFocusTest, ToggleFlipsOnEveryReleaseItTakes) {
  GH_PictureButton* button = Make(1);
  button->SetOnPicture(106);
  button->SetOffPicture(107);
  MessageRecorder recorder;
  button->AddListener(&recorder);
  kxtest::ShowAndActivate(window);
  const POINT middle = Middle(button);
  const POINT beside = Beside(button);

  kxtest::MouseTo(middle.x, middle.y);
  kxtest::MouseButton(true);
  kxtest::MouseButton(false);
  EXPECT_EQ(1, button->GetToggleState());
  EXPECT_EQ(1u, recorder.messages.size());
  kxtest::Settle();
  InvalidateRect(button->GetHWND(), nullptr, TRUE);
  UpdateWindow(button->GetHWND());
  EXPECT_EQ(kCyan, Shown(button)) << "resting on";

  kxtest::MouseTo(beside.x, beside.y);
  HWND h = button->GetHWND();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 20));
  SendMessageA(h, WM_LBUTTONUP, 0, At(30, 20));
  EXPECT_EQ(0, button->GetToggleState()) << "flipped back";
  EXPECT_EQ(1u, recorder.messages.size()) << "but not announced";
}

}  // namespace
