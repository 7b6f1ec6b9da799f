#include "CP_Commander.h"
#include "CP_Event.h"
#include "CP_HandleBlock.h"
#include "CP_HandleBlockStream.h"
#include "CP_Pane.h"
#include "MemoryOutStream.h"
#include "PaneTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace {

using kxtest::PaneAt;
using kxtest::ProbePane;
using kxtest::ProbeView;
using kxtest::SceneTest;

using PaneTest = SceneTest;

// ---------------------------------------------------------------------------
// The three-state switches

enum class Op {
  Activate, Deactivate, ParentActivated, ParentDeactivated,
  Show, Hide, ParentShown, ParentHidden,
  Enable, Disable, ParentEnabled, ParentDisabled,
};
enum class Switch { Visible, Active, Enabled };

struct SwitchCase {
  const char* name;
  Op op;
  Switch which;
  uint8_t start;
  bool superShown;
  uint8_t want;
  const char* ownCalls;  // the native operations that ran
};

void Apply(CP_Pane& pane, Op op) {
  switch (op) {
    case Op::Activate: pane.Activate(); break;
    case Op::Deactivate: pane.Deactivate(); break;
    case Op::ParentActivated: pane.ParentActivated(); break;
    case Op::ParentDeactivated: pane.ParentDeactivated(); break;
    case Op::Show: pane.Show(); break;
    case Op::Hide: pane.Hide(); break;
    case Op::ParentShown: pane.ParentShown(); break;
    case Op::ParentHidden: pane.ParentHidden(); break;
    case Op::Enable: pane.Enable(); break;
    case Op::Disable: pane.Disable(); break;
    case Op::ParentEnabled: pane.ParentEnabled(); break;
    case Op::ParentDisabled: pane.ParentDisabled(); break;
  }
}

uint8_t StateOf(const CP_Pane& pane, Switch which) {
  switch (which) {
    case Switch::Visible: return pane.GetVisibleState();
    case Switch::Active: return pane.GetActiveState();
    case Switch::Enabled: return pane.GetEnabledState();
  }
  return 99;
}

TEST_F(PaneTest, ThreeStateSwitchesFollowTheSuperPanesVisibility) {
  const SwitchCase cases[] = {
      {"activate, super shown", Op::Activate, Switch::Active, 0, true, 1, "ActivateOwn"},
      {"activate latent, super shown", Op::Activate, Switch::Active, 2, true, 1, "ActivateOwn"},
      {"activate, super hidden", Op::Activate, Switch::Active, 0, false, 2, ""},
      {"activate when on", Op::Activate, Switch::Active, 1, true, 1, ""},
      {"deactivate when on", Op::Deactivate, Switch::Active, 1, true, 0, "DeactivateOwn"},
      {"deactivate latent", Op::Deactivate, Switch::Active, 2, false, 0, "DeactivateOwn"},
      {"deactivate when off", Op::Deactivate, Switch::Active, 0, true, 0, ""},
      {"parent activated, latent", Op::ParentActivated, Switch::Active, 2, true, 1, "ActivateOwn"},
      {"parent activated, off", Op::ParentActivated, Switch::Active, 0, true, 0, ""},
      {"parent deactivated, on", Op::ParentDeactivated, Switch::Active, 1, true, 2, "DeactivateOwn"},
      {"parent deactivated, latent", Op::ParentDeactivated, Switch::Active, 2, true, 2, ""},

      {"show, super shown", Op::Show, Switch::Visible, 0, true, 1, "ShowOwnWindow"},
      {"show, super hidden", Op::Show, Switch::Visible, 0, false, 2, ""},
      {"show when shown", Op::Show, Switch::Visible, 1, true, 1, ""},
      {"hide when shown", Op::Hide, Switch::Visible, 1, true, 0, "HideOwnWindow"},
      {"hide when hidden", Op::Hide, Switch::Visible, 0, true, 0, ""},
      {"parent shown, latent", Op::ParentShown, Switch::Visible, 2, true, 1, "ShowOwnWindow"},
      {"parent shown, off", Op::ParentShown, Switch::Visible, 0, true, 0, ""},
      {"parent hidden, on", Op::ParentHidden, Switch::Visible, 1, true, 2, "HideOwnWindow"},
      {"parent hidden, latent", Op::ParentHidden, Switch::Visible, 2, false, 2, ""},

      {"enable, super shown", Op::Enable, Switch::Enabled, 0, true, 1, "EnableOwn"},
      {"enable, super hidden", Op::Enable, Switch::Enabled, 0, false, 2, ""},
      {"enable when on", Op::Enable, Switch::Enabled, 1, true, 1, ""},
      {"disable when on", Op::Disable, Switch::Enabled, 1, true, 0, "DisableOwn"},
      {"disable when off", Op::Disable, Switch::Enabled, 0, true, 0, ""},
      {"parent enabled, latent", Op::ParentEnabled, Switch::Enabled, 2, true, 1, "EnableOwn"},
      {"parent enabled, off", Op::ParentEnabled, Switch::Enabled, 0, true, 0, ""},
      {"parent disabled, on", Op::ParentDisabled, Switch::Enabled, 1, true, 2, "DisableOwn"},
      {"parent disabled, latent", Op::ParentDisabled, Switch::Enabled, 2, true, 2, ""},
  };
  window->Show();
  ASSERT_TRUE(window->IsVisible());
  for (const SwitchCase& c : cases) {
    if (c.superShown != window->IsVisible()) {
      if (c.superShown)
        window->Show();
      else
        window->Hide();
    }
    auto* pane = AddPane(window, PaneAt(10, 10, 40, 40));
    pane->SetStates(c.which == Switch::Visible ? c.start : 1, c.which == Switch::Active ? c.start : 1,
                    c.which == Switch::Enabled ? c.start : 1);
    pane->calls.clear();
    Apply(*pane, c.op);
    EXPECT_EQ(c.want, StateOf(*pane, c.which)) << c.name;
    EXPECT_EQ(c.ownCalls, pane->Calls()) << c.name;
    window->DetachSubPane(pane, false, true);
  }
}

TEST_F(PaneTest, WithoutASuperPaneEnableTurnsOnButActivateAndShowWait) {
  ProbePane pane(nullptr, PaneAt(0, 0, 10, 10));
  pane.SetStates(0, 0, 0);
  pane.Enable();
  pane.Activate();
  pane.Show();
  EXPECT_EQ(CP_Pane::kOn, pane.GetEnabledState());
  EXPECT_EQ(CP_Pane::kLatent, pane.GetActiveState());
  EXPECT_EQ(CP_Pane::kLatent, pane.GetVisibleState());
  EXPECT_EQ("EnableOwn", pane.Calls());
  EXPECT_FALSE(pane.IsVisible()) << "no window";
}

TEST_F(PaneTest, LatentPaneShowsWhenItsWindowShows) {
  auto* pane = AddPane(window, PaneAt(10, 10, 40, 40));
  EXPECT_EQ(CP_Pane::kLatent, pane->GetVisibleState()) << "made visible in a hidden window";
  pane->Show();
  EXPECT_EQ(CP_Pane::kLatent, pane->GetVisibleState());
  EXPECT_FALSE(IsWindowVisible(pane->GetHWND()));
  window->Show();
  EXPECT_EQ(CP_Pane::kOn, pane->GetVisibleState());
  EXPECT_TRUE(pane->IsVisible());
  window->Hide();
  EXPECT_EQ(CP_Pane::kLatent, pane->GetVisibleState());
  EXPECT_FALSE(pane->IsVisible());
}

TEST_F(PaneTest, ViewDisablesItsSubPanesForGoodButHidesThemOnlyForAWhile) {
  window->Show();
  auto* view = AddPane<ProbeView>(window, PaneAt(0, 0, 200, 150));
  view->Show();
  auto* inner = AddPane(view, PaneAt(5, 5, 20, 20));
  inner->Show();
  ASSERT_TRUE(inner->IsVisible());

  view->Disable();
  view->Enable();
  EXPECT_EQ(CP_Pane::kOff, inner->GetEnabledState()) << "the sub-pane's own Disable ran";
  EXPECT_FALSE(IsWindowEnabled(inner->GetHWND()));

  view->Hide();
  EXPECT_EQ(CP_Pane::kLatent, inner->GetVisibleState());
  view->Show();
  EXPECT_EQ(CP_Pane::kOn, inner->GetVisibleState());
  EXPECT_TRUE(inner->IsVisible());

  view->SetStates(1, 0, 1);
  inner->calls.clear();
  view->calls.clear();
  view->Deactivate();
  EXPECT_EQ("", inner->Calls()) << "a view already inactive does nothing at all";
  EXPECT_EQ("", view->Calls());
}

// ---------------------------------------------------------------------------
// Edge bindings

struct BindingCase {
  const char* name;
  CP_Bindings bindings;
  CP_Rect want;  // frame after the super-pane grew by (40, 30)
};

TEST_F(PaneTest, EdgeBindingsMoveOrStretchWithTheSuperPane) {
  const BindingCase cases[] = {
      {"none", {0, 0, 0, 0}, CP_Rect(100, 50, 150, 90)},
      {"left only", {1, 0, 0, 0}, CP_Rect(100, 50, 150, 90)},
      {"right only moves", {0, 0, 1, 0}, CP_Rect(140, 50, 190, 90)},
      {"left and right grow", {1, 0, 1, 0}, CP_Rect(100, 50, 190, 90)},
      {"bottom only moves", {0, 0, 0, 1}, CP_Rect(100, 80, 150, 120)},
      {"top and bottom grow", {0, 1, 0, 1}, CP_Rect(100, 50, 150, 120)},
      {"all four grow", {1, 1, 1, 1}, CP_Rect(100, 50, 190, 120)},
      {"right and bottom move", {0, 0, 1, 1}, CP_Rect(140, 80, 190, 120)},
  };
  window->Show();
  // A view away from its window's origin: a bound pane's location stays in
  // the view's own client coordinates.
  auto* view = AddPane<ProbeView>(window, PaneAt(20, 30, 250, 150));
  view->Show();
  for (const BindingCase& c : cases) {
    view->ResizeTo(CP_Size(250, 150));
    auto* pane = AddPane(view, PaneAt(100, 50, 50, 40, c.bindings));
    pane->Show();
    view->ResizeTo(CP_Size(290, 180));
    EXPECT_EQ(c.want, pane->GetFrameRect()) << c.name;
    const RECT native = kxtest::PlaceInParent(pane->GetHWND());
    EXPECT_EQ(c.want, CP_Rect(native)) << c.name << ": the native window";
    view->DetachSubPane(pane, false, true);
  }
}

TEST_F(PaneTest, ShrinkingNeverLeavesLessThanOnePixel) {
  window->Show();
  auto* pane = AddPane(window, PaneAt(10, 10, 50, 40, {1, 1, 1, 1}));
  window->SetContentSize(CP_Size(100, 100), true);  // by (-200, -100)
  EXPECT_EQ(CP_Size(1, 1), CP_Size(pane->GetWidth(), pane->GetHeight()));
}

TEST_F(PaneTest, RightBoundPaneInAMovedWindowLandsByTheGrowthAlone) {
  window->Show();
  auto* pane = AddPane(window, PaneAt(200, 20, 50, 40, {0, 0, 1, 0}));
  pane->Show();
  window->SetContentSize(CP_Size(340, 200), true);
  EXPECT_EQ(CP_Point(int16_t(240), int16_t(20)), pane->GetLocation());
  EXPECT_EQ(CP_Rect(240, 20, 290, 60), CP_Rect(kxtest::PlaceInParent(pane->GetHWND())));
}

TEST_F(PaneTest, MoveToTheSameLocationChangesNothing) {
  auto* pane = AddPane(window, PaneAt(10, 20, 30, 30));
  const CP_Point origin = pane->GetOriginOffset();
  SetWindowPos(pane->GetHWND(), nullptr, 55, 66, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // behind its back
  pane->MoveTo(CP_Point(int16_t(10), int16_t(20)), 1);
  EXPECT_EQ(origin, pane->GetOriginOffset());
  EXPECT_EQ(55, kxtest::PlaceInParent(pane->GetHWND()).left) << "the window was not moved";
  pane->MoveTo(CP_Point(int16_t(12), int16_t(24)), 1);
  EXPECT_EQ(CP_Point(int16_t(-12), int16_t(-24)), pane->GetOriginOffset());
  EXPECT_EQ(12, kxtest::PlaceInParent(pane->GetHWND()).left);
}

// ---------------------------------------------------------------------------
// Finding sub-panes

TEST_F(PaneTest, FindSubPaneAtTakesTheLastAddedVisiblePane) {
  window->Show();
  auto* view = AddPane<ProbeView>(window, PaneAt(0, 0, 250, 150));
  view->Show();
  auto* first = AddPane(view, PaneAt(10, 10, 50, 50));
  auto* second = AddPane(view, PaneAt(30, 30, 50, 50));
  auto* inner = AddPane<ProbeView>(view, PaneAt(150, 10, 80, 80));
  first->Show();
  second->Show();
  inner->Show();
  auto* deep = AddPane(inner, PaneAt(160, 20, 10, 10));  // the point is passed down unchanged
  deep->Show();

  EXPECT_EQ(second, view->FindSubPaneAt(CP_Point(int16_t(40), int16_t(40)), false));
  EXPECT_EQ(first, view->FindSubPaneAt(CP_Point(int16_t(60), int16_t(20)), false)) << "right edge counts";
  EXPECT_EQ(first, view->FindSubPaneAt(CP_Point(int16_t(20), int16_t(60)), false)) << "bottom edge counts";
  EXPECT_EQ(nullptr, view->FindSubPaneAt(CP_Point(int16_t(100), int16_t(140)), false));
  EXPECT_EQ(inner, view->FindSubPaneAt(CP_Point(int16_t(165), int16_t(25)), false));
  EXPECT_EQ(deep, view->FindSubPaneAt(CP_Point(int16_t(165), int16_t(25)), true));
  second->Hide();
  EXPECT_EQ(first, view->FindSubPaneAt(CP_Point(int16_t(40), int16_t(40)), false)) << "hidden skipped";
}

TEST_F(PaneTest, FindSubPaneByIdTakesTheLastAddedAlsoWhenHidden) {
  auto* view = AddPane<ProbeView>(window, PaneAt(0, 0, 250, 150));
  CP_PaneInfo info = PaneAt(0, 0, 10, 10);
  info.identifier = CP_FourCC("MAIN");
  auto* first = AddPane(view, info);
  auto* second = AddPane(view, info);
  auto* inner = AddPane<ProbeView>(view, PaneAt(0, 0, 50, 50));
  info.identifier = CP_FourCC("EMFL");
  auto* deep = AddPane(inner, info);
  second->Hide();

  EXPECT_EQ(second, view->FindSubPaneById(CP_FourCC("MAIN"), false));
  EXPECT_EQ(nullptr, view->FindSubPaneById(CP_FourCC("EMFL"), false));
  EXPECT_EQ(deep, view->FindSubPaneById(CP_FourCC("EMFL"), true));
  second->SetIdentifier(7);
  EXPECT_EQ(first, view->FindSubPaneById(CP_FourCC("MAIN"), false));
}

TEST_F(PaneTest, AddingTwiceKeepsOneEntryAndDeletingAPaneTakesItOut) {
  auto* view = AddPane<ProbeView>(window, PaneAt(0, 0, 250, 150));
  auto* pane = AddPane(view, PaneAt(0, 0, 10, 10));
  view->AddSubPane(pane);
  EXPECT_EQ(1u, view->GetSubPanes().size());
  HWND native = pane->GetHWND();
  delete pane;
  EXPECT_TRUE(view->GetSubPanes().empty()) << "no dangling entry";
  DestroyWindow(native);
}

// ---------------------------------------------------------------------------
// Keys

// Records the keys routed to it; consumes them when told to.
class KeyTarget : public CP_M_Commander {
 public:
  explicit KeyTarget(CP_M_Commander* parent) : CP_M_Commander(parent) {}
  bool RouteKey(int16_t key, CP_Event& event) override {
    keys.push_back(key);
    lastEvent = event;
    return consume;
  }
  std::vector<int16_t> keys;
  CP_Event lastEvent;
  bool consume = true;
};

struct KeyCase {
  const char* name;
  UINT message;
  WPARAM key;
  bool consume;
  int routed;     // the key the target saw; -1 none
  int native;     // the key the native procedure saw; -1 none
  LRESULT answer;
};

TEST_F(PaneTest, KeysAreTranslatedAndOfferedToTheTargetFirst) {
  const KeyCase cases[] = {
      {"letter A", WM_KEYDOWN, 'A', true, -1, 'A', 0},
      {"digit", WM_KEYDOWN, '5', true, -1, '5', 0},
      {"numeric pad digit", WM_KEYDOWN, VK_NUMPAD3, true, -1, VK_NUMPAD3, 0},
      {"space", WM_KEYDOWN, VK_SPACE, true, -1, VK_SPACE, 0},
      {"return", WM_KEYDOWN, VK_RETURN, true, -1, VK_RETURN, 0},
      {"escape", WM_KEYDOWN, VK_ESCAPE, true, -1, VK_ESCAPE, 0},
      {"tab", WM_KEYDOWN, VK_TAB, true, -1, VK_TAB, 0},
      {"backspace", WM_KEYDOWN, VK_BACK, true, -1, VK_BACK, 0},
      {"F1", WM_KEYDOWN, VK_F1, true, 0xCC, -1, 1},
      {"F15", WM_KEYDOWN, VK_F15, true, 0xDA, -1, 1},
      {"left arrow", WM_KEYDOWN, VK_LEFT, true, 0xC1, -1, 1},
      {"down arrow", WM_KEYDOWN, VK_DOWN, true, 0xC4, -1, 1},
      {"print screen", WM_KEYDOWN, VK_SNAPSHOT, true, 0xC9, -1, 1},
      {"end", WM_KEYDOWN, VK_END, true, 0xC6, -1, 1},
      {"delete", WM_KEYDOWN, VK_DELETE, true, 0xCB, -1, 1},
      {"shift keeps its code", WM_KEYDOWN, VK_SHIFT, true, VK_SHIFT, -1, 1},
      {"declined F1 reaches the native procedure translated", WM_KEYDOWN, VK_F1, false, 0xCC, 0xCC, 0},
      {"character", WM_CHAR, 'a', true, 'a', -1, 1},
      {"declined character", WM_CHAR, 'a', false, 'a', 'a', 0},
  };
  KeyTarget target(app);
  CP_M_Commander::ChangeTarget(&target);
  auto* pane = AddPane(window, PaneAt(0, 0, 50, 50), /*recorder=*/true);
  for (const KeyCase& c : cases) {
    target.keys.clear();
    target.consume = c.consume;
    kxtest::RecordedMessages().clear();
    const LRESULT answer = SendMessageA(pane->GetHWND(), c.message, c.key, 0x00390001);
    EXPECT_EQ(c.answer, answer) << c.name;
    if (c.routed < 0) {
      EXPECT_TRUE(target.keys.empty()) << c.name;
    } else {
      ASSERT_EQ(1u, target.keys.size()) << c.name;
      EXPECT_EQ(c.routed, target.keys[0]) << c.name;
      EXPECT_EQ(uint32_t(WM_CHAR), target.lastEvent.message) << c.name << ": keys travel as WM_CHAR";
      EXPECT_EQ(uint32_t(c.routed), target.lastEvent.wParam) << c.name;
    }
    const auto& native = kxtest::RecordedMessages();
    if (c.native < 0) {
      EXPECT_TRUE(native.empty()) << c.name;
    } else {
      ASSERT_EQ(1u, native.size()) << c.name;
      EXPECT_EQ(c.message, native[0].first) << c.name << ": the message as received";
      EXPECT_EQ(WPARAM(c.native), native[0].second) << c.name;
    }
  }
}

// ---------------------------------------------------------------------------
// Mouse and other messages

class CountingHandler : public CP_EventHandlerAttachment {
 public:
  CountingHandler(int* seen, bool pass) : CP_EventHandlerAttachment(kEventKind_MouseDown), fSeen(seen), fPass(pass) {}
  bool HandleEvent(uint32_t, uintptr_t data) override {
    ++*fSeen;
    auto* event = reinterpret_cast<CP_Event*>(data);
    lastMessage = event->message;
    return fPass;
  }
  uint32_t lastMessage = 0;

 private:
  int* fSeen;
  bool fPass;
};

// A pane that is also a commander.
class CommanderPane : public kxtest::ProbePane, public CP_M_Commander {
 public:
  CommanderPane(CP_View* super, const CP_PaneInfo& info) : ProbePane(super, info), CP_M_Commander(nullptr) {}
};

TEST_F(PaneTest, LeftButtonDownGoesToTheHandlersThenTheClickAndNeverToTheNativeProcedure) {
  auto* pane = AddPane<CommanderPane>(window, PaneAt(0, 0, 80, 60), true);
  int seen = 0;
  auto* handler = new CountingHandler(&seen, true);
  pane->AttachEventHandler(handler);
  kxtest::RecordedMessages().clear();

  EXPECT_EQ(0, SendMessageA(pane->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34)));
  EXPECT_EQ(1, seen);
  EXPECT_EQ(uint32_t(WM_LBUTTONDOWN), handler->lastMessage);
  EXPECT_EQ("HandleOwnClick", pane->Calls());
  EXPECT_EQ(CP_Point(int16_t(12), int16_t(34)), pane->lastClick);
  EXPECT_EQ(CP_Point(int16_t(12), int16_t(34)), pane->GetLastClickPoint());
  EXPECT_EQ(pane, CP_Pane::GetClickedPane());
  EXPECT_EQ(static_cast<CP_M_Commander*>(pane), CP_M_Commander::GetTarget()) << "a commander pane takes the target";
  EXPECT_TRUE(kxtest::RecordedMessages().empty());

  EXPECT_EQ(0, SendMessageA(pane->GetHWND(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 2)));
  EXPECT_TRUE(kxtest::RecordedMessages().empty());
  SendMessageA(pane->GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(12, 34));
  ASSERT_EQ(1u, kxtest::RecordedMessages().size()) << "the button's release reaches the native procedure";
  EXPECT_EQ(UINT(WM_LBUTTONUP), kxtest::RecordedMessages()[0].first);
  EXPECT_EQ("HandleOwnClick HandleDoubleClick HandleOwnMouseUp", pane->Calls());

  // A handler that consumes the press keeps it from the pane's own click.
  pane->calls.clear();
  pane->AttachEventHandler(new CountingHandler(&seen, false));
  SendMessageA(pane->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  EXPECT_EQ("", pane->Calls());
  EXPECT_EQ(3, seen) << "every handler is offered the press";
  window->DetachSubPane(pane, false, true);
}

TEST_F(PaneTest, ClickThatClosesThePaneIsSafe) {
  auto* pane = AddPane(window, PaneAt(0, 0, 80, 60));
  pane->onClick = [&](CP_Event&) { window->DetachSubPane(pane, false, true); };
  HWND native = pane->GetHWND();
  EXPECT_EQ(0, SendMessageA(native, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)));
  EXPECT_FALSE(IsWindow(native));
  EXPECT_EQ(nullptr, CP_Pane::GetClickedPane());
}

TEST_F(PaneTest, BaseHandlersAnswerMinusOneAndHelpIsNotHandled) {
  auto* pane = AddPane(window, PaneAt(0, 0, 80, 60), true);
  auto* other = AddPane(window, PaneAt(0, 0, 10, 10));
  NMHDR header = {other->GetHWND(), 1, 0};
  EXPECT_EQ(-1, SendMessageA(pane->GetHWND(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)));
  NMHDR none = {nullptr, 1, 0};
  EXPECT_EQ(CP_Pane::kNotHandled, pane->HandleMessage(pane->GetHWND(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&none)));
  EXPECT_EQ(-1, SendMessageA(pane->GetHWND(), WM_HSCROLL, 0, reinterpret_cast<LPARAM>(other->GetHWND())));
  EXPECT_EQ(-1, SendMessageA(pane->GetHWND(), WM_VSCROLL, 0, reinterpret_cast<LPARAM>(other->GetHWND())));
  DRAWITEMSTRUCT item = {};
  item.hwndItem = other->GetHWND();
  EXPECT_EQ(-1, SendMessageA(pane->GetHWND(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)));
  HELPINFO help = {};
  help.cbSize = sizeof help;
  EXPECT_EQ(CP_Pane::kNotHandled, pane->HandleMessage(pane->GetHWND(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help)));
  EXPECT_EQ("", pane->GetTooltipText(CP_Point()));
}

TEST_F(PaneTest, ControlNotificationWithCodeZeroGoesToTheNativeProcedureThenTheControlsPane) {
  auto* pane = AddPane(window, PaneAt(0, 0, 80, 60), true);
  auto* control = AddPane(pane->GetSuperPane(), PaneAt(0, 0, 10, 10));
  kxtest::RecordedMessages().clear();
  SendMessageA(pane->GetHWND(), WM_COMMAND, MAKEWPARAM(5, 0), reinterpret_cast<LPARAM>(control->GetHWND()));
  ASSERT_EQ(1u, kxtest::RecordedMessages().size());
  EXPECT_EQ(UINT(WM_COMMAND), kxtest::RecordedMessages()[0].first);
  EXPECT_EQ("ControlHook1:0", control->Calls());
  EXPECT_EQ(CP_Pane::kNotHandled,
            pane->HandleMessage(pane->GetHWND(), WM_COMMAND, MAKEWPARAM(5, 3), reinterpret_cast<LPARAM>(control->GetHWND())))
      << "other notification codes";
}

TEST_F(PaneTest, PaneWindowsCountChildIdentifiersAcrossTheRun) {
  const int16_t before = CP_Pane::GetWindowCounter();
  auto* first = AddPane(window, PaneAt(0, 0, 10, 10));
  auto* second = AddPane(window, PaneAt(0, 0, 10, 10));
  EXPECT_EQ(before, GetDlgCtrlID(first->GetHWND()));
  EXPECT_EQ(before + 1, GetDlgCtrlID(second->GetHWND()));
  char name[32] = {};
  GetClassNameA(first->GetHWND(), name, sizeof name);
  EXPECT_STREQ("CP_Pane", name);
  EXPECT_EQ(first, CP_Pane::FromWindow(first->GetHWND()));
}

// ---------------------------------------------------------------------------
// Streams

// Bytes of a stream that begins with a header of `version`, then what
// `write` puts.
std::unique_ptr<CP_HandleBlockInStream> StreamOf(int32_t version,
                                                 const std::function<void(CP_OutStream&)>& write) {
  kxtest::MemoryOutStream out(version);
  out.WriteHeader(version, 0);
  write(out);
  auto* block = new CP_HandleBlock(int32_t(out.Bytes().size()));
  std::memcpy(block->GetPointer(), out.Bytes().data(), out.Bytes().size());
  block->Unlock();
  return std::make_unique<CP_HandleBlockInStream>(block, 1);
}

TEST_F(PaneTest, PaneRoundTripsAtEveryVersionWithTheFieldsOfThatVersion) {
  auto* view = AddPane<ProbeView>(window, PaneAt(30, 40, 200, 100));
  CP_PaneInfo info = PaneAt(7, 9, 55, 66, {1, 0, 1, 1});
  info.identifier = CP_FourCC("SPRT");
  ProbePane source(view, info);
  source.SetStates(1, 1, 0);
  source.SetBackgroundColor(CP_RGBColor(0x1111, 0x2222, 0x3333), 0);
  source.SetTooltipText("Play the film");

  for (int32_t version = 1; version <= 6; ++version) {
    auto in = StreamOf(version, [&](CP_OutStream& out) { source.WriteToStream(out); });
    ProbePane copy(nullptr, PaneAt(0, 0, 1, 1));
    copy.SetStates(0, 0, 0);
    copy.ReadFromStream(nullptr, *in);
    EXPECT_TRUE(in->IsAtEnd()) << version;
    EXPECT_EQ(source.GetLocation(), copy.GetLocation()) << version;
    EXPECT_EQ(55, copy.GetWidth()) << version;
    EXPECT_EQ(66, copy.GetHeight()) << version;
    EXPECT_EQ(CP_Pane::kLatent, copy.GetVisibleState()) << version << ": waits for its super-pane";
    EXPECT_EQ(CP_Pane::kLatent, copy.GetActiveState()) << version;
    EXPECT_EQ(CP_Pane::kOn, copy.GetEnabledState()) << version << ": the stored value is not used";
    EXPECT_EQ(1, copy.GetBindings().left);
    EXPECT_EQ(0, copy.GetBindings().top);
    EXPECT_EQ(1, copy.GetBindings().bottom);
    EXPECT_EQ(CP_FourCC("SPRT"), uint32_t(copy.GetIdentifier())) << version;
    EXPECT_EQ(version > 1, copy.HasOwnBackground()) << version;
    if (version > 1) {
      EXPECT_EQ(CP_RGBColor(0x1111, 0x2222, 0x3333), copy.GetBackgroundColor()) << version;
    }
    EXPECT_EQ(version > 3 ? "Play the film" : "", copy.GetTooltipText(CP_Point())) << version;
  }
}

TEST_F(PaneTest, PaneWithoutTooltipWritesAnEmptyText) {
  ProbePane source(nullptr, PaneAt(0, 0, 5, 5));
  kxtest::MemoryOutStream out(4);
  source.WriteToStream(out);
  const auto& bytes = out.Bytes();
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(0, bytes[bytes.size() - 2]);
  EXPECT_EQ(0, bytes[bytes.size() - 1]);
  kxtest::MemoryOutStream v1(1);
  source.WriteToStream(v1);
  // point, size, three states, bindings, identifier, two tags
  EXPECT_EQ(4u + 4 + 6 + 8 + 4 + 4, v1.Bytes().size());
}

TEST_F(PaneTest, ViewCarriesTheColourOnceInEveryVersion) {
  ProbeView source(nullptr, PaneAt(3, 4, 100, 80));
  source.SetBackgroundColor(CP_RGBColor(0xAAAA, 0xBBBB, 0xCCCC), 0);
  source.SetContentExtent(CP_Size(400, 300));
  source.SetScrollUnit(CP_Size(8, 16));
  for (int32_t version : {1, 2, 6}) {
    kxtest::MemoryOutStream out(version);
    source.WriteToStream(out);
    kxtest::MemoryOutStream pane(version);
    source.CP_Pane::WriteToStream(pane);
    const size_t colour = version == 1 ? 8 : 0;
    EXPECT_EQ(pane.Bytes().size() + colour + 16, out.Bytes().size()) << version;

    auto in = StreamOf(version, [&](CP_OutStream& o) { source.WriteToStream(o); });
    ProbeView copy(nullptr, PaneAt(0, 0, 1, 1));
    copy.ReadFromStream(nullptr, *in);
    EXPECT_TRUE(in->IsAtEnd()) << version;
    EXPECT_EQ(CP_RGBColor(0xAAAA, 0xBBBB, 0xCCCC), copy.GetBackgroundColor()) << version;
    EXPECT_EQ(CP_Size(400, 300), copy.GetContentExtent()) << version;
    EXPECT_EQ(CP_Size(8, 16), copy.GetScrollUnit()) << version;
    EXPECT_EQ(source.GetImagePosition(), copy.GetImagePosition()) << version;
  }
}

TEST_F(PaneTest, ClassNamesAreFixedTextsUntilSet) {
  ProbePane pane(nullptr, PaneAt(0, 0, 5, 5));
  ProbeView view(nullptr, PaneAt(0, 0, 5, 5));
  EXPECT_EQ("CP_Pane", pane.GetClassName());
  EXPECT_EQ("CP_View", view.GetClassName());
  EXPECT_EQ("CP_Window", window->GetClassName());
  pane.SetClassName("GH_Splitter");
  EXPECT_EQ("GH_Splitter", pane.GetClassName());
  pane.SetClassName("????");
  EXPECT_EQ("CP_Pane", pane.GetClassName());

  kxtest::MemoryOutStream out(6);
  view.WriteClassName(out);
  const auto& bytes = out.Bytes();
  ASSERT_GE(bytes.size(), 9u);
  EXPECT_EQ(7, bytes[0] | (bytes[1] << 8));
  EXPECT_EQ("CP_View", std::string(bytes.begin() + 2, bytes.begin() + 9));
  kxtest::MemoryOutStream fields(6);
  view.WriteToStream(fields);
  EXPECT_EQ(9 + fields.Bytes().size(), bytes.size());
}

}  // namespace
