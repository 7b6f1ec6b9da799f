#pragma once
// A rectangle of the screen with its own native window. The framework's
// window procedure finds the pane again through the window's user data.
#include "CP_EventHandler.h"
#include "CP_RGBColor.h"
#include "CP_Win.h"

#include <cstdint>

class CP_Canvas;
class CP_CanvasEnvironment;

class CP_Pane : public virtual CP_M_EventHandlerAttachable {
 public:
  // A pane with this identifier receives no messages through the framework.
  static constexpr int32_t kSilentIdentifier = int32_t(0xF3F3F3F3);
  // HandleMessage's answer for "not handled": the window procedure then lets
  // DefWindowProcA answer.
  static constexpr LRESULT kNotHandled = LRESULT(int32_t(0x80000000));

  CP_Pane();
  ~CP_Pane() override;

  virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND GetHWND() const { return fWindow; }
  int32_t GetIdentifier() const { return fIdentifier; }
  void SetIdentifier(int32_t identifier) { fIdentifier = identifier; }

  // The pane's drawing surface, owned by the pane.
  CP_Canvas* GetCanvas() const { return fCanvas; }
  virtual CP_RGBColor GetBackgroundColor() const;

  // Drawing defaults shared with other panes; the pane holds one reference.
  CP_CanvasEnvironment* GetEnvironment() const { return fEnvironment; }
  void SetEnvironment(CP_CanvasEnvironment* environment);

  // The pane of a framework window; null for any other window, also one that
  // keeps a pointer of its own in its user data.
  static CP_Pane* FromWindow(HWND window);

 protected:
  // Enters the pane in the window's user data and puts `procedure` in front
  // of the window's own procedure, which is kept for default handling.
  void InstallWindow(HWND window, WNDPROC procedure);
  // Clears the window's user data: no message reaches the pane any more.
  void ReleaseWindow();
  // The saved native procedure's answer; kNotHandled when there is none.
  LRESULT CallSavedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND fWindow = nullptr;
  WNDPROC fSavedWindowProc = nullptr;
  int32_t fIdentifier = -1;
  CP_Canvas* fCanvas = nullptr;
  CP_CanvasEnvironment* fEnvironment = nullptr;
};
