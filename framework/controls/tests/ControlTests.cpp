// The control base: value and bounds, the value message, mouse tracking.
#include "ControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

using kxtest::At;
using kxtest::MessageRecorder;
using kxtest::PaneAt;
using kxtest::ProbeControl;

using ControlTest = kxtest::SceneTest;

TEST_F(ControlTest, SetValueClampsMaximumFirstAndBroadcastsOnlyAChange) {
  struct Case {
    const char* name;
    int16_t minimum, maximum, start, set;
    bool broadcast;
    int16_t want;
    size_t messages;
  };
  const Case kCases[] = {
      {"above the maximum", 0, 10, 5, 20, true, 10, 1},
      {"below the minimum", 0, 10, 5, -3, true, 0, 1},
      {"inside the bounds", 0, 10, 5, 7, true, 7, 1},
      {"the value it has", 0, 10, 5, 5, true, 5, 0},
      {"clamped to the value it has", 0, 10, 10, 30, true, 10, 0},
      {"without broadcast", 0, 10, 5, 7, false, 7, 0},
      {"minimum above maximum, above both", 10, 5, 0, 12, true, 5, 1},
      {"minimum above maximum, between them", 10, 5, 0, 8, true, 5, 1},
      {"minimum above maximum, below both", 10, 5, 0, 3, true, 10, 1},
  };
  for (const Case& c : kCases) {
    ProbeControl control(window, PaneAt(0, 0, 40, 20), c.start, c.minimum, c.maximum);
    control.SetBroadcastCode(77);
    MessageRecorder recorder;
    control.AddListener(&recorder);
    control.SetValue(c.set, c.broadcast);
    EXPECT_EQ(c.want, control.GetValue()) << c.name;
    ASSERT_EQ(c.messages, recorder.messages.size()) << c.name;
    control.SetValue(c.set, c.broadcast);
    EXPECT_EQ(c.messages, recorder.messages.size()) << c.name << ": the same call again says nothing";
    if (c.messages == 0) continue;
    const CP_Message& m = recorder.messages.front();
    EXPECT_EQ(static_cast<CP_Control*>(&control), m.sender) << c.name;
    EXPECT_EQ(0, m.code) << c.name;
    EXPECT_EQ(77, m.value) << c.name;
    EXPECT_EQ(0u, m.data) << c.name;
  }
}

TEST_F(ControlTest, BoundsAreNotEnforcedUntilSetValue) {
  ProbeControl control(window, PaneAt(0, 0, 40, 20), 50, 0, 10);
  EXPECT_EQ(50, control.GetValue()) << "made outside its bounds";
  control.SetMaxValue(20);
  control.SetMinValue(15);
  EXPECT_EQ(50, control.GetValue()) << "new bounds do not move the value";
  EXPECT_EQ(15, control.GetMinValue());
  EXPECT_EQ(20, control.GetMaxValue());
  EXPECT_EQ("", control.GetText());
  EXPECT_FALSE(control.HasText());
  control.SetText("Volume");
  EXPECT_TRUE(control.HasText());
}

// Mouse messages through the control's real window.
class ControlMouseTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    control = new ProbeControl(window, PaneAt(10, 10, 60, 30), 0, 0, 1);
    other = new ProbeControl(window, PaneAt(100, 10, 60, 30), 0, 0, 1);
    window->Show();
    ASSERT_TRUE(control->IsEnabled() && control->IsActive() && control->IsVisible());
  }
  void TearDown() override {
    ReleaseCapture();
    ControlTest::TearDown();
  }
  static void Send(CP_Pane* pane, UINT message, int x, int y) {
    SendMessageA(pane->GetHWND(), message, 0, At(x, y));
  }

  ProbeControl* control = nullptr;
  ProbeControl* other = nullptr;
};

TEST_F(ControlMouseTest, PressTracksWithTheCaptureAndReleaseGivesItBack) {
  Send(control, WM_LBUTTONDOWN, 5, 6);
  EXPECT_EQ(control->GetHWND(), GetCapture());
  EXPECT_TRUE(CP_Control::IsTracking());
  Send(control, WM_MOUSEMOVE, 7, 8);
  Send(control, WM_LBUTTONUP, 9, 10);
  ASSERT_EQ(2u, control->spots.size()) << "the press and the move";
  EXPECT_EQ(CP_Point(int16_t(5), int16_t(6)), control->spots[0]);
  EXPECT_EQ(CP_Point(int16_t(7), int16_t(8)), control->spots[1]);
  ASSERT_EQ(1u, control->releases.size());
  EXPECT_EQ(CP_Point(int16_t(9), int16_t(10)), control->releases[0]);
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_FALSE(CP_Control::IsTracking());
}

TEST_F(ControlMouseTest, ReleaseWithoutPressStillGivesTheCaptureBack) {
  SetCapture(other->GetHWND());
  ASSERT_EQ(other->GetHWND(), GetCapture());
  Send(control, WM_LBUTTONUP, 3, 4);
  EXPECT_EQ(1u, control->releases.size());
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_TRUE(other->spots.empty());
}

TEST_F(ControlMouseTest, ControlThatCannotBeUsedIgnoresPressAndReleaseButFollowsMoves) {
  struct Case {
    const char* name;
    void (CP_Pane::*turnOff)();
  };
  const Case kCases[] = {
      {"disabled", &CP_Pane::Disable},
      {"inactive", &CP_Pane::Deactivate},
      {"hidden", &CP_Pane::Hide},
  };
  for (const Case& c : kCases) {
    auto* idle = new ProbeControl(window, PaneAt(10, 60, 60, 30), 0, 0, 1);
    idle->Show();
    idle->Activate();
    (idle->*c.turnOff)();
    Send(idle, WM_LBUTTONDOWN, 1, 1);
    EXPECT_TRUE(idle->spots.empty()) << c.name;
    EXPECT_EQ(nullptr, GetCapture()) << c.name;

    Send(control, WM_LBUTTONDOWN, 1, 1);  // the shared flag goes on
    Send(idle, WM_MOUSEMOVE, 2, 2);
    EXPECT_EQ(1u, idle->spots.size()) << c.name << ": moves follow the shared flag";
    Send(idle, WM_LBUTTONUP, 3, 3);
    EXPECT_TRUE(idle->releases.empty()) << c.name;
    EXPECT_TRUE(CP_Control::IsTracking()) << c.name;
    EXPECT_EQ(control->GetHWND(), GetCapture()) << c.name;
    Send(control, WM_LBUTTONUP, 1, 1);
    window->DetachSubPane(idle, false, true);
  }
}

TEST_F(ControlMouseTest, OwnClickCountsOnTheWholeFrameAtOnce) {
  CP_Event event;
  Send(other, WM_LBUTTONDOWN, 1, 1);  // the shared flag goes on
  control->HandleMouseDown(event, CP_Point(int16_t(20), int16_t(20)));
  EXPECT_EQ(std::vector<int16_t>{CP_Control::kWholeFrame}, control->clicks);
  EXPECT_FALSE(CP_Control::IsTracking()) << "a click clears the shared flag";

  control->HandleMouseDown(event, CP_Point(int16_t(90), int16_t(20)));
  EXPECT_EQ(1u, control->clicks.size()) << "outside the frame";

  control->Disable();
  control->HandleMouseDown(event, CP_Point(int16_t(20), int16_t(20)));
  EXPECT_EQ(1u, control->clicks.size()) << "disabled";
  ReleaseCapture();
}

}  // namespace
