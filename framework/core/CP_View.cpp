#include "CP_View.h"

#include "CP_Canvas.h"
#include "CP_Commander.h"
#include "CP_InStream.h"
#include "CP_OutStream.h"
#include "CP_Window.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Clamps one axis of a scroll step: the scroll position stays within
// 0 .. content - frame (0 when the content is the smaller).
int32_t ClampStep(int32_t step, int32_t scroll, int32_t content, int32_t frame) {
  if (step < 0) {
    if (scroll > 0 && -step > scroll) return -scroll;
    if (scroll <= 0) return 0;
    return step;
  }
  if (step > 0) {
    const int32_t limit = std::max<int32_t>(content - frame, 0);
    if (scroll + step > limit) return limit - scroll;
  }
  return step;
}

}  // namespace

CP_View::CP_View(CP_View* superPane, const CP_PaneInfo& info) : CP_Pane(superPane, info) { SetUpView(); }

CP_View::CP_View(const CP_Rect& frame) : CP_Pane(frame) { SetUpView(); }

CP_View::CP_View(const CP_Point& location, const CP_Size& size) : CP_Pane(location, size) { SetUpView(); }

void CP_View::SetUpView() {
  fSubPanes.clear();
  fKeepInFrame = 1;
  fImagePosition = fLocation;
  UpdateImageOrigin();
  ScrollContentTo(0, 0, false);
}

CP_View::~CP_View() {
  // Sub-panes that outlive the view must not reach back into it.
  for (CP_Pane* pane : fSubPanes) {
    SubPaneLeaving(pane);
    pane->ClearParentPane();
  }
  fSubPanes.clear();
}

void CP_View::UpdateImageOrigin() {
  fOriginOffset = CP_Point(int16_t(-fImagePosition.h), int16_t(-fImagePosition.v));
}

// ---------------------------------------------------------------------------
// Sub-panes

void CP_View::AddSubPane(CP_Pane* pane) {
  if (!pane) return;
  if (std::find(fSubPanes.begin(), fSubPanes.end(), pane) == fSubPanes.end()) fSubPanes.push_back(pane);
  if (pane->GetHWND() && fWindow) SetParent(pane->GetHWND(), fWindow);
}

void CP_View::RemoveSubPane(CP_Pane* pane) {
  const auto at = std::remove(fSubPanes.begin(), fSubPanes.end(), pane);
  if (at == fSubPanes.end()) return;
  fSubPanes.erase(at, fSubPanes.end());
  SubPaneLeaving(pane);
}

// A window remembers the target inside it while it is inactive; a pane that
// goes must not stay behind there. Only the pane's address is used: it may
// be part way through its destruction.
void CP_View::SubPaneLeaving(const CP_Pane* pane) {
  if (CP_Window* window = GetOwnerWindow()) window->ForgetPendingTarget(pane);
}

void CP_View::DetachSubPane(CP_Pane* pane, bool deleteItsSubPanes, bool destroy) {
  if (!pane) return;
  if (deleteItsSubPanes)
    if (auto* view = dynamic_cast<CP_View*>(pane)) view->DeleteSubPanes();
  RemoveSubPane(pane);
  pane->ClearParentPane();
  if (destroy) {
    HWND window = pane->GetHWND();
    delete pane;
    if (window) DestroyWindow(window);
  }
}

void CP_View::DeleteSubPanes() {
  while (!fSubPanes.empty()) {
    CP_Pane* pane = fSubPanes.front();
    fSubPanes.erase(fSubPanes.begin());
    SubPaneLeaving(pane);
    if (auto* view = dynamic_cast<CP_View*>(pane)) view->DeleteSubPanes();
    pane->ClearParentPane();
    HWND window = pane->GetHWND();
    delete pane;
    if (window) DestroyWindow(window);
  }
}

CP_Pane* CP_View::FindSubPaneAt(const CP_Point& point, bool deep) const {
  for (auto it = fSubPanes.rbegin(); it != fSubPanes.rend(); ++it) {
    CP_Pane* pane = *it;
    if (!pane->IsVisible()) continue;
    auto* view = deep ? dynamic_cast<CP_View*>(pane) : nullptr;
    if (pane->ContainsPoint(point)) {
      if (view)
        if (CP_Pane* inner = view->FindSubPaneAt(point, deep)) return inner;
      return pane;
    }
    if (view)
      if (CP_Pane* inner = view->FindSubPaneAt(point, deep)) return inner;
  }
  return nullptr;
}

CP_Pane* CP_View::FindSubPaneById(int32_t identifier, bool deep) const {
  for (auto it = fSubPanes.rbegin(); it != fSubPanes.rend(); ++it) {
    CP_Pane* pane = *it;
    if (pane->GetIdentifier() == identifier) return pane;
    if (deep)
      if (auto* view = dynamic_cast<CP_View*>(pane))
        if (CP_Pane* inner = view->FindSubPaneById(identifier, deep)) return inner;
  }
  return nullptr;
}

CP_M_Commander* CP_View::FindTargetSubPane() const {
  for (CP_Pane* pane : fSubPanes) {
    if (auto* view = dynamic_cast<CP_View*>(pane))
      if (CP_M_Commander* inner = view->FindTargetSubPane()) return inner;
    auto* commander = dynamic_cast<CP_M_Commander*>(pane);
    if (commander && commander == CP_M_Commander::GetTarget()) return commander;
  }
  return nullptr;
}

void CP_View::TellSubPanes(void (CP_Pane::*operation)()) {
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (CP_Pane* pane : panes)
    if (std::find(fSubPanes.begin(), fSubPanes.end(), pane) != fSubPanes.end()) (pane->*operation)();
}

// ---------------------------------------------------------------------------
// The state changes: turning on runs the pane's own change first and then
// tells the sub-panes; turning off tells them first.

void CP_View::Activate() {
  CP_Pane::Activate();
  if (fActiveState == kOn) TellSubPanes(&CP_Pane::ParentActivated);
}

void CP_View::ParentActivated() {
  CP_Pane::ParentActivated();
  if (fActiveState == kOn) TellSubPanes(&CP_Pane::ParentActivated);
}

void CP_View::Deactivate() {
  if (fActiveState == kOff) return;
  TellSubPanes(&CP_Pane::ParentDeactivated);
  CP_Pane::Deactivate();
}

void CP_View::ParentDeactivated() {
  if (fActiveState != kOn) return;
  TellSubPanes(&CP_Pane::ParentDeactivated);
  CP_Pane::ParentDeactivated();
}

void CP_View::Show() {
  CP_Pane::Show();
  if (fVisibleState == kOn) TellSubPanes(&CP_Pane::ParentShown);
}

void CP_View::ParentShown() {
  CP_Pane::ParentShown();
  if (fVisibleState == kOn) TellSubPanes(&CP_Pane::ParentShown);
}

void CP_View::Hide() {
  if (fVisibleState == kOff) return;
  TellSubPanes(&CP_Pane::ParentHidden);
  CP_Pane::Hide();
}

void CP_View::ParentHidden() {
  if (fVisibleState != kOn) return;
  TellSubPanes(&CP_Pane::ParentHidden);
  CP_Pane::ParentHidden();
}

void CP_View::Enable() {
  CP_Pane::Enable();
  if (fEnabledState == kOn) TellSubPanes(&CP_Pane::ParentEnabled);
}

void CP_View::ParentEnabled() {
  CP_Pane::ParentEnabled();
  if (fEnabledState == kOn) TellSubPanes(&CP_Pane::ParentEnabled);
}

// The sub-panes are disabled with their own Disable, so a later Enable of
// the view leaves them disabled.
void CP_View::Disable() {
  if (fEnabledState == kOff) return;
  TellSubPanes(&CP_Pane::Disable);
  CP_Pane::Disable();
}

void CP_View::ParentDisabled() {
  if (fEnabledState != kOn) return;
  TellSubPanes(&CP_Pane::ParentDisabled);
  CP_Pane::ParentDisabled();
}

// ---------------------------------------------------------------------------
// Geometry

void CP_View::ResizeTo(const CP_Size& size) {
  const CP_Size old = fSize;
  CP_Pane::ResizeTo(size);
  const int16_t dw = int16_t(size.width - old.width);
  const int16_t dh = int16_t(size.height - old.height);
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (CP_Pane* pane : panes) pane->FollowParentResize(dw, dh);
}

// The sub-panes' windows are children of the view's window and move with
// it; their locations, in the view's client coordinates, stay as they are.
void CP_View::OffsetPosition(const CP_Point& delta) {
  if (delta == CP_Point()) return;
  CP_Pane::OffsetPosition(delta);
}

void CP_View::MoveWithSubPanes(const CP_Point& point) {
  CP_Pane::MoveTo(point, 1);
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (CP_Pane* pane : panes) pane->MoveTo(point, 0);
}

void CP_View::SubPaneMoved(int16_t dh, int16_t dv) {
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (CP_Pane* pane : panes) pane->OffsetPosition(CP_Point(int16_t(-dh), int16_t(-dv)));
}

void CP_View::SetContentExtent(const CP_Size& size) {
  fImageSize = size;
  if (fSuperPane) fSuperPane->SubContentResized(this);
}

// ---------------------------------------------------------------------------
// Scrolling

void CP_View::ScrollContentBy(int16_t dh, int16_t dv, bool redraw) {
  const CP_Rect frame = GetFrame();
  const int32_t frameWidth = frame.Width();
  const int32_t frameHeight = frame.Height();
  int32_t h = dh, v = dv;
  if (h != 0) h = ClampStep(h, fScrollPosition.h, fImageSize.width, frameWidth);
  if (v != 0) v = ClampStep(v, fScrollPosition.v, fImageSize.height, frameHeight);
  if (h == 0 && v == 0) return;

  fScrollPosition = CP_Point(int16_t(fScrollPosition.h + h), int16_t(fScrollPosition.v + v));
  if (redraw && IsVisible()) {
    if (std::abs(h) < frameWidth && std::abs(v) < frameHeight)
      ScrollPixels(int16_t(h), int16_t(v));
    else
      Refresh();
  }
  fImagePosition = CP_Point(int16_t(fImagePosition.h - h), int16_t(fImagePosition.v - v));
  UpdateImageOrigin();
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (CP_Pane* pane : panes) pane->FollowParentScroll(int16_t(h), int16_t(v));
  if (redraw && IsVisible()) UpdateNow();
}

// Measured from the scroll position, not from the image position: a view
// that was moved keeps its image position where the move left it.
void CP_View::ScrollContentTo(int16_t h, int16_t v, bool redraw) {
  ScrollContentBy(int16_t(h - fScrollPosition.h), int16_t(v - fScrollPosition.v), redraw);
}

void CP_View::ScrollPixels(int16_t dh, int16_t dv) {
  CP_PaneDCScope scope(this);
  RECT client = {};
  GetClientRect(fWindow, &client);
  RECT update = {};
  // No SW_SCROLLCHILDREN: ScrollContentBy moves the sub-panes itself.
  ScrollWindowEx(fWindow, -dh, -dv, nullptr, &client, nullptr, &update, SW_INVALIDATE | SW_ERASE);
  ClearCurrentPane();
}

// Pulls the content back towards the origin when the frame reaches past
// its right or bottom edge; a frame that ends inside it is left alone.
void CP_View::KeepContentInFrame(bool redraw) {
  if (fKeepInFrame != 1) return;
  const CP_Rect frame = GetFrame();
  CP_Point wanted = fScrollPosition;
  if (fScrollPosition.h + frame.Width() > fImageSize.width)
    wanted.h = int16_t(std::max(fImageSize.width - frame.Width(), 0));
  if (fScrollPosition.v + frame.Height() > fImageSize.height)
    wanted.v = int16_t(std::max(fImageSize.height - frame.Height(), 0));
  if (wanted != fScrollPosition) ScrollContentTo(wanted.h, wanted.v, redraw);
}

// ---------------------------------------------------------------------------
// Drawing

void CP_View::Draw(const CP_Region& area) {
  if (!CP_Pane::IsVisible()) return;
  CP_PaneDCScope scope(this);
  CP_Region clipped(GetLocalFrameRect());
  if (!area.IsEmpty()) clipped.Intersect(area);
  if (clipped.IsEmpty()) return;
  if (fOwnBackground) fCanvas->SetBackgroundColor(fBackgroundColor);
  DrawUnderAdorners();
  DrawContent(clipped);
  DrawOverAdorners();
}

// The view draws itself into the print canvas as it stands, then each
// sub-pane prints with its own print frame.
void CP_View::DrawForPrinting(const CP_Region& paper, CP_Canvas* printCanvas, int16_t page) {
  TakeFocus(printCanvas);
  PrintContent(paper, page);
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (CP_Pane* pane : panes) {
    pane->TakeFocus(printCanvas);
    pane->DrawForPrinting(paper, printCanvas, page);
  }
}

// ---------------------------------------------------------------------------
// Mouse and tree walks

void CP_View::HandleMouseDown(CP_Event& event, const CP_Point& point) {
  if (CP_Pane* pane = FindSubPaneAt(point, false))
    pane->HandleMouseDown(event, point);
  else
    CP_Pane::HandleMouseDown(event, point);
}

void CP_View::BroadcastToTree() {
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (auto it = panes.rbegin(); it != panes.rend(); ++it) (*it)->BroadcastToTree();
  TreeNotice();
}

void CP_View::PropagateToSubViews(uint32_t value) {
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (auto it = panes.rbegin(); it != panes.rend(); ++it)
    if (auto* view = dynamic_cast<CP_View*>(*it)) view->PropagateToSubViews(value);
}

// ---------------------------------------------------------------------------
// Streaming: a version-1 pane record has no colour, so the view's record
// carries it then; later versions have it once, inside the pane's record.

void CP_View::WriteToStream(CP_OutStream& out) {
  CP_Pane::WriteToStream(out);
  if (int16_t(out.GetVersion()) == 1) out.WriteRGBColor(fBackgroundColor).WriteBool(fOwnBackground);
  out.WriteSize(fImageSize).WritePoint(fImagePosition).WriteSize(fScrollUnit).WritePoint(fScrollPosition);
}

void CP_View::ReadFromStream(void* context, CP_InStream& in) {
  CP_Pane::ReadFromStream(context, in);
  if (int16_t(in.GetVersion()) == 1) in.ReadRGBColor(fBackgroundColor).ReadBool(fOwnBackground);
  in.ReadSize(fImageSize).ReadPoint(fImagePosition).ReadSize(fScrollUnit).ReadPoint(fScrollPosition);
}
