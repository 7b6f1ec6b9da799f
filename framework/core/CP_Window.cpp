#include "CP_Window.h"

#include "CP_Canvas.h"
#include "CP_Desktop.h"
#include "CP_DocApplication.h"
#include "CP_Event.h"
#include "CP_FileSpec.h"
#include "CP_InStream.h"
#include "CP_MenuBar.h"
#include "CP_OutStream.h"
#include "CP_PushButton.h"
#include "CP_Utilities.h"
#include "CP_WindowMenuMgr.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The tag of each sub-pane record that follows a window's own.
constexpr uint32_t kSubPaneTag = CP_FourCC("subv");

// One buffer for the tooltip texts of all windows: the tooltip control reads
// it after the notification returns.
char gTooltipText[512];

int16_t Clamp(int16_t value, int16_t minimum, int16_t maximum) {
  if (value < minimum) value = minimum;
  if (value > maximum) value = maximum;
  return value;
}

}  // namespace

// ---------------------------------------------------------------------------
// The description

void CP_WindowInfo::SetKind(uint8_t kind_) {
  style = 0;
  reserved = 0;
  exStyle = 0;
  startMinimized = 0;
  kind = kind_;
  switch (kind_) {
    case 1:
      closeBox = 1, option2 = 0, option3 = 0, maximizeBox = 1, option6 = 1, minimizeBox = 1;
      SetWindowType(1);
      break;
    case 2:
      closeBox = 1, option2 = 0, option3 = 1, maximizeBox = 0, option6 = 0, minimizeBox = 0;
      SetWindowType(8);
      break;
    case 3:
      closeBox = 0, option2 = 0, option3 = 0, maximizeBox = 0, option6 = 0, minimizeBox = 0;
      SetWindowType(4);
      break;
    default:
      break;
  }
  placement = 0;
  eraseOnRefresh = 1;
  minimumSize = CP_Size(100, 100);
  maximumSize = CP_Size(32767, 32767);
}

void CP_WindowInfo::SetWindowType(int16_t type) {
  windowType = uint32_t(int32_t(type));
  switch (type) {
    case 1:
      // WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME
      style = 0x02CC0000;
      if (maximizeBox == 1) style |= WS_MAXIMIZEBOX;
      if (minimizeBox == 1) style |= WS_MINIMIZEBOX;
      exStyle = 0;
      break;
    case 3:
    case 5:
    case 6:
      style = 0x80400000;  // WS_POPUP | WS_DLGFRAME
      exStyle = WS_EX_TOOLWINDOW;
      break;
    case 4:
      style = 0x80C00000;  // WS_POPUP | WS_CAPTION
      exStyle = WS_EX_TOOLWINDOW;
      break;
    case 8:
      style = 0x80C80000;  // WS_POPUP | WS_CAPTION | WS_SYSMENU
      exStyle = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
      break;
    default:
      break;  // 2 and 7 keep the styles as they are
  }
}

// ---------------------------------------------------------------------------
// Construction and destruction

CP_Window::CP_Window(CP_M_Commander* parent, const CP_WindowInfo& info, const std::string& title,
                     uint8_t create)
    : CP_View(info.pane.location, info.pane.size), CP_M_Commander(parent) {
  SetUpWindow(info, title, create);
}

CP_Window::CP_Window(CP_M_Commander* parent, const CP_Point& position, const CP_Size& size,
                     const std::string& title, uint8_t create)
    : CP_Window(parent, CP_WindowInfo(CP_PaneInfo(position, size), kDocument), title, create) {}

void CP_Window::SetUpWindow(const CP_WindowInfo& info, const std::string& title, uint8_t create) {
  RegisterWindowClass();
  fReserved = nullptr;
  fTabHandler.reset();
  fTooltipSwitch = 0;
  fOwnsItself = 1;
  fActiveState = kOff;
  fVisibleState = kOn;
  fEnabledState = kOn;
  fStructure = CP_Region();
  fContent = CP_Region();
  fInfo = info;
  if (create == 1) {
    AttachNativeWindow(info, title, -1);
    TakeFocus(nullptr);
    if (fInfo.kind == kDocument)
      if (CP_WindowMenuMgr* manager = CP_WindowMenuMgr::GetManager()) manager->AddWindow(this);
  }
  fBackgroundColor = DefaultBackground();
  fOwnBackground = 1;
  if (fInfo.startMinimized != 0) ShowWindow(fFrame, SW_MINIMIZE);
  SetPendingTarget(this);
}

CP_Window::~CP_Window() {
  if (GetKind() == kDocument)
    if (CP_WindowMenuMgr* manager = CP_WindowMenuMgr::GetManager()) manager->RemoveWindow(this);
  ChangeTarget(GetParentCommander());
  DeleteSubPanes();
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  if (fFrame) {
    if (desktop) {
      if (GetKind() == kDocument) desktop->RemoveDocumentWindow(this);
      desktop->HideWindow(this);
    }
    CP_View::Hide();
    if (desktop) desktop->ForgetHandle(fFrame);
  }
  fTabHandler.reset();
  // A closed window leaves no live native window behind that other programs
  // could still find by its title.
  HWND frame = fFrame;
  ReleaseWindow();
  fWindow = nullptr;
  fFrame = nullptr;
  if (frame) DestroyWindow(frame);
}

void CP_Window::AttachNativeWindow(const CP_WindowInfo& info, const std::string& title, int32_t) {
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  fFrame = desktop ? desktop->CreateNativeWindow(this, info, title) : nullptr;
  InstallWindow(fFrame, TopWindowProc);
  UpdateRegions();
  if (!desktop || !fFrame) return;
  desktop->AddWindow(this, fFrame);
  desktop->PlaceWindow(this, info.placement);
}

// ---------------------------------------------------------------------------
// Geometry

void CP_Window::UpdateRegions() {
  RECT outer = {}, client = {};
  GetWindowRect(fFrame, &outer);
  GetClientRect(fFrame, &client);
  const int32_t outerWidth = outer.right - outer.left;
  const int32_t outerHeight = outer.bottom - outer.top;
  const int32_t widthDifference = outerWidth - client.right;
  const int32_t caption = (outerHeight - client.bottom) - widthDifference;
  fStructure.SetRect(0, 0, int16_t(outerWidth), int16_t(outerHeight));
  CP_Rect content(client.left, client.top, client.right, client.bottom);
  content.Offset(widthDifference / 2, caption);
  fContent.SetFromRect(content);
}

int16_t CP_Window::GetBorderWidth() const {
  return int16_t(fContent.GetBounds().left - fStructure.GetBounds().left);
}

int16_t CP_Window::GetCaptionHeight() const {
  return int16_t(fContent.GetBounds().top - fStructure.GetBounds().top);
}

int16_t CP_Window::GetWidth() const { return fStructure.GetWidth(); }
int16_t CP_Window::GetHeight() const { return fStructure.GetHeight(); }

CP_Rect CP_Window::GetFrame() const {
  RECT client = {};
  GetClientRect(fFrame, &client);
  return CP_Rect(0, 0, client.right - client.left, client.bottom - client.top);
}

void CP_Window::LocalToGlobalPoint(CP_Point& point) const {
  POINT p = point.ToPOINT();
  ClientToScreen(fFrame, &p);
  point = CP_Point(p);
}

void CP_Window::GlobalToLocalPoint(CP_Point& point) const {
  POINT p = point.ToPOINT();
  ScreenToClient(fFrame, &p);
  point = CP_Point(p);
}

void CP_Window::LocalToGlobalRect(CP_Rect& rect) const {
  CP_Point topLeft(rect.left, rect.top);
  LocalToGlobalPoint(topLeft);
  rect.Offset(topLeft.h - rect.left, topLeft.v - rect.top);
}

void CP_Window::GlobalToLocalRect(CP_Rect& rect) const {
  CP_Point topLeft(rect.left, rect.top);
  GlobalToLocalPoint(topLeft);
  rect.Offset(topLeft.h - rect.left, topLeft.v - rect.top);
}

void CP_Window::DoMoveTo(const CP_Point& point, bool refresh) {
  MoveWindow(fFrame, point.h, point.v, GetWidth(), GetHeight(), TRUE);
  fPosition = point;
  UpdateRegions();
  if (refresh && IsVisible()) Refresh();
}

void CP_Window::SetContentSize(const CP_Size& size, bool) {
  const int16_t width = Clamp(size.width, fInfo.minimumSize.width, fInfo.maximumSize.width);
  const int16_t height = Clamp(size.height, fInfo.minimumSize.height, fInfo.maximumSize.height);
  const int32_t border = GetBorderWidth();
  SetWindowPos(fFrame, nullptr, 0, 0, width + 2 * border, height + 2 * border + GetCaptionHeight(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ResizeTo(CP_Size(width, height));
}

// The limits are content sizes, so the content size is what is clamped: the
// outer size would grow the window by its frame each time.
void CP_Window::SetSizeLimits(const CP_Size& minimum, const CP_Size& maximum, bool refresh) {
  fInfo.minimumSize = minimum;
  fInfo.maximumSize = maximum;
  if (fInfo.maximumSize.width < minimum.width) fInfo.maximumSize.width = minimum.width;
  if (fInfo.maximumSize.height < minimum.height) fInfo.maximumSize.height = minimum.height;
  const CP_Size content = fFrame ? CP_Size(GetFrame().Width(), GetFrame().Height()) : fSize;
  const CP_Size clamped(Clamp(content.width, fInfo.minimumSize.width, fInfo.maximumSize.width),
                        Clamp(content.height, fInfo.minimumSize.height, fInfo.maximumSize.height));
  if (clamped != content) SetContentSize(clamped, refresh);
}

void CP_Window::ResizeTo(const CP_Size& size) {
  CP_View::ResizeTo(size);
  UpdateRegions();
  if (IsVisible()) Refresh();
}

LRESULT CP_Window::HandleClientResize(int16_t width, int16_t height) {
  const CP_Size old = fSize;
  fSize = CP_Size(width, height);
  const int16_t dw = int16_t(width - old.width);
  const int16_t dh = int16_t(height - old.height);
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (CP_Pane* pane : panes) pane->FollowParentResize(dw, dh);
  UpdateRegions();
  return 0;
}

std::string CP_Window::GetTitle() const {
  const int length = GetWindowTextLengthA(fFrame);
  std::string title(size_t(std::max(length, 0)) + 1, '\0');
  const int copied = GetWindowTextA(fFrame, &title[0], length + 1);
  title.resize(size_t(std::max(copied, 0)));
  return title;
}

void CP_Window::SetTitle(const std::string& title) { SetWindowTextA(fFrame, title.c_str()); }

// ---------------------------------------------------------------------------
// Drawing and states

void CP_Window::RefreshRegion(const CP_Region& region) {
  TakeFocus(nullptr);
  InvalidateRgn(fFrame, region.GetHandle(), fInfo.eraseOnRefresh);
}

void CP_Window::RefreshRectangle(const CP_Rect& rect) {
  ClearCurrentPane();
  TakeFocus(nullptr);
  if (!fFrame) return;
  const RECT r = rect.ToRECT();
  InvalidateRect(fFrame, &r, fInfo.eraseOnRefresh);
}

void CP_Window::UpdateNow() { UpdateWindow(fFrame); }

bool CP_Window::IsVisible() const { return fFrame && IsWindowVisible(fFrame); }

bool CP_Window::IsMinimized() const { return IsIconic(fFrame); }
bool CP_Window::IsMaximized() const { return IsZoomed(fFrame); }

int16_t CP_Window::GetSizeState() const {
  if (IsMinimized()) return 1;
  if (IsMaximized()) return 2;
  return 0;
}

void CP_Window::Activate() {
  if (fActiveState == kOn || !IsVisible()) return;
  fActiveState = kOn;
  CP_View::Activate();
  if (fPendingTarget) ChangeTarget(fPendingTarget);
  UpdateMenusForTarget();
}

// Remembers the target inside the window, so that activating it again
// brings that target back.
void CP_Window::Deactivate() {
  CP_M_Commander* inside = FindTargetSubPane();
  SetPendingTarget(inside ? inside : static_cast<CP_M_Commander*>(this));
  if (GetParentCommander()) ChangeTarget(GetParentCommander());
  CP_View::Deactivate();
}

// The pane is kept beside the commander: once the pane's destruction has
// begun its commander part can no longer be reached from it.
void CP_Window::SetPendingTarget(CP_M_Commander* target) {
  fPendingTarget = target;
  fPendingPane = target == this ? nullptr : dynamic_cast<CP_Pane*>(target);
}

// Only the pointers of the pending pane's super-panes are followed: they
// are still in the window and alive.
void CP_Window::ForgetPendingTarget(const CP_Pane* leaving) {
  for (const CP_Pane* pane = fPendingPane; pane; pane = pane->GetSuperPane()) {
    if (pane != leaving) continue;
    SetPendingTarget(this);
    return;
  }
}

void CP_Window::Show() {
  if (IsVisible()) return;
  fVisibleState = kOn;
  if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) desktop->ShowWindow(this);
  ShowOwnWindow();
  UpdateRegions();
  CP_View::Show();
  ChangeTarget(fPendingTarget);
}

void CP_Window::Hide() {
  CP_View::Hide();
  Deactivate();
}

void CP_Window::BringToFront() {
  if (!IsVisible()) Show();
  BringWindowToTop(fFrame);
}

// ---------------------------------------------------------------------------
// Commands and keys

bool CP_Window::TryClose() {
  CP_M_Commander* parent = GetParentCommander();
  if (!parent || !parent->ApproveChildClose(this)) return false;
  if (fOwnsItself == 1) delete this;
  return true;
}

int32_t CP_Window::ExecuteCommand(int32_t command) {
  if (command == kCmd_Close) {
    TryClose();  // may delete the window
    return 0;
  }
  return CP_M_Commander::ExecuteCommand(command);
}

void CP_Window::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  if (command != kCmd_Close) {
    CP_M_Commander::GetCommandStatus(command, menu);
    return;
  }
  if (fInfo.closeBox == 1)
    if (CP_MenuBar* bar = CP_MenuBar::GetMenuBar()) bar->EnableCommand(kCmd_Close);
}

bool CP_Window::HandleKey(int16_t key, CP_Event& event) {
  if (IsEnabled()) {
    if (key == ' ')
      if (CP_PushButton* button = CP_PushButton::GetDefaultButton())
        if (button->PressDefault()) return true;
    if (key == VK_TAB && fTabHandler) return fTabHandler->HandleKey(key, event);
  }
  return CP_M_Commander::HandleKey(key, event);
}

// ---------------------------------------------------------------------------
// Messages

LRESULT CP_Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE: {
      // lParam names the other window: the one losing activation when this
      // one becomes active, and the one gaining it when this one goes.
      CP_Desktop* desktop = CP_Desktop::GetDesktop();
      CP_Window* other = desktop ? desktop->FindWindowByHandle(reinterpret_cast<HWND>(lParam)) : nullptr;
      if (other) {
        if (LOWORD(wParam) == WA_INACTIVE)
          other->Activate();
        else
          other->Deactivate();
      }
      return 0;
    }
    case WM_CLOSE:
      ExecuteCommand(kCmd_Quit);  // may delete the window: nothing of it is touched after
      return 0;
    case WM_MOVE:
      fPosition = CP_Point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam)));
      return kNotHandled;
    case WM_SIZE: {
      // A minimised window has no client area; its panes keep their sizes
      // for the restore.
      if (wParam == SIZE_MINIMIZED) return 0;
      RECT client = {};
      GetClientRect(window, &client);
      return HandleClientResize(int16_t(client.right), int16_t(client.bottom));
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        ExecuteCommand(kCmd_Quit);
        return 0;
      }
      return CallSavedWindowProc(window, message, wParam, lParam);
    default:
      return HandleFrameMessage(window, message, wParam, lParam);
  }
}

LRESULT CP_Window::HandleChildFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(wParam) == fFrame) Deactivate();
      if (reinterpret_cast<HWND>(lParam) == fFrame) Activate();
      return 0;
    case WM_COMMAND: {
      const LRESULT result = HandleCommandMessage(window, wParam, lParam);
      if (result != kNotHandled) return result;
      return DefMDIChildProcA(window, message, wParam, lParam);
    }
    case WM_CLOSE:
      return LRESULT(int16_t(ExecuteCommand(kCmd_Close)));
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        RECT client = {};
        GetClientRect(window, &client);
        HandleClientResize(int16_t(client.right), int16_t(client.bottom));
      }
      return DefMDIChildProcA(window, message, wParam, lParam);
    default:
      return HandleFrameMessage(window, message, wParam, lParam);
  }
}

LRESULT CP_Window::HandleFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (CP_IsCharacterKey(uint32_t(wParam))) return CP_Pane::HandleMessage(window, message, wParam, lParam);
      return DeliverKey(CP_TranslateKey(uint32_t(wParam)), lParam);
    case WM_CHAR:
      return DeliverKey(uint32_t(wParam), lParam);
    case WM_DROPFILES:
      return HandleDropFiles(wParam);
    case WM_ERASEBKGND:
      return HandleEraseBackground(window, wParam, lParam);
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
      UpdateMenusForTarget();
      return 0;
    case WM_GETMINMAXINFO:
      return HandleMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    default:
      return CP_Pane::HandleMessage(window, message, wParam, lParam);
  }
}

LRESULT CP_Window::DeliverKey(uint32_t key, LPARAM lParam) {
  CP_Event event;
  event.kind = WM_CHAR;
  event.message = WM_CHAR;
  event.window = fFrame;
  event.wParam = key;
  event.lParam = lParam;
  CP_M_Commander* target = GetTarget();
  if (!target) return 0;  // no target: the key is dropped
  return target->RouteKey(int16_t(key), event) ? 1 : 0;
}

LRESULT CP_Window::HandleMinMaxInfo(MINMAXINFO* info) const {
  if (!info) return 0;
  const int32_t border = GetBorderWidth();
  const int32_t caption = GetCaptionHeight();
  const CP_Size& minimum = fInfo.minimumSize;
  const CP_Size& maximum = fInfo.maximumSize;
  if (minimum != CP_Size(0, 0)) {
    info->ptMinTrackSize.x = minimum.width + 2 * border;
    info->ptMinTrackSize.y = minimum.height + 2 * border + caption;
  }
  if (maximum != CP_Size(32767, 32767)) {
    info->ptMaxTrackSize.x = maximum.width + 2 * border;
    info->ptMaxTrackSize.y = maximum.height + 2 * border + caption;
  }
  return 0;
}

LRESULT CP_Window::HandleCommandMessage(HWND, WPARAM wParam, LPARAM lParam) {
  if (lParam == 0) {
    // A menu item or an accelerator.
    CP_M_Commander* target = GetTarget();
    if (!target) return 0;
    const int32_t command = LOWORD(wParam);
    if (!target->RunEventHandlers(kEventKind_ExecuteCommand, uint32_t(command))) return 0;
    return LRESULT(int16_t(target->ExecuteCommand(command)));
  }
  HWND control = reinterpret_cast<HWND>(lParam);
  const uint32_t code = HIWORD(wParam);
  if (code == 1 || code == 2) {
    if (CP_Pane* pane = FromWindow(control)) pane->HandleControlNotification(wParam, lParam);
  } else {
    SendMessageA(control, WM_COMMAND, wParam, lParam);
  }
  return 0;
}

LRESULT CP_Window::HandleNotify(HWND, WPARAM, LPARAM lParam) {
  auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
  if (!info || info->hdr.code != TTN_NEEDTEXTA || fTooltipSwitch == 0) return kNotHandled;
  CP_Pane* pane = FromWindow(reinterpret_cast<HWND>(info->hdr.idFrom));
  if (!pane) return kNotHandled;
  POINT cursor = {};
  GetCursorPos(&cursor);
  ScreenToClient(pane->GetHWND(), &cursor);
  // Longer texts are cut to fit the buffer.
  const std::string text = pane->GetTooltipText(CP_Point(cursor));
  const size_t length = std::min(text.size(), sizeof gTooltipText - 1);
  std::memcpy(gTooltipText, text.data(), length);
  gTooltipText[length] = '\0';
  info->lpszText = gTooltipText;
  return 1;
}

// Each name is read whole, at the length Windows reports for it: a name cut
// to a fixed buffer would open some other file.
LRESULT CP_Window::HandleDropFiles(WPARAM dropHandle) {
  HDROP drop = reinterpret_cast<HDROP>(dropHandle);
  POINT where = {};
  DragQueryPoint(drop, &where);
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    const UINT length = DragQueryFileA(drop, index, nullptr, 0);
    std::vector<char> name(size_t(length) + 1, '\0');
    DragQueryFileA(drop, index, name.data(), length + 1);
    OpenDroppedFile(CP_FileSpec(std::string(name.data()), false));
  }
  DragFinish(drop);
  return -1;
}

void CP_Window::OpenDroppedFile(const CP_FileSpec& file) {
  if (auto* application = dynamic_cast<CP_DocApplication*>(GetDefaultCommander()))
    application->OpenDocumentFile(file);
}

CP_RGBColor CP_Window::DefaultBackground() const {
  return GetSystemColor(int16_t(GetKind() == kDialogLike ? COLOR_BTNFACE : COLOR_WINDOW));
}

// A background picture is not drawn by the window: it only keeps the
// message from the native procedure.
LRESULT CP_Window::HandleEraseBackground(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!fBackgroundPicture && fInfo.eraseOnRefresh == 0)
    return CallSavedWindowProc(window, WM_ERASEBKGND, wParam, lParam);
  HDC dc = reinterpret_cast<HDC>(wParam);
  RECT area = {};
  const int kind = GetClipBox(dc, &area);
  if (kind == NULLREGION || kind == ERROR) GetClientRect(window, &area);
  const CP_RGBColor color = fEnvironment     ? fEnvironment->GetBackgroundColor()
                            : fOwnBackground ? GetBackgroundColor()
                                             : DefaultBackground();
  HBRUSH brush = CreateSolidBrushHandle(color.ToPaletteColorRef());
  HGDIOBJ old = SelectObject(dc, brush);
  PatBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, PATCOPY);
  SelectObject(dc, old);
  DeleteGdiObject(brush);
  return 1;
}

// ---------------------------------------------------------------------------
// Streaming. The reader takes back exactly what the writer puts: the view's
// record, then the description; the sub-panes follow as tree records that
// the stored-tree reader rebuilds on their own.

void CP_Window::WriteToStream(CP_OutStream& out) {
  CP_View::WriteToStream(out);
  const int16_t version = int16_t(out.GetVersion());
  out.WriteString(GetTitle());
  out.WriteInt32(int32_t(fInfo.windowType)).WriteInt32(int32_t(fInfo.reserved));
  out.WriteInt32(int32_t(fInfo.style)).WriteInt32(int32_t(fInfo.exStyle));
  out.WriteInt16(fInfo.kind).WriteInt16(fInfo.placement);
  out.WriteBool(fInfo.closeBox).WriteBool(fInfo.option2).WriteBool(fInfo.option3);
  out.WriteBool(fInfo.eraseOnRefresh).WriteBool(fInfo.maximizeBox).WriteBool(fInfo.option6);
  out.WriteSize(fInfo.minimumSize).WriteSize(fInfo.maximumSize);
  if (version > 4) out.WriteInt16(fInfo.startMinimized);
  if (version > 5) out.WriteBool(fInfo.minimizeBox);
  for (CP_Pane* pane : fSubPanes) {
    out.WriteInt32(int32_t(kSubPaneTag));
    pane->WriteClassName(out);
  }
}

void CP_Window::ReadFromStream(void* context, CP_InStream& in) {
  CP_View::ReadFromStream(context, in);
  const int16_t version = int16_t(in.GetVersion());
  CP_WindowInfo info(CP_PaneInfo(fLocation, fSize), kDocument);
  std::string title;
  int32_t type = 0, reserved = 0, style = 0, exStyle = 0;
  int16_t kind = 0;
  in.ReadString(title);
  in.ReadInt32(type).ReadInt32(reserved).ReadInt32(style).ReadInt32(exStyle);
  in.ReadInt16(kind).ReadInt16(info.placement);
  info.windowType = uint32_t(type);
  info.reserved = uint32_t(reserved);
  info.style = uint32_t(style);
  info.exStyle = uint32_t(exStyle);
  info.kind = uint8_t(kind);
  in.ReadBool(info.closeBox).ReadBool(info.option2).ReadBool(info.option3);
  in.ReadBool(info.eraseOnRefresh).ReadBool(info.maximizeBox).ReadBool(info.option6);
  in.ReadSize(info.minimumSize).ReadSize(info.maximumSize);
  if (version > 4) in.ReadInt16(info.startMinimized);
  if (version > 5) in.ReadBool(info.minimizeBox);
  // A background colour set before the window is made stays.
  const CP_RGBColor color = fBackgroundColor;
  const uint8_t ownBackground = fOwnBackground;
  SetUpWindow(info, title, 1);
  if (ownBackground) fBackgroundColor = color;
}
