#pragma once
// The framework's top-level window: a view whose native window is a Win32
// top-level window, and a commander between the panes inside it and its
// parent commander.
#include "CP_Commander.h"
#include "CP_Region.h"
#include "CP_View.h"

#include <memory>
#include <string>

class CP_Event;
class CP_FileSpec;

// Describes a window to be made.
class CP_WindowInfo {
 public:
  CP_WindowInfo() { SetKind(1); }
  CP_WindowInfo(const CP_PaneInfo& pane_, uint8_t kind_) : pane(pane_) { SetKind(kind_); }

  // Clears the styles, the reserved word and start minimised, then sets the
  // kind with its defaults and the defaults common to all kinds.
  void SetKind(uint8_t kind);
  // Stores the type and derives the Win32 styles from it.
  void SetWindowType(int16_t type);

  CP_PaneInfo pane;  // position of the outer frame on the screen, content size
  uint32_t windowType = 0;
  uint32_t reserved = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  uint8_t kind = 0;  // 1 document window, 2 floating tool window, 3 dialog-like
  uint8_t closeBox = 0;
  uint8_t option2 = 0;
  uint8_t option3 = 0;
  uint8_t eraseOnRefresh = 1;
  uint8_t maximizeBox = 0;
  uint8_t option6 = 0;
  int16_t placement = 0;  // 2 next cascade position, 3 centred high, 4 centred
  CP_Size minimumSize{100, 100};
  CP_Size maximumSize{32767, 32767};
  int16_t startMinimized = 0;
  uint8_t minimizeBox = 0;
};

// Takes the Tab key while its window is enabled.
class CP_TabHandler {
 public:
  virtual ~CP_TabHandler() = default;
  virtual bool HandleKey(int16_t key, CP_Event& event) = 0;
};

class CP_Window : public CP_View, public CP_M_Commander {
 public:
  enum Kind : uint8_t { kDocument = 1, kFloating = 2, kDialogLike = 3 };
  enum Placement : int16_t { kPlaceNone = 0, kPlaceCascade = 2, kPlaceCentredHigh = 3, kPlaceCentred = 4 };

  // With create 1 the native window is made at once and entered in the
  // desktop.
  CP_Window(CP_M_Commander* parent, const CP_WindowInfo& info, const std::string& title,
            uint8_t create = 1);
  // A document window at this position with this content size.
  CP_Window(CP_M_Commander* parent, const CP_Point& position, const CP_Size& size,
            const std::string& title, uint8_t create = 1);
  // Leaves the desktop and destroys its native window last.
  ~CP_Window() override;

  // The standard set-up; windows that make their native window themselves
  // run only its state initialisation.
  void SetUpWindow(const CP_WindowInfo& info, const std::string& title, uint8_t create);

  // The view's record, then the description; the reader makes the native
  // window from what it read.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;

  // Pane operations.
  void LocalToGlobalPoint(CP_Point& point) const override;
  void LocalToGlobalRect(CP_Rect& rect) const override;
  void GlobalToLocalPoint(CP_Point& point) const override;
  void GlobalToLocalRect(CP_Rect& rect) const override;
  void Activate() override;
  void Deactivate() override;
  void Show() override;
  void Hide() override;
  void UpdateNow() override;
  CP_Window* GetOwnerWindow() override { return this; }
  int16_t GetWidth() const override;   // outer size
  int16_t GetHeight() const override;
  CP_Rect GetFrame() const override;   // the client area at (0, 0)
  void RefreshRegion(const CP_Region& region) override;
  void RefreshRectangle(const CP_Rect& rect) override;
  bool IsVisible() const override;
  void ResizeTo(const CP_Size& size) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleChildFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleCommandMessage(HWND window, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleNotify(HWND window, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleEraseBackground(HWND window, WPARAM wParam, LPARAM lParam) override;

  // Commander operations.
  int32_t ExecuteCommand(int32_t command) override;
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;
  bool HandleKey(int16_t key, CP_Event& event) override;

  // The window's own operations.
  // Asks the parent commander; when it agrees and the window owns itself,
  // the window is deleted. No parent: false.
  virtual bool TryClose();
  virtual void BringToFront();
  virtual bool IsMinimized() const;
  virtual bool IsMaximized() const;
  // 1 minimised, 2 maximised, else 0.
  virtual int16_t GetSizeState() const;
  virtual void AttachNativeWindow(const CP_WindowInfo& info, const std::string& title, int32_t unused);
  virtual void DoMoveTo(const CP_Point& point, bool refresh);
  virtual void SetSizeLimits(const CP_Size& minimum, const CP_Size& maximum, bool refresh);
  virtual LRESULT HandleFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Hands a file dropped on the window to the document application, when
  // the program is one.
  virtual void OpenDroppedFile(const CP_FileSpec& file);

  // Moves the outer frame's top-left corner to a screen point. It stands
  // beside the pane's virtual MoveTo, which calls through a CP_Pane reach.
  void MoveTo(const CP_Point& point, bool refresh) { DoMoveTo(point, refresh); }
  // Clamps to the size limits and sizes the frame around that content.
  void SetContentSize(const CP_Size& size, bool refresh);
  std::string GetTitle() const;
  void SetTitle(const std::string& title);
  void UpdateRegions();
  LRESULT HandleClientResize(int16_t width, int16_t height);
  // Each file of the drop to OpenDroppedFile, in order; answers -1.
  LRESULT HandleDropFiles(WPARAM dropHandle);

  uint8_t GetKind() const { return fInfo.kind; }
  const CP_WindowInfo& GetDescription() const { return fInfo; }
  const CP_Point& GetPosition() const { return fPosition; }
  const CP_Region& GetStructureRegion() const { return fStructure; }
  const CP_Region& GetContentRegion() const { return fContent; }
  int16_t GetBorderWidth() const;
  int16_t GetCaptionHeight() const;
  int16_t GetFrameWidth() const { return fStructure.GetWidth(); }
  int16_t GetFrameHeight() const { return fStructure.GetHeight(); }
  CP_M_Commander* GetPendingTarget() const { return fPendingTarget; }
  void SetPendingTarget(CP_M_Commander* target);
  // A pane leaves the window: when the pending target is that pane or lies
  // inside it, the window's own commander part takes its place.
  void ForgetPendingTarget(const CP_Pane* leaving);
  void SetOwnsItself(bool owns) { fOwnsItself = owns ? 1 : 0; }
  void SetTooltipSwitch(uint32_t on) { fTooltipSwitch = on; }
  void SetTabHandler(std::unique_ptr<CP_TabHandler> handler) { fTabHandler = std::move(handler); }

 protected:
  const char* RuntimeClassName() const override { return "CP_Window"; }

  HWND fFrame = nullptr;
  CP_Region fStructure;  // the outer window rectangle moved to the origin
  CP_Region fContent;    // the client rectangle moved by (border, caption)
  CP_WindowInfo fInfo;
  CP_Point fPosition;
  CP_M_Commander* fPendingTarget = nullptr;
  CP_Pane* fPendingPane = nullptr;  // the pane whose commander part is the pending target
  std::unique_ptr<CP_TabHandler> fTabHandler;
  void* fReserved = nullptr;
  uint8_t fOwnsItself = 1;
  uint32_t fTooltipSwitch = 0;

 private:
  LRESULT DeliverKey(uint32_t key, LPARAM lParam);
  LRESULT HandleMinMaxInfo(MINMAXINFO* info) const;
  CP_RGBColor DefaultBackground() const;
};
