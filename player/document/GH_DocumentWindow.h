#pragma once
// The engine's main video window "MainVideoWindow": a borderless framework
// window with its own window class that holds the 'MAIN' pane and decides
// how a run ends. Any mouse button on it closes the engine's windows and
// quits; a key dismisses the run when the settings say so; message 20012
// plays a track of the list film full screen.
#include "document/GH_OwnClassWindow.h"

#include <string>

class CP_Document;
class GH_QT_MoviePane;

class GH_DocumentWindow : public GH_OwnClassWindow {
 public:
  // The creator enters the window in the desktop.
  GH_DocumentWindow(CP_M_Commander* parent, CP_Document* document, const CP_WindowInfo& description,
                    const std::string& title);
  ~GH_DocumentWindow() override;

  void Activate() override;
  void DrawContent(const CP_Region& area) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  // The message that plays a track of "em.flm" full screen; lParam names it.
  static constexpr UINT kPlayListFilmTrack = 20012;

 private:
  GH_QT_MoviePane* GetMainPane() const;
  void DismissOnKey();
  void PlayListFilmTrack(LPARAM track);
};

// Whether the key setting asks for dismissal: "setup.ini" of the current
// directory (section "FilePath") in play mode 2, the engine settings
// otherwise; a missing key counts as asking.
bool KeyDismissesRun(int32_t playMode);
