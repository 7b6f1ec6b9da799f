#pragma once
// The full-screen window in which the playQT action shows a film or one
// track of it, most often a page of the list film "em.flm". It holds one
// list-film pane ('EMFL') that fills it and does the playing; the window
// keeps the system's screen saver away while it is in front and hands the
// keyboard focus to that pane whenever it gets the focus itself.
#include "CP_Window.h"

#include <string>

class CP_Document;

class EM_DocumentWindow : public CP_Window {
 public:
  // The native window is made here, not by the framework's set-up; the
  // creator enters it in the desktop.
  EM_DocumentWindow(CP_M_Commander* parent, CP_Document* document, const CP_WindowInfo& description,
                    const std::string& title);
  ~EM_DocumentWindow() override;

  void Activate() override;
  void HandleMouseDown(CP_Event& event, const CP_Point& point) override;
  void DeactivateOwn() override {}
  void DrawContent(const CP_Region&) override {}
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
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
  std::string fClassName = "EM_DocumentWindow";
};
