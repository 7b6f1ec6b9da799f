#include "document/EM_DocumentWindow.h"
#include "panes/GH_EM_QT_MoviePane.h"

#include "CP_Desktop.h"
#include "CP_Document.h"
#include "CP_Event.h"
#include "CP_FourCC.h"
#include "utility/GH_Assert.h"

namespace {

// How high the engine's sprite strip stands at the bottom of the screen.
constexpr int16_t kSpriteStripHeight = 48;

}  // namespace

EM_DocumentWindow::EM_DocumentWindow(CP_M_Commander* parent, CP_Document* document,
                                     const CP_WindowInfo& description, const std::string& title)
    : GH_OwnClassWindow(parent, document, description, title, "EM_DocumentWindow") {}

void EM_DocumentWindow::Activate() {
  if (!fFrame) ReportAssertion("EM_DocumentWindow", 502, "fPlatformWindow != NULL");
  CP_Window::Activate();
}

void EM_DocumentWindow::HandleMouseDown(CP_Event& event, const CP_Point& point) {
  CP_Point global = point;
  LocalToGlobalPoint(global);
  // A press in the band of the sprite strip at the bottom of the screen is
  // meant for the strip's pane; elsewhere for the pane under the point.
  const CP_Desktop* desktop = CP_Desktop::GetDesktop();
  const int16_t stripTop = int16_t((desktop ? desktop->GetWorkAreaHeight() : 0) - kSpriteStripHeight);
  CP_Pane* target =
      global.v > stripTop ? FindSubPaneById(int32_t(CP_FourCC("SPRT")), false) : FindSubPaneAt(point, false);
  CP_Pane::HandleMouseDown(event, point);
  if (target) target->HandleMouseDown(event, point);
}

LRESULT EM_DocumentWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      // No screen saver while the list film is in front.
      if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 1;
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS: {
      CP_Pane* pane = FindSubPaneById(int32_t(CP_FourCC("EMFL")), false);
      TakeFocus(nullptr);
      Refresh();
      BringToFront();
      // The film plays on in this window's port, and idles again.
      if (auto* em = dynamic_cast<GH_EM_QT_MoviePane*>(pane)) em->AttachFilmToWindow();
      if (pane) {
        SetForegroundWindow(fFrame);
        SetFocus(fFrame);
        pane->TakeFocus(nullptr);
        pane->Refresh();
        // Keys reach the list-film pane only through its own window.
        SetFocus(pane->GetHWND());
      }
      break;
    }
    default:
      // Message 20012 looks for a 'MAIN' pane, which only the main video
      // window holds: here it has only the framework's handling.
      break;
  }
  return CP_Window::HandleMessage(window, message, wParam, lParam);
}
