#include "PaneTestSupport.h"

#include <gtest/gtest.h>

namespace {

using kxtest::PaneAt;
using kxtest::ProbePane;
using kxtest::ProbeView;
using kxtest::SceneTest;

using ViewTest = SceneTest;

// Counts the pixel scrolls it is asked for.
class ScrollView : public ProbeView {
 public:
  using ProbeView::ProbeView;
  void ScrollPixels(int16_t dh, int16_t dv) override {
    ++pixelScrolls;
    ProbeView::ScrollPixels(dh, dv);
  }
  int pixelScrolls = 0;
};

struct ScrollCase {
  const char* name;
  int16_t content;  // content width
  int16_t frame;    // frame width while scrolling to `start`
  int16_t start;
  int16_t resized;  // frame width before the step
  int16_t step;
  int16_t want;     // scroll h after the step
};

TEST_F(ViewTest, ScrollStepsAreClampedToTheContent) {
  const ScrollCase cases[] = {
      {"within the content", 300, 100, 150, 100, 30, 180},
      {"past the right end", 300, 100, 150, 100, 100, 200},
      {"past the left end", 300, 100, 200, 100, -500, 0},
      {"to the left from 0", 300, 100, 0, 100, -10, 0},
      {"content narrower than the frame", 100, 200, 0, 200, 10, 0},
      {"frame grown after a scroll", 300, 100, 100, 250, 10, 50},
      {"exactly to the end", 300, 100, 0, 100, 200, 200},
  };
  for (const ScrollCase& c : cases) {
    auto* view = AddPane<ScrollView>(window, PaneAt(0, 0, c.frame, 100));
    view->SetContentExtent(CP_Size(c.content, 100));
    view->ScrollContentTo(c.start, 0, false);
    ASSERT_EQ(c.start, view->GetScrollPosition().h) << c.name;
    view->ResizeTo(CP_Size(c.resized, 100));
    view->ScrollContentBy(c.step, 0, false);
    EXPECT_EQ(c.want, view->GetScrollPosition().h) << c.name;
    EXPECT_EQ(0, view->GetScrollPosition().v) << c.name;
    window->DetachSubPane(view, true, true);
  }
}

TEST_F(ViewTest, VerticalStepsClampTheSameWay) {
  auto* view = AddPane<ScrollView>(window, PaneAt(0, 0, 100, 50));
  view->SetContentExtent(CP_Size(100, 120));
  view->ScrollContentBy(0, 100, false);
  EXPECT_EQ(CP_Point(int16_t(0), int16_t(70)), view->GetScrollPosition());
  view->ScrollContentBy(25, -100, false);
  EXPECT_EQ(CP_Point(int16_t(0), int16_t(0)), view->GetScrollPosition());
}

TEST_F(ViewTest, ScrollingMovesUnboundSubPanesAndLeavesBoundOnes) {
  window->Show();
  auto* view = AddPane<ScrollView>(window, PaneAt(0, 0, 200, 150));
  view->Show();
  view->SetContentExtent(CP_Size(600, 600));
  auto* loose = AddPane(view, PaneAt(50, 60, 20, 20));
  auto* left = AddPane(view, PaneAt(50, 60, 20, 20, {1, 0, 0, 0}));
  auto* bottom = AddPane(view, PaneAt(50, 60, 20, 20, {0, 0, 0, 1}));

  view->ScrollContentBy(30, 40, true);
  EXPECT_EQ(CP_Point(int16_t(20), int16_t(20)), loose->GetLocation());
  EXPECT_EQ(CP_Point(int16_t(50), int16_t(20)), left->GetLocation()) << "bound across, moved down";
  EXPECT_EQ(CP_Point(int16_t(20), int16_t(60)), bottom->GetLocation()) << "bound down, moved across";
  EXPECT_EQ(CP_Point(int16_t(-30), int16_t(-40)), view->GetImagePosition());
  EXPECT_EQ(CP_Point(int16_t(30), int16_t(40)), view->GetOriginOffset());
  EXPECT_EQ(20, kxtest::PlaceInParent(loose->GetHWND()).left);

  // A step the clamp reduces to nothing tells nobody and moves nothing.
  view->ScrollContentTo(0, 0, true);
  const int pixelScrolls = view->pixelScrolls;
  view->ScrollContentBy(-5, -5, true);
  EXPECT_EQ(pixelScrolls, view->pixelScrolls);
  EXPECT_EQ(CP_Point(int16_t(50), int16_t(60)), loose->GetLocation());
}

TEST_F(ViewTest, StepsSmallerThanTheFrameMovePixelsLargerOnesRedrawAll) {
  window->Show();
  auto* view = AddPane<ScrollView>(window, PaneAt(0, 0, 100, 80));
  view->Show();
  view->SetContentExtent(CP_Size(1000, 1000));
  view->ScrollContentBy(99, 0, true);
  EXPECT_EQ(1, view->pixelScrolls);
  view->ScrollContentBy(100, 0, true);
  EXPECT_EQ(1, view->pixelScrolls) << "a step of exactly the frame width";
  view->ScrollContentBy(0, 80, true);
  EXPECT_EQ(1, view->pixelScrolls);
  view->ScrollContentBy(10, 10, false);
  EXPECT_EQ(1, view->pixelScrolls) << "no redraw asked";
}

TEST_F(ViewTest, ScrollToAnAbsolutePositionAfterTheViewMoved) {
  auto* view = AddPane<ScrollView>(window, PaneAt(10, 10, 100, 80));
  view->SetContentExtent(CP_Size(500, 500));
  view->ScrollContentTo(40, 20, false);
  view->MoveTo(CP_Point(int16_t(60), int16_t(70)), 1);
  view->ScrollContentTo(30, 50, false);
  EXPECT_EQ(CP_Point(int16_t(30), int16_t(50)), view->GetScrollPosition());
}

TEST_F(ViewTest, KeepContentInFramePullsTheContentBack) {
  struct Case {
    const char* name;
    int16_t frame;
    int16_t want;
  } const cases[] = {
      {"frame past the content's right edge", 250, 50},
      {"frame wider than the content", 400, 0},
      {"frame ending inside the content", 150, 100},
  };
  for (const Case& c : cases) {
    auto* view = AddPane<ScrollView>(window, PaneAt(0, 0, 100, 100));
    view->SetContentExtent(CP_Size(300, 100));
    view->ScrollContentTo(100, 0, false);
    view->ResizeTo(CP_Size(c.frame, 100));
    view->KeepContentInFrame(false);
    EXPECT_EQ(c.want, view->GetScrollPosition().h) << c.name;
    window->DetachSubPane(view, true, true);
  }
}

// Notes whether its native window still existed when it was deleted.
class WitnessPane : public ProbePane {
 public:
  WitnessPane(CP_View* super, const CP_PaneInfo& info) : ProbePane(super, info) {}
  ~WitnessPane() override { *windowAlive = IsWindow(GetHWND()) != FALSE; }
  bool* windowAlive = nullptr;
};

TEST_F(ViewTest, DetachWithDestroyDeletesThePaneBeforeItsWindow) {
  auto* view = AddPane<ProbeView>(window, PaneAt(0, 0, 200, 100));
  auto* pane = AddPane<WitnessPane>(view, PaneAt(0, 0, 20, 20));
  bool alive = false;
  pane->windowAlive = &alive;
  HWND native = pane->GetHWND();
  view->DetachSubPane(pane, false, true);
  EXPECT_TRUE(alive);
  EXPECT_FALSE(IsWindow(native));
  EXPECT_TRUE(view->GetSubPanes().empty());
}

TEST_F(ViewTest, DetachWithoutDestroyLetsThePaneGo) {
  auto* view = AddPane<ProbeView>(window, PaneAt(0, 0, 200, 100));
  auto* inner = AddPane<ProbeView>(view, PaneAt(0, 0, 100, 50));
  auto* deepest = AddPane<WitnessPane>(inner, PaneAt(0, 0, 20, 20));
  bool alive = false;
  deepest->windowAlive = &alive;

  view->DetachSubPane(inner, true, false);
  EXPECT_EQ(nullptr, inner->GetSuperPane());
  EXPECT_TRUE(inner->GetSubPanes().empty()) << "its sub-panes were deleted";
  EXPECT_TRUE(alive);
  HWND native = inner->GetHWND();
  delete inner;
  DestroyWindow(native);
}

TEST_F(ViewTest, ReparentingMovesTheNativeWindow) {
  auto* first = AddPane<ProbeView>(window, PaneAt(0, 0, 100, 100));
  auto* second = AddPane<ProbeView>(window, PaneAt(100, 0, 100, 100));
  auto* pane = AddPane(first, PaneAt(5, 5, 10, 10));
  pane->SetParentPane(second, 0);
  EXPECT_EQ(second, pane->GetSuperPane());
  EXPECT_TRUE(first->GetSubPanes().empty());
  ASSERT_EQ(1u, second->GetSubPanes().size());
  EXPECT_EQ(second->GetHWND(), GetParent(pane->GetHWND()));
}

TEST_F(ViewTest, AViewThatGoesFirstLetsItsSubPanesGo) {
  auto* view = AddPane<ProbeView>(window, PaneAt(0, 0, 100, 100));
  auto* pane = AddPane(view, PaneAt(5, 5, 10, 10));
  window->DetachSubPane(view, false, false);
  HWND viewWindow = view->GetHWND();
  delete view;
  EXPECT_EQ(nullptr, pane->GetSuperPane());
  delete pane;  // must not reach back into the view
  DestroyWindow(viewWindow);
}

// Writes its name into a shared trace when the tree walk reaches it.
template <typename Base>
class Traced : public Base {
 public:
  Traced(CP_View* super, const CP_PaneInfo& info) : Base(super, info) {}
  void TreeNotice() override { *trace += name; }
  std::string* trace = nullptr;
  std::string name;
};

TEST_F(ViewTest, BroadcastVisitsChildrenBeforeTheirViewLastAddedFirst) {
  std::string trace;
  auto make = [&](auto* pane, const char* name) {
    pane->trace = &trace;
    pane->name = name;
    return pane;
  };
  auto* view = make(AddPane<Traced<ProbeView>>(window, PaneAt(0, 0, 100, 100)), "V");
  make(AddPane<Traced<ProbePane>>(view, PaneAt(0, 0, 10, 10)), "a");
  auto* inner = make(AddPane<Traced<ProbeView>>(view, PaneAt(0, 0, 10, 10)), "I");
  make(AddPane<Traced<ProbePane>>(inner, PaneAt(0, 0, 10, 10)), "x");
  make(AddPane<Traced<ProbePane>>(inner, PaneAt(0, 0, 10, 10)), "y");
  make(AddPane<Traced<ProbePane>>(view, PaneAt(0, 0, 10, 10)), "b");
  view->BroadcastToTree();
  EXPECT_EQ("byxIaV", trace);
}

}  // namespace
