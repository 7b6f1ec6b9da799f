#pragma once
// A rectangle of the screen with its own native child window, placed inside
// a super-view. The framework's window procedure finds the pane again
// through the window's user data and turns each message into a call of one
// of the pane's virtual operations.
#include "CP_EventHandler.h"
#include "CP_Geometry.h"
#include "CP_RGBColor.h"
#include "CP_Streamable.h"
#include "CP_Win.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CP_Adorner;
class CP_Canvas;
class CP_CanvasEnvironment;
class CP_Event;
class CP_Menu;
class CP_Picture;
class CP_Printer;
class CP_Region;
class CP_TextTrait;
class CP_View;
class CP_Window;

// Describes a pane to be made.
class CP_PaneInfo {
 public:
  CP_PaneInfo() = default;
  CP_PaneInfo(const CP_Point& location_, const CP_Size& size_) : location(location_), size(size_) {}

  CP_Point location;
  CP_Size size;
  uint8_t visible = 1;
  CP_Bindings bindings;
  int32_t identifier = -1;
};

// The framework's key codes for navigation and function keys; other keys
// keep their Windows code.
enum : int16_t {
  kKey_Left = 0xC1,
  kKey_Right = 0xC2,
  kKey_Up = 0xC3,
  kKey_Down = 0xC4,
  kKey_Home = 0xC5,
  kKey_End = 0xC6,
  kKey_PageUp = 0xC7,
  kKey_PageDown = 0xC8,
  kKey_PrintScreen = 0xC9,
  kKey_Insert = 0xCA,
  kKey_Delete = 0xCB,
  kKey_F1 = 0xCC,  // F1 to F15: 0xCC to 0xDA
};

// Keys whose characters arrive again as WM_CHAR: a key-down of them goes to
// the native procedure untranslated.
bool CP_IsCharacterKey(uint32_t virtualKey);
// The framework code of a virtual key; keys outside the table keep theirs.
uint32_t CP_TranslateKey(uint32_t virtualKey);

class CP_Pane : public CP_M_Reanimatable, public virtual CP_M_EventHandlerAttachable {
 public:
  // A pane with this identifier receives no messages through the framework.
  static constexpr int32_t kSilentIdentifier = int32_t(0xF3F3F3F3);
  // HandleMessage's answer for "not handled": the window procedure then lets
  // DefWindowProcA answer.
  static constexpr LRESULT kNotHandled = LRESULT(int32_t(0x80000000));

  // The three-state switches: on as far as the pane goes, but held back
  // while the super-pane is not showing, is "latent".
  enum State : uint8_t { kOff = 0, kOn = 1, kLatent = 2 };

  // None of these makes the native window; MakeWindow does that afterwards.
  CP_Pane(CP_View* superPane, const CP_PaneInfo& info);
  CP_Pane(CP_View* superPane, const CP_Point& location, const CP_Size& size);
  CP_Pane(const CP_Point& location, const CP_Size& size);
  explicit CP_Pane(const CP_Rect& frame);
  // Does not destroy the native window: the view that owns the pane does.
  ~CP_Pane() override;

  // The pane of a framework window; null for any other window, also one that
  // keeps a pointer of its own in its user data.
  static CP_Pane* FromWindow(HWND window);

  // Streaming: the pane's fields in a fixed order; which of them a stream
  // holds depends on its format version.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;

  // Coordinates.
  virtual void LocalToGlobalPoint(CP_Point& point) const;
  virtual void LocalToGlobalRect(CP_Rect& rect) const;
  virtual void GlobalToLocalPoint(CP_Point& point) const;
  virtual void GlobalToLocalRect(CP_Rect& rect) const;
  virtual void UpdateOriginOffset(CP_View* superPane);

  // The three-state switches (see the .cpp for the table).
  virtual void Activate();
  virtual void Deactivate();
  virtual void ParentActivated();
  virtual void ParentDeactivated();
  virtual void Show();
  virtual void Hide();
  virtual void ParentShown();
  virtual void ParentHidden();
  virtual void Enable();
  virtual void Disable();
  virtual void ParentEnabled();
  virtual void ParentDisabled();

  virtual void Refresh();
  // Readies drawing into the pane; the canvas is null outside printing.
  virtual void TakeFocus(CP_Canvas*) {}
  // Only when visible: the under-content adorners, the content, the
  // over-content adorners.
  virtual void Draw(const CP_Region& area);
  virtual void UpdateNow();
  virtual CP_Window* GetOwnerWindow();
  virtual CP_Point GetLocation() const { return fLocation; }
  virtual int16_t GetWidth() const { return fSize.width; }
  virtual int16_t GetHeight() const { return fSize.height; }
  virtual CP_Rect GetFrame() const { return GetOffsetFrameRect(); }
  // The own colour when set, else the super-pane's, else the system's
  // window colour.
  virtual CP_RGBColor GetBackgroundColor() const;
  virtual void RefreshRegion(const CP_Region& region);
  virtual void RefreshRectangle(const CP_Rect& rect);
  virtual void HandleDoubleClick(CP_Event& event, const CP_Point& point, uint32_t keys);
  virtual void HandleMouseDown(CP_Event& event, const CP_Point& point);
  virtual void HandleMouseUp(CP_Event& event);
  virtual void SetFrame(const CP_Rect& frame, uint8_t redraw);
  virtual void FollowParentResize(int16_t dw, int16_t dh);
  virtual void FollowParentScroll(int16_t dh, int16_t dv);
  virtual void OffsetPosition(const CP_Point& delta);
  // Draws into the print canvas with the print frame in place of the frame.
  virtual void DrawForPrinting(const CP_Region& paper, CP_Canvas* printCanvas, int16_t page);
  virtual void CountPrintPages(CP_Printer* printer, const CP_Rect& paper, int16_t& columns,
                               int16_t& rows);
  virtual void BeginPrinting(CP_Printer*) {}
  virtual void EndPrinting(CP_Printer*) {}
  virtual void SetParentPane(CP_View* view, uint8_t deleteItsSubPanes);
  virtual bool IsVisible() const;
  virtual void BroadcastToTree() { TreeNotice(); }
  virtual void TooltipHook() {}
  virtual void SetContextMenu(CP_Menu* menu);
  virtual CP_Menu* GetContextMenu() const { return fContextMenu; }
  virtual bool ShowContextMenu(const CP_Point& point);
  virtual void ActivateOwn();
  virtual void DeactivateOwn();
  virtual void ShowOwnWindow();
  virtual void HideOwnWindow();
  virtual void EnableOwn();
  virtual void DisableOwn();
  virtual void UpdateCursor(const CP_Point& point);
  virtual void DrawContent(const CP_Region&) {}
  virtual void HandleOwnClick(CP_Event&, const CP_Point&, uint32_t) {}
  virtual void HandleOwnMouseUp(CP_Event&) {}
  virtual void PrintContent(const CP_Region& paper, int16_t page);
  virtual void ResizeTo(const CP_Size& size);
  virtual void MoveTo(const CP_Point& point, uint8_t redraw);
  virtual void SubPaneMoved(int16_t, int16_t) {}
  virtual void TreeNotice() {}

  // The native window and its messages.
  virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT HandleChildFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual void RegisterWindowClass();
  virtual LRESULT HandleDrawItem(HWND, WPARAM, LPARAM) { return -1; }
  virtual LRESULT HandlePaint(HWND window, WPARAM wParam, LPARAM lParam);
  virtual LRESULT HandleCommandMessage(HWND window, WPARAM wParam, LPARAM lParam);
  // Runs on the control's own pane; answers the brush for its background.
  virtual LRESULT HandleControlColor(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT HandleEraseBackground(HWND window, WPARAM wParam, LPARAM lParam);
  virtual LRESULT HandleHorizontalScroll(HWND, WPARAM, LPARAM) { return -1; }
  virtual LRESULT HandleVerticalScroll(HWND, WPARAM, LPARAM) { return -1; }
  virtual LRESULT HandleControlNotification(WPARAM, LPARAM) { return -1; }
  virtual LRESULT HandleNotify(HWND, WPARAM, LPARAM) { return -1; }
  // What a control's pane hears after its window sent a WM_COMMAND
  // notification with code 0; controls override it.
  virtual void ControlHook1(uint32_t) {}

  // Registers the "CP_Pane" class once per run, makes a child window of it
  // in the super-pane's window and puts the framework procedure in front.
  void MakeWindow(CP_View* superPane, const CP_Point& location, const CP_Size& size);
  // Makes a native window for the pane and enters the pane in its user data;
  // the next child identifier is taken from the framework's window counter.
  HWND CreatePaneWindow(CP_View* superPane, const CP_Point& location, const CP_Size& size,
                        const std::string& title, const std::string& windowClass, uint32_t style,
                        uint32_t exStyle);

  // Accessors.
  HWND GetHWND() const { return fWindow; }
  int32_t GetIdentifier() const { return fIdentifier; }
  void SetIdentifier(int32_t identifier) { fIdentifier = identifier; }
  CP_View* GetSuperPane() const { return fSuperPane; }
  const CP_Bindings& GetBindings() const { return fBindings; }
  void SetBindings(const CP_Bindings& bindings) { fBindings = bindings; }
  // Stores the colour as the pane's own; with redraw 1 a shown pane is
  // redrawn.
  void SetBackgroundColor(const CP_RGBColor& color, uint8_t redraw);
  bool HasOwnBackground() const { return fOwnBackground != 0; }
  // Invalidates a rectangle of the pane's window, with erasing.
  void InvalidateRectangle(const CP_Rect& rect) { RefreshRectangle(rect); }

  // The pane's drawing surface, owned by the pane.
  CP_Canvas* GetCanvas() const { return fCanvas.get(); }
  // Drawing defaults shared with other panes; its background colour, when
  // the pane has one, is the colour the pane erases with. The pane holds one
  // reference.
  CP_CanvasEnvironment* GetEnvironment() const { return fEnvironment; }
  void SetEnvironment(CP_CanvasEnvironment* environment);
  // Font, justification and colour of the pane's text; the pane holds one
  // reference and applies the font to its window.
  CP_TextTrait* GetTextTrait() const { return fTextTrait; }
  void SetTextTrait(CP_TextTrait* trait);
  // Drawn over the client area when the pane is erased; the pane holds one
  // reference.
  CP_Picture* GetBackgroundPicture() const { return fBackgroundPicture; }
  void SetBackgroundPicture(CP_Picture* picture);
  // The frame the pane is printed in.
  void SetPrintFrame(const CP_Point& location, const CP_Size& size);

  // Adorners: one reference per list entry; each is told when it is added
  // or removed.
  void AddAdorner(CP_Adorner* adorner);       // drawn over the content
  void AddUnderAdorner(CP_Adorner* adorner);  // drawn under it
  void RemoveAdorner(CP_Adorner* adorner);
  void RemoveUnderAdorner(CP_Adorner* adorner);
  // The n-th over-content adorner, from 1; null past the end.
  CP_Adorner* GetAdorner(int16_t n) const;
  void DrawUnderAdorners();
  void DrawOverAdorners();
  State GetVisibleState() const { return State(fVisibleState); }
  State GetActiveState() const { return State(fActiveState); }
  State GetEnabledState() const { return State(fEnabledState); }
  bool IsActive() const { return fActiveState == kOn && IsVisible(); }
  bool IsEnabled() const { return fEnabledState == kOn && IsVisible(); }
  uint32_t GetWindowStyle() const { return fWindowStyle; }
  const CP_Point& GetOriginOffset() const { return fOriginOffset; }
  CP_Point GetNegatedOriginOffset() const { return CP_Point(int16_t(-fOriginOffset.h), int16_t(-fOriginOffset.v)); }
  uint32_t GetLastClickTime() const { return fLastClickTime; }
  const CP_Point& GetLastClickPoint() const { return fLastClickPoint; }

  // From the super-pane's coordinates into the pane's own, and back.
  CP_Point FrameToLocalPoint(const CP_Point& point) const { return point + fOriginOffset; }
  CP_Point LocalToFramePoint(const CP_Point& point) const { return point - fOriginOffset; }
  CP_Rect OffsetRectByOrigin(const CP_Rect& rect) const;
  // The frame in the super-pane's coordinates; offset by the origin, and at
  // (0, 0).
  CP_Rect GetFrameRect() const;
  CP_Rect GetOffsetFrameRect() const { return OffsetRectByOrigin(GetFrameRect()); }
  CP_Rect GetLocalFrameRect() const { return CP_Rect(0, 0, fSize.width, fSize.height); }
  // A point in the super-pane's coordinates; all four edges count as inside.
  bool ContainsPoint(const CP_Point& point) const { return GetFrameRect().ContainsPoint(point); }

  // The tooltip at a point of the pane; "" without one.
  std::string GetTooltipText(const CP_Point& point) const;
  void SetTooltipText(const std::string& text);

  // Used by a view when it lets the pane go.
  void ClearParentPane() { fSuperPane = nullptr; }

  void CallMoveTo(const CP_Point& point, uint8_t redraw) { MoveTo(point, redraw); }
  void CallResizeTo(const CP_Size& size) { ResizeTo(size); }
  void CallLocalToGlobalPoint(CP_Point& point) const { LocalToGlobalPoint(point); }
  void CallUpdateCursor(const CP_Point& point) { UpdateCursor(point); }

  // The pane that last took a left-button press, and the pane whose control
  // has the focus; each cleared when that pane goes.
  static CP_Pane* GetClickedPane();
  static CP_Pane* GetCurrentPane();
  static void SetCurrentPane(CP_Pane* pane);
  // The smallest width and height an edge-binding resize leaves.
  static const CP_Size& GetMinimumPaneSize();
  // The child identifier the next pane window gets.
  static int16_t GetWindowCounter();

 protected:
  // Enters the pane in the window's user data and puts `procedure` in front
  // of the window's own procedure, which is kept for default handling.
  void InstallWindow(HWND window, WNDPROC procedure);
  // Puts `procedure` in front of the window's own procedure.
  void SubclassWindow(WNDPROC procedure);
  // Clears the window's user data and gives the window its own procedure
  // back: no message reaches the pane any more.
  void ReleaseWindow();
  // The saved native procedure's answer; kNotHandled when there is none.
  LRESULT CallSavedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Lives as long as the pane: a handler that may delete the pane checks it
  // before touching the pane again.
  std::weak_ptr<char> LifeToken() const { return fLife; }

  // Makes the pane the target commander when it is one.
  void SwitchTarget();

  // The one brush of the program's control-colour answers, replaced by a
  // new one of this colour; the old one is freed from `window`'s DC first.
  static HBRUSH ReplaceControlColorBrush(HWND window, const CP_RGBColor& color);

  const char* RuntimeClassName() const override { return "CP_Pane"; }

  CP_Point fLocation;
  CP_Point fOriginOffset;
  CP_Size fSize;
  CP_Bindings fBindings;
  uint8_t fVisibleState = kLatent;
  uint8_t fActiveState = kLatent;
  uint8_t fEnabledState = kOn;
  int32_t fIdentifier = -1;
  int16_t fTagA = -1;  // kept and streamed only
  int16_t fTagB = -1;
  std::unique_ptr<CP_Canvas> fCanvas;
  CP_CanvasEnvironment* fEnvironment = nullptr;  // counted
  CP_RGBColor fBackgroundColor = CP_RGBColor::White;
  uint8_t fOwnBackground = 0;
  CP_Picture* fBackgroundPicture = nullptr;      // counted
  CP_TextTrait* fTextTrait = nullptr;            // counted
  std::vector<CP_Adorner*> fUnderAdorners;       // counted, one per entry
  std::vector<CP_Adorner*> fOverAdorners;
  bool fPrinting = false;  // the canvas draws into a print canvas's DC
  CP_View* fSuperPane = nullptr;
  uint32_t fLastClickTime = 0;
  CP_Point fLastClickPoint;
  CP_Point fPrintLocation;
  CP_Size fPrintSize;
  std::unique_ptr<std::string> fTooltip;
  CP_Menu* fContextMenu = nullptr;  // counted
  uint32_t fWindowStyle = 0;
  HWND fWindow = nullptr;
  WNDPROC fSavedWindowProc = nullptr;

 private:
  void SetUp(CP_View* superPane, const CP_PaneInfo& info);
  LRESULT HandleKeyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleContextMenuMessage(HWND window, WPARAM wParam, LPARAM lParam);
  void TellAdorners();
  static void RemoveFrom(std::vector<CP_Adorner*>& list, CP_Adorner* adorner, CP_Pane* pane);
  CP_Event MakeMouseEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

  std::shared_ptr<char> fLife = std::make_shared<char>();
};

// Clears the framework's current pane.
void ClearCurrentPane();
