#pragma once
// The framework's top-level window: a pane whose native window is a Win32
// top-level window, and a commander between its panes and its parent.
#include "CP_Commander.h"
#include "CP_Pane.h"

#include <string>

class CP_Window : public CP_Pane, public CP_M_Commander {
 public:
  enum Kind : uint8_t { kDocument = 1, kFloating = 2, kDialogLike = 3 };

  CP_Window(CP_M_Commander* parent, uint8_t kind, const std::string& title, int32_t left, int32_t top,
            int32_t contentWidth, int32_t contentHeight, uint32_t style, uint32_t exStyle);
  ~CP_Window() override;

  uint8_t GetKind() const { return fKind; }

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  int32_t ExecuteCommand(int32_t command) override;

  virtual bool TryClose();
  virtual void Activate();
  virtual void Deactivate();
  bool IsVisible() const;
  bool IsActive() const { return fActive; }

  void SetOwnsItself(bool owns) { fOwnsItself = owns; }
  void SetPendingTarget(CP_M_Commander* target) { fPendingTarget = target; }

 private:
  uint8_t fKind;
  bool fOwnsItself = true;
  bool fActive = false;
  CP_M_Commander* fPendingTarget = nullptr;
};
