#pragma once
// A framework window of the engine that registers a window class of its own
// and makes its native window itself, its client area exactly the described
// size. It belongs to a document, whose close it goes through.
#include "CP_Window.h"

#include <string>

class CP_Document;

class GH_OwnClassWindow : public CP_Window {
 public:
  // The creator enters the window in the desktop.
  GH_OwnClassWindow(CP_M_Commander* parent, CP_Document* document, const CP_WindowInfo& description,
                    const std::string& title, const std::string& className);
  ~GH_OwnClassWindow() override;

  void DeactivateOwn() override {}
  void RegisterWindowClass() override;
  bool TryClose() override;
  bool ApproveChildClose(CP_M_Commander*) override { return true; }
  virtual void WindowHook(int32_t) {}

  const std::string& GetClassName() const { return fClassName; }

 private:
  void RegisterClassOnce();
  void CreateNativeWindow(const CP_WindowInfo& description, const std::string& title);

  CP_Document* fDocument;
  uint16_t fLargeIcon = 0xFFFF;
  uint16_t fSmallIcon = 0xFFFF;
  std::string fClassName;
};
