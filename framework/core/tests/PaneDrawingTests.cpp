#include "CP_Adorner.h"
#include "CP_Callback.h"
#include "CP_Canvas.h"
#include "CP_Picture.h"
#include "CP_Region.h"
#include "CP_TextTrait.h"
#include "PaneTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <string>

namespace {

using kxtest::PaneAt;
using kxtest::SceneTest;

// The trace outlives the scene's panes, which tell their adorners as they
// go.
class PaneDrawingTest : public SceneTest {
 protected:
  std::string trace;
};

// Writes what happens to it into a shared trace.
class TraceAdorner : public CP_Adorner {
 public:
  TraceAdorner(std::string* trace, const char* name, int* deleted = nullptr)
      : fTrace(trace), fName(name), fDeleted(deleted) {}
  ~TraceAdorner() override {
    if (fDeleted) ++*fDeleted;
  }
  void DrawAdornment(CP_Canvas*, CP_Pane*) override { *fTrace += fName; }
  void PaneChanged(CP_Pane* pane) override {
    *fTrace += std::string("(") + fName + ")";
    CP_Adorner::PaneChanged(pane);
  }

 private:
  std::string* fTrace;
  const char* fName;
  int* fDeleted;
};

// Traces its drawing and counts its refreshes.
template <typename Base>
class DrawingPane : public Base {
 public:
  DrawingPane(CP_View* super, const CP_PaneInfo& info) : Base(super, info) {}
  void DrawContent(const CP_Region& area) override {
    if (trace) *trace += "content";
    lastArea = area.GetBounds();
    HDC dc = this->GetCanvas()->GetDC();
    POINT origin = {};
    GetWindowOrgEx(dc, &origin);
    lastOrigin = origin;
    contentBackground = this->GetCanvas()->GetBackgroundColor();
    drawnAt = this->GetLocation();
    drawnInto = dc;
  }
  void RefreshRectangle(const CP_Rect& rect) override {
    ++refreshes;
    Base::RefreshRectangle(rect);
  }
  std::string* trace = nullptr;
  CP_Rect lastArea;
  POINT lastOrigin = {};
  CP_RGBColor contentBackground;
  CP_Point drawnAt;
  HDC drawnInto = nullptr;
  int refreshes = 0;
};

// Fails part way through printing, as a printer that went away would.
class FailingPrintPane : public DrawingPane<kxtest::ProbePane> {
 public:
  using DrawingPane::DrawingPane;
  void PrintContent(const CP_Region& paper, int16_t page) override {
    DrawingPane::PrintContent(paper, page);
    throw std::runtime_error("printer gone");
  }
};

using DrawnPane = DrawingPane<kxtest::ProbePane>;
using DrawnView = DrawingPane<kxtest::ProbeView>;

// Fails while drawing its content, as drawing with a resource that has gone
// would.
template <typename Base>
class FailingDrawPane : public DrawingPane<Base> {
 public:
  using DrawingPane<Base>::DrawingPane;
  void DrawContent(const CP_Region& area) override {
    DrawingPane<Base>::DrawContent(area);
    if (fails) throw std::runtime_error("drawing failed");
  }
  bool fails = true;
};

void Paint(CP_Pane* pane) {
  InvalidateRect(pane->GetHWND(), nullptr, TRUE);
  UpdateWindow(pane->GetHWND());
}

TEST_F(PaneDrawingTest, AdornersDrawUnderAndOverTheContent) {
  window->Show();
  auto* pane = AddPane<DrawnPane>(window, PaneAt(10, 10, 60, 40));
  pane->trace = &trace;
  pane->Show();
  auto* under = new TraceAdorner(&trace, "U");
  auto* over = new TraceAdorner(&trace, "O");
  auto* both = new TraceAdorner(&trace, "B");
  pane->AddUnderAdorner(under);
  pane->AddAdorner(over);
  pane->AddUnderAdorner(both);
  pane->AddAdorner(both);
  EXPECT_EQ(2, both->GetReferenceCount()) << "one reference per entry";
  trace.clear();
  Paint(pane);
  EXPECT_EQ("UBcontentOB", trace);

  pane->Hide();
  trace.clear();
  pane->Draw(CP_Region(0, 0, 60, 40));
  EXPECT_EQ("", trace) << "a hidden pane draws nothing";
}

TEST_F(PaneDrawingTest, AddingAnAdornerRedrawsOnlyAVisiblePane) {
  auto* pane = AddPane<DrawnPane>(window, PaneAt(10, 10, 60, 40));
  pane->AddAdorner(new TraceAdorner(&trace, "A"));
  EXPECT_EQ(0, pane->refreshes);
  window->Show();
  pane->Show();
  pane->refreshes = 0;
  trace.clear();
  pane->AddUnderAdorner(new TraceAdorner(&trace, "U"));
  EXPECT_EQ(1, pane->refreshes);

  // Showing the pane's window tells the over-content adorners first.
  pane->Hide();
  trace.clear();
  pane->Show();
  EXPECT_EQ("(A)(U)", trace);
}

TEST_F(PaneDrawingTest, AdornerReferencesFollowTheListEntries) {
  int deleted = 0;
  auto* pane = AddPane<DrawnPane>(window, PaneAt(0, 0, 10, 10));
  auto* twice = new TraceAdorner(&trace, "T", &deleted);
  auto* kept = new TraceAdorner(&trace, "K", &deleted);
  kept->AddReference();  // someone else's
  pane->AddAdorner(twice);
  pane->AddAdorner(twice);
  pane->AddAdorner(kept);
  EXPECT_EQ(twice, pane->GetAdorner(1));
  EXPECT_EQ(kept, pane->GetAdorner(3));
  EXPECT_EQ(nullptr, pane->GetAdorner(0));
  EXPECT_EQ(nullptr, pane->GetAdorner(4));

  pane->RemoveAdorner(twice);
  EXPECT_EQ(1, deleted) << "both entries went, with both references";
  EXPECT_EQ(kept, pane->GetAdorner(1));
  pane->RemoveUnderAdorner(kept);
  EXPECT_EQ(2, kept->GetReferenceCount()) << "not in that list: no reference given back";

  window->DetachSubPane(pane, false, true);
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(1, kept->GetReferenceCount()) << "the pane gave its reference back when it went";
  kept->RemoveReference();
  EXPECT_EQ(2, deleted);
}

// The colour at the middle of what a pane's erasing painted into a memory
// DC.
COLORREF Erase(CP_Pane* pane) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageA(pane->GetHWND(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const COLORREF pixel = GetPixel(dc, 2, 2);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixel;
}

TEST_F(PaneDrawingTest, ErasingTakesThePictureThenTheEnvironmentThenTheColour) {
  auto* pane = AddPane<DrawnPane>(window, PaneAt(0, 0, 4, 4));
  pane->SetBackgroundColor(CP_RGBColor(0, 0xFFFF, 0), 0);
  EXPECT_EQ(RGB(0, 255, 0), Erase(pane));

  auto* environment = new CP_CanvasEnvironment;
  environment->SetBackgroundColor(CP_RGBColor(0, 0, 0));
  pane->SetEnvironment(environment);
  EXPECT_EQ(RGB(0, 0, 0), Erase(pane)) << "the environment's background";

  auto* picture = new CP_Picture(300);
  ASSERT_EQ(4, picture->GetWidth());
  pane->SetBackgroundPicture(picture);
  EXPECT_EQ(RGB(255, 0, 255), Erase(pane)) << "the picture, never the colour";
  EXPECT_EQ(1, picture->GetReferenceCount());
}

TEST_F(PaneDrawingTest, TextTraitSetsTheFontJustificationAndColour) {
  auto* pane = AddPane<DrawnPane>(window, PaneAt(0, 0, 80, 20));
  auto* centred = new CP_TextTrait;
  centred->SetJustification(1);
  centred->SetColor(CP_RGBColor(0xFFFF, 0, 0));
  pane->SetTextTrait(centred);
  EXPECT_EQ(1, centred->GetReferenceCount());
  EXPECT_EQ(0x1, GetWindowLongA(pane->GetHWND(), GWL_STYLE) & 0x3);
  EXPECT_EQ(CP_RGBColor(0xFFFF, 0, 0), pane->GetCanvas()->GetForegroundColor());
  EXPECT_FALSE(pane->GetCanvas()->HasValidDC()) << "the drawing scope ended";

  auto* right = new CP_TextTrait;
  right->SetJustification(2);
  right->AddReference();  // kept by the test
  pane->SetTextTrait(right);
  EXPECT_EQ(0x2, GetWindowLongA(pane->GetHWND(), GWL_STYLE) & 0x2);
  EXPECT_EQ(2, right->GetReferenceCount());
  pane->SetTextTrait(right);
  EXPECT_EQ(2, right->GetReferenceCount()) << "the same trait again takes no second reference";

  window->DetachSubPane(pane, false, true);
  EXPECT_EQ(1, right->GetReferenceCount());
  right->RemoveReference();
}

TEST_F(PaneDrawingTest, ViewDrawsItsContentClippedToItsFrameAtItsScrollPosition) {
  window->Show();
  auto* view = AddPane<DrawnView>(window, PaneAt(10, 10, 100, 80));
  view->trace = &trace;
  view->Show();
  view->SetContentExtent(CP_Size(400, 400));
  view->ScrollContentTo(30, 20, false);
  view->SetBackgroundColor(CP_RGBColor(0, 0, 0xFFFF), 0);

  view->Draw(CP_Region(50, 40, 300, 300));
  EXPECT_EQ("content", trace);
  EXPECT_EQ(CP_Rect(50, 40, 100, 80), view->lastArea) << "clipped to the frame";
  EXPECT_EQ(30, view->lastOrigin.x) << "content coordinates: the scroll position at the top-left";
  EXPECT_EQ(20, view->lastOrigin.y);
  EXPECT_EQ(CP_RGBColor(0, 0, 0xFFFF), view->contentBackground);

  trace.clear();
  view->Draw(CP_Region(200, 200, 300, 300));
  EXPECT_EQ("", trace) << "nothing of the frame left";
  view->Draw(CP_Region());
  EXPECT_EQ("content", trace) << "an empty area means the whole frame";
  EXPECT_EQ(CP_Rect(0, 0, 100, 80), view->lastArea);
}

// A paint whose drawing throws still gives the paint DC back to Windows and
// leaves the canvas without it, so later drawing outside a paint takes a DC
// of its own; the failure reaches the caller once the paint has returned.
TEST_F(PaneDrawingTest, APaintThatThrowsEndsThePaintAndLetsTheDCGo) {
  window->Show();
  auto check = [&](auto* pane) {
    pane->trace = &trace;
    pane->Show();
    trace.clear();

    Paint(pane);
    EXPECT_THROW(CP_RethrowPendingException(), std::runtime_error);
    EXPECT_EQ("content", trace);
    ASSERT_NE(nullptr, pane->drawnInto);
    EXPECT_EQ(nullptr, pane->GetCanvas()->GetDC());
    EXPECT_FALSE(pane->GetCanvas()->HasValidDC());
    EXPECT_EQ(0, pane->GetCanvas()->GetDrawingDepth());
    // A paint DC still held would be released only now.
    EXPECT_EQ(0, ReleaseDC(pane->GetHWND(), pane->drawnInto)) << "EndPaint gave the paint DC back";

    // The next paint draws as usual.
    pane->fails = false;
    trace.clear();
    Paint(pane);
    EXPECT_NO_THROW(CP_RethrowPendingException());
    EXPECT_EQ("content", trace);
    EXPECT_EQ(nullptr, pane->GetCanvas()->GetDC());
  };
  {
    SCOPED_TRACE("pane");
    check(AddPane<FailingDrawPane<kxtest::ProbePane>>(window, PaneAt(10, 10, 60, 40)));
  }
  {
    SCOPED_TRACE("view");
    check(AddPane<FailingDrawPane<kxtest::ProbeView>>(window, PaneAt(80, 10, 60, 40)));
  }
}

// Printed or failed, the pane and its canvas go back to the screen.
TEST_F(PaneDrawingTest, PrintingDrawsInThePrintFrameAndPutsTheFrameBack) {
  HDC screen = GetDC(nullptr);
  HDC paper = CreateCompatibleDC(screen);
  for (bool fails : {false, true}) {
    SCOPED_TRACE(fails ? "the printer fails" : "printed");
    trace.clear();
    DrawnPane* pane = fails ? AddPane<FailingPrintPane>(window, PaneAt(10, 20, 60, 40))
                            : AddPane<DrawnPane>(window, PaneAt(10, 20, 60, 40));
    pane->trace = &trace;
    pane->SetPrintFrame(CP_Point(int16_t(100), int16_t(200)), CP_Size(600, 400));
    CP_Canvas printCanvas;
    printCanvas.AttachDC(paper);

    if (fails) {
      EXPECT_THROW(pane->DrawForPrinting(CP_Region(0, 0, 600, 400), &printCanvas, 1), std::runtime_error);
    } else {
      pane->DrawForPrinting(CP_Region(0, 0, 600, 400), &printCanvas, 1);
      EXPECT_EQ(CP_Point(int16_t(100), int16_t(200)), pane->drawnAt);
      EXPECT_EQ(paper, pane->drawnInto);
    }
    EXPECT_EQ("content", trace);
    EXPECT_EQ(CP_Point(int16_t(10), int16_t(20)), pane->GetLocation());
    EXPECT_EQ(60, pane->GetWidth());
    EXPECT_EQ(CP_Point(int16_t(-10), int16_t(-20)), pane->GetOriginOffset());
    EXPECT_FALSE(pane->GetCanvas()->HasValidDC());
    printCanvas.DetachDC();
  }
  DeleteDC(paper);
  ReleaseDC(nullptr, screen);
}

}  // namespace
