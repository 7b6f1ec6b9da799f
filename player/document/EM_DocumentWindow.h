#pragma once
// The full-screen window in which the playQT action shows a film or one
// track of it, most often a page of the list film "em.flm". It holds one
// list-film pane ('EMFL') that fills it and does the playing; the window
// keeps the system's screen saver away while it is in front and hands the
// keyboard focus to that pane whenever it gets the focus itself.
#include "document/GH_OwnClassWindow.h"

#include <string>

class CP_Document;

class EM_DocumentWindow : public GH_OwnClassWindow {
 public:
  // The creator enters the window in the desktop.
  EM_DocumentWindow(CP_M_Commander* parent, CP_Document* document, const CP_WindowInfo& description,
                    const std::string& title);

  void Activate() override;
  void HandleMouseDown(CP_Event& event, const CP_Point& point) override;
  void DrawContent(const CP_Region&) override {}
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};
