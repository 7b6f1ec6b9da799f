#include "CP_Pane.h"

#include "CP_Adorner.h"
#include "CP_Canvas.h"
#include "CP_Commander.h"
#include "CP_Cursor.h"
#include "CP_Event.h"
#include "CP_Framework.h"
#include "CP_InStream.h"
#include "CP_Menu.h"
#include "CP_OutStream.h"
#include "CP_Picture.h"
#include "CP_Region.h"
#include "CP_TextTrait.h"
#include "CP_Utilities.h"
#include "CP_View.h"
#include "CP_Window.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace {

// The windows given to panes. The user data alone cannot be trusted, as
// foreign windows may keep pointers of their own there; a window property
// would do, but under Wine reading one is a trip to the window server at
// every message.
std::unordered_map<HWND, CP_Pane*>& PaneWindows() {
  static std::unordered_map<HWND, CP_Pane*> windows;
  return windows;
}

// No handle may lead to a pane that is gone, whatever became of the windows
// it had.
void ForgetPane(const CP_Pane* pane) {
  auto& windows = PaneWindows();
  for (auto it = windows.begin(); it != windows.end();) it = it->second == pane ? windows.erase(it) : std::next(it);
}

CP_Pane* gClickedPane = nullptr;
CP_Pane* gCurrentPane = nullptr;
const CP_Size kMinimumPaneSize(1, 1);
int16_t gWindowCounter = 0;
bool gPaneClassRegistered = false;
// The one brush last handed to Windows for a control's background; replaced
// by the next one and deleted when any pane goes.
HBRUSH gControlColorBrush = nullptr;

// Puts the stock white brush into the window's DC before the control brush
// is deleted: a brush must not die while selected.
void DeleteControlColorBrush(HWND window) {
  if (!gControlColorBrush) return;
  if (HDC dc = AcquireWindowDC(window)) {
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    ReleaseWindowDC(window, dc);
  }
  DeleteGdiObject(gControlColorBrush);
  gControlColorBrush = nullptr;
}

// Fills a rectangle of a DC with a solid colour, leaving the DC as it was.
void FillWithColor(HDC dc, const RECT& area, const CP_RGBColor& color) {
  HBRUSH brush = CreateSolidBrushHandle(color.ToPaletteColorRef());
  HGDIOBJ old = SelectObject(dc, brush);
  PatBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, PATCOPY);
  SelectObject(dc, old);
  DeleteGdiObject(brush);
}

int16_t AtLeast(int32_t value, int16_t minimum) { return int16_t(std::max<int32_t>(value, minimum)); }

}  // namespace

bool CP_IsCharacterKey(uint32_t key) {
  return key == VK_BACK || key == VK_TAB || key == 10 || key == VK_RETURN || key == VK_ESCAPE ||
         key == VK_SPACE || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
         (key >= VK_NUMPAD0 && key <= VK_NUMPAD9);
}

uint32_t CP_TranslateKey(uint32_t key) {
  switch (key) {
    case VK_LEFT: return kKey_Left;
    case VK_RIGHT: return kKey_Right;
    case VK_UP: return kKey_Up;
    case VK_DOWN: return kKey_Down;
    case VK_HOME: return kKey_Home;
    case VK_END: return kKey_End;
    case VK_PRIOR: return kKey_PageUp;
    case VK_NEXT: return kKey_PageDown;
    case VK_SNAPSHOT: return kKey_PrintScreen;
    case VK_INSERT: return kKey_Insert;
    case VK_DELETE: return kKey_Delete;
    default: break;
  }
  if (key >= VK_F1 && key <= VK_F15) return kKey_F1 + (key - VK_F1);
  return key;
}

// ---------------------------------------------------------------------------
// Construction and destruction

CP_Pane::CP_Pane(CP_View* superPane, const CP_PaneInfo& info) { SetUp(superPane, info); }

CP_Pane::CP_Pane(CP_View* superPane, const CP_Point& location, const CP_Size& size)
    : CP_Pane(superPane, CP_PaneInfo(location, size)) {}

CP_Pane::CP_Pane(const CP_Point& location, const CP_Size& size)
    : CP_Pane(nullptr, CP_PaneInfo(location, size)) {}

CP_Pane::CP_Pane(const CP_Rect& frame)
    : CP_Pane(nullptr, CP_PaneInfo(CP_Point(frame.left, frame.top),
                                   CP_Size(frame.right - frame.left, frame.bottom - frame.top))) {}

void CP_Pane::SetUp(CP_View* superPane, const CP_PaneInfo& info) {
  fSuperPane = nullptr;
  fLocation = info.location;
  fPrintLocation = info.location;
  fSize = info.size;
  fPrintSize = info.size;
  fOriginOffset = CP_Point();
  fIdentifier = info.identifier;
  fVisibleState = info.visible == 1 ? kLatent : kOff;
  fBindings = info.bindings;
  fCanvas = std::make_unique<CP_Canvas>();
  if (superPane) {
    SetParentPane(superPane, 1);
    UpdateOriginOffset(superPane);
  }
}

CP_Pane::~CP_Pane() {
  if (gClickedPane == this) gClickedPane = nullptr;
  if (gCurrentPane == this) gCurrentPane = nullptr;
  DeleteControlColorBrush(fWindow);
  SetEnvironment(nullptr);
  if (fTextTrait) fTextTrait->RemoveReference();
  fTextTrait = nullptr;
  while (!fUnderAdorners.empty()) RemoveUnderAdorner(fUnderAdorners.front());
  while (!fOverAdorners.empty()) RemoveAdorner(fOverAdorners.front());
  fCanvas.reset();
  if (fContextMenu) fContextMenu->RemoveReference();
  fContextMenu = nullptr;
  fTooltip.reset();
  SetBackgroundPicture(nullptr);
  // A pane deleted while still listed must not stay behind in its view.
  if (fSuperPane) fSuperPane->RemoveSubPane(this);
  fSuperPane = nullptr;
  ReleaseWindow();
  ForgetPane(this);
}

CP_Pane* CP_Pane::FromWindow(HWND window) {
  if (!window) return nullptr;
  const auto found = PaneWindows().find(window);
  if (found == PaneWindows().end()) return nullptr;
  // A handle Windows gave again to a foreign window after the pane's own
  // window went keeps that window's user data.
  void* data = reinterpret_cast<void*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return data == found->second ? found->second : nullptr;
}

CP_Pane* CP_Pane::GetClickedPane() { return gClickedPane; }
CP_Pane* CP_Pane::GetCurrentPane() { return gCurrentPane; }
void CP_Pane::SetCurrentPane(CP_Pane* pane) { gCurrentPane = pane; }
void ClearCurrentPane() { gCurrentPane = nullptr; }
const CP_Size& CP_Pane::GetMinimumPaneSize() { return kMinimumPaneSize; }
int16_t CP_Pane::GetWindowCounter() { return gWindowCounter; }

// ---------------------------------------------------------------------------
// The native window

void CP_Pane::RegisterWindowClass() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcA;
  wc.cbWndExtra = 4;
  wc.hInstance = gCP_Instance;
  wc.lpszClassName = "CP_Pane";
  RegisterClassExA(&wc);
}

void CP_Pane::MakeWindow(CP_View* superPane, const CP_Point& location, const CP_Size& size) {
  if (!gPaneClassRegistered) {
    gPaneClassRegistered = true;
    RegisterWindowClass();
  }
  fWindowStyle = WS_CHILD;
  fWindow = CreatePaneWindow(superPane, location, size, "CP_Pane", "CP_Pane", fWindowStyle, 0);
  SubclassWindow(PaneWindowProc);
}

HWND CP_Pane::CreatePaneWindow(CP_View* superPane, const CP_Point& location, const CP_Size& size,
                               const std::string& title, const std::string& windowClass,
                               uint32_t style, uint32_t exStyle) {
  HWND parent = superPane ? superPane->GetHWND() : nullptr;
  HWND window = CreateWindowExA(exStyle, windowClass.c_str(), title.c_str(), style, location.h,
                                location.v, size.width, size.height, parent,
                                reinterpret_cast<HMENU>(intptr_t(gWindowCounter)), gCP_Instance,
                                nullptr);
  ++gWindowCounter;
  if (window) {
    fWindow = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    PaneWindows()[window] = this;
  }
  return window;
}

void CP_Pane::InstallWindow(HWND window, WNDPROC procedure) {
  fWindow = window;
  if (!window) return;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  PaneWindows()[window] = this;
  SubclassWindow(procedure);
}

void CP_Pane::SubclassWindow(WNDPROC procedure) {
  if (!fWindow) return;
  fSavedWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(fWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

void CP_Pane::ReleaseWindow() {
  if (!fWindow || FromWindow(fWindow) != this) return;
  PaneWindows().erase(fWindow);
  SetWindowLongPtrA(fWindow, GWLP_USERDATA, 0);
  // A control window keeps working as its own class once its pane is gone.
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(fWindow, GWLP_WNDPROC));
  if (fSavedWindowProc && (current == PaneWindowProc || current == TopWindowProc))
    SetWindowLongPtrA(fWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fSavedWindowProc));
}

LRESULT CP_Pane::CallSavedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!fSavedWindowProc) return kNotHandled;
  return CallWindowProcA(fSavedWindowProc, window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Geometry

CP_Rect CP_Pane::OffsetRectByOrigin(const CP_Rect& rect) const {
  CP_Rect moved = rect;
  moved.Offset(fOriginOffset.h, fOriginOffset.v);
  return moved;
}

CP_Rect CP_Pane::GetFrameRect() const {
  return CP_Rect(fLocation.h, fLocation.v, fLocation.h + fSize.width, fLocation.v + fSize.height);
}

void CP_Pane::LocalToGlobalPoint(CP_Point& point) const {
  POINT p = point.ToPOINT();
  ClientToScreen(fWindow, &p);
  point = CP_Point(p);
}

void CP_Pane::LocalToGlobalRect(CP_Rect& rect) const {
  POINT topLeft{rect.left, rect.top};
  POINT bottomRight{rect.right, rect.bottom};
  ClientToScreen(fWindow, &topLeft);
  ClientToScreen(fWindow, &bottomRight);
  rect.Set(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

void CP_Pane::GlobalToLocalPoint(CP_Point& point) const {
  if (fSuperPane) fSuperPane->GlobalToLocalPoint(point);
}

void CP_Pane::GlobalToLocalRect(CP_Rect& rect) const {
  if (fSuperPane) fSuperPane->GlobalToLocalRect(rect);
}

void CP_Pane::UpdateOriginOffset(CP_View*) {
  fOriginOffset = CP_Point(int16_t(-fLocation.h), int16_t(-fLocation.v));
}

CP_Window* CP_Pane::GetOwnerWindow() { return fSuperPane ? fSuperPane->GetOwnerWindow() : nullptr; }

void CP_Pane::MoveTo(const CP_Point& point, uint8_t) {
  if (point == fLocation) return;
  fLocation = point;
  fOriginOffset = CP_Point(int16_t(-point.h), int16_t(-point.v));
  UpdateOriginOffset(fSuperPane);
  if (fWindow)
    SetWindowPos(fWindow, nullptr, fLocation.h, fLocation.v, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CP_Pane::OffsetPosition(const CP_Point& delta) {
  if (delta == CP_Point()) return;
  MoveTo(fLocation + delta, 1);
}

void CP_Pane::ResizeTo(const CP_Size& size) {
  if (size == fSize) return;
  fSize = size;
  SetWindowPos(fWindow, nullptr, 0, 0, fSize.width, fSize.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CP_Pane::SetFrame(const CP_Rect& frame, uint8_t redraw) {
  const CP_Point location(frame.left, frame.top);
  const CP_Size size(frame.right - frame.left, frame.bottom - frame.top);
  OffsetPosition(location - fLocation);
  ResizeTo(size);
  if (redraw == 1 && IsVisible()) {
    TakeFocus(nullptr);
    Refresh();
  }
}

void CP_Pane::SetParentPane(CP_View* view, uint8_t deleteItsSubPanes) {
  if (view == fSuperPane) return;
  if (fSuperPane) fSuperPane->DetachSubPane(this, deleteItsSubPanes == 1, false);
  fSuperPane = view;
  if (view) view->AddSubPane(this);
}

// The pane's location is in the client coordinates of its super-pane's
// window, so a move is never corrected by where the super-pane itself lies.
void CP_Pane::FollowParentResize(int16_t dw, int16_t dh) {
  int16_t growH = 0, growV = 0, moveH = 0, moveV = 0;
  if (fBindings.right) (fBindings.left ? growH : moveH) = dw;
  if (fBindings.bottom) (fBindings.top ? growV : moveV) = dh;
  if (growH != 0 || growV != 0) {
    const CP_Size& minimum = GetMinimumPaneSize();
    ResizeTo(CP_Size(AtLeast(fSize.width + growH, minimum.width),
                     AtLeast(fSize.height + growV, minimum.height)));
  }
  if (moveH != 0 || moveV != 0) {
    MoveTo(CP_Point(int16_t(fLocation.h + moveH), int16_t(fLocation.v + moveV)), 1);
    MoveWindow(fWindow, fLocation.h, fLocation.v, fSize.width, fSize.height, TRUE);
  }
}

void CP_Pane::FollowParentScroll(int16_t dh, int16_t dv) {
  const int16_t moveH = (!fBindings.left && !fBindings.right) ? int16_t(-dh) : 0;
  const int16_t moveV = (!fBindings.top && !fBindings.bottom) ? int16_t(-dv) : 0;
  if (moveH == 0 && moveV == 0) return;
  MoveTo(GetLocation() + CP_Point(moveH, moveV), 1);
}

void CP_Pane::CountPrintPages(CP_Printer*, const CP_Rect&, int16_t& columns, int16_t& rows) {
  columns = 1;
  rows = 1;
}

// ---------------------------------------------------------------------------
// The three-state switches
//
//   operation         state before        new state   then
//   Activate          0 or 2, super shown 1           ActivateOwn
//   Activate          0 or 2, otherwise   2
//   Deactivate        not 0               0           DeactivateOwn first
//   ParentActivated   not 0               1           ActivateOwn
//   ParentDeactivated 1                   2           DeactivateOwn
// Show/Hide and Enable/Disable follow the same pattern; Enable turns on at
// once unless a super-pane exists and is hidden.

void CP_Pane::Activate() {
  if (fActiveState == kOn) return;
  if (fSuperPane && fSuperPane->IsVisible()) {
    fActiveState = kOn;
    ActivateOwn();
  } else {
    fActiveState = kLatent;
  }
}

void CP_Pane::Deactivate() {
  if (fActiveState == kOff) return;
  DeactivateOwn();
  fActiveState = kOff;
}

void CP_Pane::ParentActivated() {
  if (fActiveState == kOff) return;
  fActiveState = kOn;
  ActivateOwn();
}

void CP_Pane::ParentDeactivated() {
  if (fActiveState != kOn) return;
  fActiveState = kLatent;
  DeactivateOwn();
}

void CP_Pane::Show() {
  if (fVisibleState == kOn) return;
  if (fSuperPane && fSuperPane->IsVisible()) {
    fVisibleState = kOn;
    ShowOwnWindow();
  } else {
    fVisibleState = kLatent;
  }
}

void CP_Pane::Hide() {
  if (fVisibleState == kOff) return;
  Refresh();
  HideOwnWindow();
  fVisibleState = kOff;
}

void CP_Pane::ParentShown() {
  if (fVisibleState == kOff) return;
  fVisibleState = kOn;
  ShowOwnWindow();
}

void CP_Pane::ParentHidden() {
  if (fVisibleState != kOn) return;
  fVisibleState = kLatent;
  HideOwnWindow();
}

void CP_Pane::Enable() {
  if (fEnabledState == kOn) return;
  if (fSuperPane && !fSuperPane->IsVisible()) {
    fEnabledState = kLatent;
  } else {
    fEnabledState = kOn;
    EnableOwn();
  }
}

void CP_Pane::Disable() {
  if (fEnabledState == kOff) return;
  DisableOwn();
  fEnabledState = kOff;
}

void CP_Pane::ParentEnabled() {
  if (fEnabledState == kOff) return;
  fEnabledState = kOn;
  EnableOwn();
}

void CP_Pane::ParentDisabled() {
  if (fEnabledState != kOn) return;
  fEnabledState = kLatent;
  DisableOwn();
}

void CP_Pane::ActivateOwn() {
  TakeFocus(nullptr);
  Refresh();
}

void CP_Pane::DeactivateOwn() {
  TakeFocus(nullptr);
  Refresh();
}

void CP_Pane::ShowOwnWindow() {
  fVisibleState = kOn;
  ShowWindow(fWindow, SW_SHOW);
  TellAdorners();
}

void CP_Pane::HideOwnWindow() {
  if (fWindow) ShowWindow(fWindow, SW_HIDE);
}

void CP_Pane::EnableOwn() { EnableWindow(fWindow, TRUE); }
void CP_Pane::DisableOwn() { EnableWindow(fWindow, FALSE); }

bool CP_Pane::IsVisible() const {
  return fWindow && IsWindowVisible(fWindow) && fVisibleState == kOn;
}

// ---------------------------------------------------------------------------
// Drawing, cursor, menus, tooltips

void CP_Pane::Refresh() {
  if (IsVisible()) RefreshRectangle(GetLocalFrameRect());
}

void CP_Pane::RefreshRectangle(const CP_Rect& rect) {
  const RECT r = rect.ToRECT();
  InvalidateRect(fWindow, &r, TRUE);
}

void CP_Pane::RefreshRegion(const CP_Region& region) {
  if (fSuperPane) fSuperPane->RefreshRegion(region);
}

// While printing the canvas draws elsewhere: the window is only marked for
// a later paint.
void CP_Pane::UpdateNow() {
  if (fPrinting)
    InvalidateRect(fWindow, nullptr, TRUE);
  else
    UpdateWindow(fWindow);
}

void CP_Pane::Draw(const CP_Region& area) {
  if (!IsVisible()) return;
  CP_PaneDCScope scope(this);
  DrawUnderAdorners();
  DrawContent(area);
  DrawOverAdorners();
}

void CP_Pane::DrawForPrinting(const CP_Region& paper, CP_Canvas* printCanvas, int16_t page) {
  const CP_Point location = fLocation;
  const CP_Size size = fSize;
  fLocation = fPrintLocation;
  fSize = fPrintSize;
  HDC saved = fCanvas->GetDC();
  if (printCanvas) fCanvas->AttachDC(printCanvas->GetDC());
  fPrinting = true;
  // The printer's device context goes with the printer: the pane and its
  // canvas return to the screen also when printing fails.
  auto backToScreen = [&] {
    if (saved)
      fCanvas->AttachDC(saved);
    else
      fCanvas->DetachDC();
    fPrinting = false;
    fLocation = location;
    fSize = size;
    fOriginOffset = CP_Point(int16_t(-location.h), int16_t(-location.v));
  };
  try {
    ClearCurrentPane();
    TakeFocus(printCanvas);
    PrintContent(paper, page);
  } catch (...) {
    backToScreen();
    throw;
  }
  backToScreen();
}

void CP_Pane::PrintContent(const CP_Region& paper, int16_t) { DrawContent(paper); }

void CP_Pane::SetPrintFrame(const CP_Point& location, const CP_Size& size) {
  fPrintLocation = location;
  fPrintSize = size;
}

LRESULT CP_Pane::HandlePaint(HWND window, WPARAM wParam, LPARAM) {
  CP_PaintScope paint(window, wParam);
  if (IsVisible()) {
    paint.AttachCanvas(fCanvas.get());
    Draw(CP_Region(paint.GetPaintRect()));
  }
  return 0;
}

CP_RGBColor CP_Pane::GetBackgroundColor() const {
  if (fOwnBackground == 1) return fBackgroundColor;
  if (fSuperPane) return fSuperPane->GetBackgroundColor();
  return GetSystemColor(COLOR_WINDOW);
}

void CP_Pane::SetBackgroundColor(const CP_RGBColor& color, uint8_t redraw) {
  fBackgroundColor = color;
  fOwnBackground = 1;
  if (redraw == 1 && IsVisible()) {
    TakeFocus(nullptr);
    Refresh();
  }
}

void CP_Pane::UpdateCursor(const CP_Point&) { CP_Cursor arrow(32512, 0); }  // IDC_ARROW

void CP_Pane::SetContextMenu(CP_Menu* menu) {
  // One reference per pane: setting the same menu again takes no second one
  // that nothing would give back.
  if (menu == fContextMenu) return;
  if (fContextMenu) fContextMenu->RemoveReference();
  fContextMenu = menu;
  if (menu) menu->AddReference();
}

bool CP_Pane::ShowContextMenu(const CP_Point& point) {
  CP_Menu* menu = GetContextMenu();
  if (!menu) return false;
  if (CP_M_Commander::GetTarget()) CP_M_Commander::UpdateMenu(menu);
  CP_Point global = point;
  LocalToGlobalPoint(global);
  CP_Pane* owner = GetOwnerWindow();
  menu->TrackPopup(owner ? owner : this, global);
  return true;
}

std::string CP_Pane::GetTooltipText(const CP_Point&) const { return fTooltip ? *fTooltip : std::string(); }

void CP_Pane::SetTooltipText(const std::string& text) {
  if (text.empty())
    fTooltip.reset();
  else
    fTooltip = std::make_unique<std::string>(text);
}

// ---------------------------------------------------------------------------
// Mouse

void CP_Pane::SwitchTarget() {
  if (auto* commander = dynamic_cast<CP_M_Commander*>(this)) CP_M_Commander::ChangeTarget(commander);
}

void CP_Pane::HandleMouseDown(CP_Event& event, const CP_Point& point) {
  const auto life = LifeToken();
  TakeFocus(nullptr);
  if (RunEventHandlers(kEventKind_MouseDown, reinterpret_cast<uintptr_t>(&event)))
    HandleOwnClick(event, point, event.wParam);
  if (life.expired()) return;  // the click closed the pane's window
  fLastClickTime = event.time;
  fLastClickPoint = point;
  gClickedPane = this;
}

void CP_Pane::HandleMouseUp(CP_Event& event) { HandleOwnMouseUp(event); }

void CP_Pane::HandleDoubleClick(CP_Event&, const CP_Point&, uint32_t) {}

CP_Event CP_Pane::MakeMouseEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
  CP_Event event;
  event.kind = message;
  event.message = message;
  event.time = 0;
  event.window = window;
  event.where = CP_Point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam)));
  event.wParam = wParam;
  event.lParam = lParam;
  return event;
}

// ---------------------------------------------------------------------------
// Message dispatch

LRESULT CP_Pane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto life = LifeToken();
  const WNDPROC saved = fSavedWindowProc;
  // The native procedure's answer after a handler that may have deleted the
  // pane; the saved procedure was read while the pane still lived.
  auto savedAnswer = [&]() -> LRESULT {
    if (!saved) return kNotHandled;
    return CallWindowProcA(saved, window, message, wParam, lParam);
  };

  switch (message) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      CP_Pane* pane = item ? FromWindow(item->hwndItem) : nullptr;
      return pane ? pane->HandleDrawItem(window, wParam, lParam) : kNotHandled;
    }
    case WM_PAINT:
      return HandlePaint(window, wParam, lParam);
    case WM_COMMAND:
      return HandleCommandMessage(window, wParam, lParam);
    case WM_HELP:
      return kNotHandled;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
      CP_Pane* control = FromWindow(reinterpret_cast<HWND>(lParam));
      return control ? control->HandleControlColor(window, message, wParam, lParam) : kNotHandled;
    }
    case WM_ERASEBKGND:
      return HandleEraseBackground(window, wParam, lParam);
    case WM_HSCROLL:
    case WM_VSCROLL: {
      CP_Pane* pane = FromWindow(reinterpret_cast<HWND>(lParam));
      if (!pane) return kNotHandled;
      return message == WM_HSCROLL ? pane->HandleHorizontalScroll(window, wParam, lParam)
                                   : pane->HandleVerticalScroll(window, wParam, lParam);
    }
    case WM_KEYDOWN:
    case WM_CHAR:
      return HandleKeyMessage(window, message, wParam, lParam);
    case WM_LBUTTONDOWN: {
      SwitchTarget();
      CP_Event event = MakeMouseEvent(window, message, wParam, lParam);
      HandleMouseDown(event, event.where);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      SwitchTarget();
      CP_Event event = MakeMouseEvent(window, message, wParam, lParam);
      HandleDoubleClick(event, event.where, uint32_t(wParam));
      return 0;
    }
    case WM_MOUSEMOVE:
      UpdateCursor(CP_Point(int16_t(int16_t(LOWORD(lParam)) - fOriginOffset.h),
                            int16_t(int16_t(HIWORD(lParam)) - fOriginOffset.v)));
      return life.expired() ? 0 : savedAnswer();
    case WM_LBUTTONUP: {
      CP_Event event = MakeMouseEvent(window, message, wParam, lParam);
      HandleMouseUp(event);
      return life.expired() ? 0 : savedAnswer();
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (!header || !header->hwndFrom) return kNotHandled;
      if (CP_Pane* pane = FromWindow(header->hwndFrom)) return pane->HandleNotify(window, wParam, lParam);
      return savedAnswer();
    }
    case WM_CONTEXTMENU:
      return HandleContextMenuMessage(window, wParam, lParam);
    default:
      return savedAnswer();
  }
}

LRESULT CP_Pane::HandleChildFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return HandleMessage(window, message, wParam, lParam);
}

LRESULT CP_Pane::HandleKeyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  uint32_t key = uint32_t(wParam);
  if (message == WM_KEYDOWN) {
    // Their characters arrive again as WM_CHAR.
    if (CP_IsCharacterKey(key)) return CallSavedWindowProc(window, message, wParam, lParam);
    key = CP_TranslateKey(key);
  }
  CP_Event event;
  event.kind = WM_CHAR;
  event.message = WM_CHAR;
  event.time = 0;
  event.window = window;
  event.wParam = key;
  event.lParam = lParam;

  const auto life = LifeToken();
  const WNDPROC saved = fSavedWindowProc;
  if (CP_M_Commander* target = CP_M_Commander::GetTarget())
    if (target->RouteKey(int16_t(key), event)) return 1;
  if (life.expired()) return 0;
  if (!saved) return kNotHandled;
  return CallWindowProcA(saved, window, message, key, lParam);
}

LRESULT CP_Pane::HandleContextMenuMessage(HWND window, WPARAM wParam, LPARAM lParam) {
  if (CP_Window* owner = GetOwnerWindow()) SetActiveWindow(owner->GetHWND());
  SwitchTarget();
  POINT p{int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))};
  ScreenToClient(window, &p);
  const auto life = LifeToken();
  const WNDPROC saved = fSavedWindowProc;
  // Shown: answer 0, or the default procedure would hand the message to
  // the parent window, whose pane would show a second menu.
  if (ShowContextMenu(CP_Point(p))) return 0;
  if (life.expired()) return 0;
  if (!saved) return kNotHandled;
  return CallWindowProcA(saved, window, WM_CONTEXTMENU, wParam, lParam);
}

LRESULT CP_Pane::HandleCommandMessage(HWND window, WPARAM wParam, LPARAM lParam) {
  LRESULT result = kNotHandled;
  if (lParam == 0) {
    // A menu item or an accelerator.
    if (CP_M_Commander* target = CP_M_Commander::GetTarget()) {
      const int32_t command = LOWORD(wParam);
      if (target->RunEventHandlers(kEventKind_ExecuteCommand, uint32_t(command)))
        result = LRESULT(int16_t(target->ExecuteCommand(command)));
    }
  } else if (HIWORD(wParam) == 0) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (fSavedWindowProc) result = CallWindowProcA(fSavedWindowProc, window, WM_COMMAND, wParam, lParam);
    if (CP_Pane* pane = FromWindow(control)) pane->ControlHook1(0);
  }
  return result;
}

LRESULT CP_Pane::HandleEraseBackground(HWND window, WPARAM wParam, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  RECT client = {};
  GetClientRect(window, &client);
  if (fBackgroundPicture) {
    // The picture's own blit, into the DC being erased.
    CP_Canvas canvas;
    canvas.AttachDC(dc);
    fBackgroundPicture->Draw(&canvas, CP_Rect(client));
    canvas.DetachDC();
    return 1;
  }
  FillWithColor(dc, client, fEnvironment ? fEnvironment->GetBackgroundColor() : GetBackgroundColor());
  return 1;
}

LRESULT CP_Pane::HandleControlColor(HWND window, UINT, WPARAM wParam, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  bool found = true;
  CP_RGBColor color;
  if (fEnvironment)
    color = fEnvironment->GetBackgroundColor();
  else if (fSuperPane)
    color = fSuperPane->HasOwnBackground() ? fSuperPane->GetBackgroundColor() : CP_RGBColor::White;
  else if (dynamic_cast<CP_Window*>(this))
    color = GetBackgroundColor();
  else
    found = false;
  HBRUSH brush = nullptr;
  if (found) {
    SetBkColor(dc, color.ToPaletteColorRef());
    brush = ReplaceControlColorBrush(window, color);
  }
  if (fTextTrait) SetTextColor(dc, fTextTrait->GetColor().ToPaletteColorRef());
  return reinterpret_cast<LRESULT>(brush);
}

HBRUSH CP_Pane::ReplaceControlColorBrush(HWND window, const CP_RGBColor& color) {
  DeleteControlColorBrush(window);
  gControlColorBrush = CreateSolidBrushHandle(color.ToPaletteColorRef());
  return gControlColorBrush;
}

// ---------------------------------------------------------------------------
// Shared drawing objects

void CP_Pane::SetEnvironment(CP_CanvasEnvironment* environment) {
  // The new one first: giving a pane the environment it holds must not
  // delete it.
  if (environment) environment->AddReference();
  if (fEnvironment) fEnvironment->RemoveReference();
  fEnvironment = environment;
}

void CP_Pane::SetBackgroundPicture(CP_Picture* picture) {
  if (picture) picture->AddReference();
  if (fBackgroundPicture) fBackgroundPicture->RemoveReference();
  fBackgroundPicture = picture;
}

// The earlier trait is given back when another one replaces it.
void CP_Pane::SetTextTrait(CP_TextTrait* trait) {
  if (trait != fTextTrait) {
    CP_TextTrait* earlier = fTextTrait;
    fTextTrait = trait;
    if (trait) trait->AddReference();
    if (earlier) earlier->RemoveReference();
  }
  if (!fWindow || !fCanvas) return;
  CP_ST_DCCanvas scope(this);
  if (fTextTrait) fCanvas->GetFont().ApplyTextTrait(*fTextTrait);
  SendMessageA(fWindow, WM_SETFONT, reinterpret_cast<WPARAM>(fCanvas->GetFont().GetHandle()), TRUE);
  if (fTextTrait) {
    // Centred and right-aligned for edit and static controls.
    const int16_t justification = fTextTrait->GetJustification();
    const LONG style = GetWindowLongA(fWindow, GWL_STYLE);
    if (justification == 1) SetWindowLongA(fWindow, GWL_STYLE, style | 0x1);
    if (justification == 2) SetWindowLongA(fWindow, GWL_STYLE, style | 0x2);
    fCanvas->SetForegroundColor(fTextTrait->GetColor());
  }
}

void CP_Pane::AddAdorner(CP_Adorner* adorner) {
  if (!adorner) return;
  fOverAdorners.push_back(adorner);
  adorner->AddReference();
  adorner->PaneChanged(this);
}

void CP_Pane::AddUnderAdorner(CP_Adorner* adorner) {
  if (!adorner) return;
  fUnderAdorners.push_back(adorner);
  adorner->AddReference();
  adorner->PaneChanged(this);
}

// The pane holds one reference per entry: as many go as entries are taken
// out, and none for an adorner the list does not hold.
void CP_Pane::RemoveFrom(std::vector<CP_Adorner*>& list, CP_Adorner* adorner, CP_Pane* pane) {
  if (!adorner) return;
  const auto entries = std::count(list.begin(), list.end(), adorner);
  if (entries == 0) return;
  adorner->PaneChanged(pane);
  list.erase(std::remove(list.begin(), list.end(), adorner), list.end());
  for (auto k = entries; k > 0; --k) adorner->RemoveReference();
}

void CP_Pane::RemoveAdorner(CP_Adorner* adorner) { RemoveFrom(fOverAdorners, adorner, this); }
void CP_Pane::RemoveUnderAdorner(CP_Adorner* adorner) { RemoveFrom(fUnderAdorners, adorner, this); }

CP_Adorner* CP_Pane::GetAdorner(int16_t n) const {
  if (n < 1 || size_t(n) > fOverAdorners.size()) return nullptr;
  return fOverAdorners[size_t(n) - 1];
}

void CP_Pane::DrawUnderAdorners() {
  const std::vector<CP_Adorner*> adorners = fUnderAdorners;
  for (CP_Adorner* adorner : adorners) adorner->DrawAdornment(fCanvas.get(), this);
}

void CP_Pane::DrawOverAdorners() {
  const std::vector<CP_Adorner*> adorners = fOverAdorners;
  for (CP_Adorner* adorner : adorners) adorner->DrawAdornment(fCanvas.get(), this);
}

void CP_Pane::TellAdorners() {
  const std::vector<CP_Adorner*> over = fOverAdorners;
  for (CP_Adorner* adorner : over) adorner->PaneChanged(this);
  const std::vector<CP_Adorner*> under = fUnderAdorners;
  for (CP_Adorner* adorner : under) adorner->PaneChanged(this);
}

// ---------------------------------------------------------------------------
// Streaming

void CP_Pane::WriteToStream(CP_OutStream& out) {
  CP_M_Reanimatable::WriteToStream(out);
  const int16_t version = int16_t(out.GetVersion());
  // The location is kept in the super-pane's client coordinates, as the
  // reader takes it back.
  out.WritePoint(fLocation);
  out.WriteSize(fSize);
  out.WriteInt16(fVisibleState).WriteInt16(fActiveState).WriteInt16(fEnabledState);
  out.WriteBindings(fBindings);
  out.WriteInt32(fIdentifier);
  out.WriteInt16(fTagA).WriteInt16(fTagB);
  if (version > 1) out.WriteRGBColor(fBackgroundColor).WriteBool(fOwnBackground);
  if (version > 3) out.WriteString(GetTooltipText(CP_Point()));
}

// A stored visible or active state comes back latent: the pane waits for its
// super-pane. The stored enabled state is not used.
void CP_Pane::ReadFromStream(void* context, CP_InStream& in) {
  CP_M_Reanimatable::ReadFromStream(context, in);
  int16_t visible = 0, active = 0, enabled = 0;
  in.ReadPoint(fLocation);
  in.ReadSize(fSize);
  in.ReadInt16(visible).ReadInt16(active).ReadInt16(enabled);
  fVisibleState = (visible & 0xFF) ? kLatent : kOff;
  fActiveState = (active & 0xFF) ? kLatent : kOff;
  fEnabledState = kOn;
  in.ReadBindings(fBindings);
  in.ReadInt32(fIdentifier);
  in.ReadInt16(fTagA).ReadInt16(fTagB);
  // Asked only now: a stream's header, with its version, is read with the
  // first value.
  const int16_t version = int16_t(in.GetVersion());
  if (version > 1) in.ReadRGBColor(fBackgroundColor).ReadBool(fOwnBackground);
  if (version > 3) {
    std::string tooltip;
    in.ReadString(tooltip);
    if (!tooltip.empty()) fTooltip = std::make_unique<std::string>(tooltip);
  }
}
