#include "document/GH_DocumentWindow.h"

#include "CP_Canvas.h"
#include "CP_Desktop.h"
#include "CP_Document.h"
#include "CP_Event.h"
#include "CP_FourCC.h"
#include "CP_RGBColor.h"
#include "document/GH_Globals.h"
#include "document/GH_Player_Application.h"
#include "panes/GH_QT_MoviePane.h"
#include "utility/GH_Assert.h"
#include "utility/GH_Settings.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

namespace {

std::string WithBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += "\\";
  return folder;
}

std::string CurrentDirectory() {
  char buffer[256] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  // A directory longer than the buffer gives no text rather than a cut one.
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

}  // namespace

bool KeyDismissesRun(int32_t playMode) {
  int32_t value;
  if (playMode == 2)
    value = ReadIniInt("FilePath", "DissmissOnKeyDown", WithBackslash(CurrentDirectory()) + "setup.ini");
  else
    value = ReadIniInt("Glintharbour", "DissmissOnKeyDown", "glintharbour.ini");
  return value != 0;
}

GH_DocumentWindow::GH_DocumentWindow(CP_M_Commander* parent, CP_Document* document,
                                     const CP_WindowInfo& description, const std::string& title)
    : GH_OwnClassWindow(parent, document, description, title, "GH_DocumentWindow") {}

GH_DocumentWindow::~GH_DocumentWindow() {
  // A window that refuses to close would keep this loop going; the number
  // of windows bounds it.
  for (int guard = 0; guard < 256; ++guard) {
    CP_Window* audio = FindWindowByTitle("BackgroundAudio");
    if (!audio || !audio->TryClose()) break;
  }
  // Frame windows are plain windows outside the desktop: they are told to
  // close, so that none outlives the run.
  for (int guard = 0; guard < 256; ++guard) {
    HWND frame = FindWindowA(nullptr, "playQTFrame");
    if (!frame) break;
    SendMessageA(frame, WM_CLOSE, 0, 0);
    if (FindWindowA(nullptr, "playQTFrame") == frame) break;
  }
}

GH_QT_MoviePane* GH_DocumentWindow::GetMainPane() const {
  return dynamic_cast<GH_QT_MoviePane*>(FindSubPaneById(CP_FourCC("MAIN"), false));
}

void GH_DocumentWindow::Activate() {
  if (!fFrame) ReportAssertion("GH_DocumentWindow", 540, "fPlatformWindow != NULL");
  CP_Window::Activate();
}

void GH_DocumentWindow::DrawContent(const CP_Region&) {
  CP_Canvas* canvas = GetCanvas();
  if (!canvas || !canvas->GetDC()) return;
  const int16_t width = GetWidth();
  const int16_t height = GetHeight();
  struct Line {
    int16_t above;
    uint16_t grey;
  };
  // A groove in the band of 60 rows below the 'MAIN' pane.
  static const Line kLines[] = {{56, 0xFFFF}, {55, 0x8888}, {54, 0x4444}, {53, 0x4444}, {52, 0x8888}};
  for (const Line& line : kLines) {
    canvas->SetForegroundColor(CP_RGBColor(line.grey, line.grey, line.grey));
    MoveToEx(canvas->GetDC(), 0, height - line.above, nullptr);
    LineTo(canvas->GetDC(), width, height - line.above);
  }
}

void GH_DocumentWindow::DismissOnKey() {
  GH_QT_MoviePane* pane = GetMainPane();
  if (!KeyDismissesRun(pane ? pane->GetPlayMode() : 0)) return;
  if (CP_Window* main = FindWindowByTitle("MainVideoWindow")) PostMessageA(main->GetHWND(), WM_LBUTTONDOWN, 0, 0);
}

void GH_DocumentWindow::PlayListFilmTrack(LPARAM track) {
  GH_QT_MoviePane* pane = GetMainPane();
  if (!pane) return;
  RunActionText("playQT(File=\"em.flm\",Track=\"" + std::to_string(int32_t(track)) + "\",FullScreen=\"1\")");
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  const int16_t count = desktop ? desktop->CountDocumentWindows() : 0;
  if (count <= 1) return;
  std::string folder;
  ReadIniString("Glintharbour", "Path", "", folder, "glintharbour.ini");
  if (folder.empty()) folder = GetTempDirectory();
  const std::string title = WithBackslash(folder) + "EM" + std::to_string(count) + ".mov";
  if (HWND window = FindWindowA(nullptr, title.c_str())) BringWindowToTop(window);
}

LRESULT GH_DocumentWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      if (CP_Window* sprite = FindWindowByTitle("Sprite Window")) sprite->TryClose();
      if (CP_Window* controller = FindWindowByTitle("Controller Window")) controller->TryClose();
      TryClose();  // may delete this window: nothing of it is touched below
      if (PlayerApplication) PlayerApplication->ExecuteCommand(kCmd_Quit);
      return 1;
    }
    case WM_SETFOCUS:
      if (GH_QT_MoviePane* pane = GetMainPane()) {
        if (pane->GetPlayMode() == 2) pane->StartIdleCalls();
        SetForegroundWindow(fFrame);
        SetFocus(fFrame);
        pane->TakeFocus(nullptr);
        pane->Refresh();
        SetFocus(pane->GetHWND());
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      DismissOnKey();
      break;
    case kPlayListFilmTrack:
      PlayListFilmTrack(lParam);
      break;
    default:
      break;
  }
  return CP_Window::HandleMessage(window, message, wParam, lParam);
}
