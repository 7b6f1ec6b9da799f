#include "GH_LibraryGlobals.h"

#include "CP_FourCC.h"
#include "CP_Window.h"
#include "GH_MainWindow.h"
#include "GH_PREV_QT_MoviePane.h"

CP_SDIApp_Document* currentLibraryDocument = nullptr;

HWND MainWindowHandle() {
  CP_Window* window = FindMainWindow(mainWindowTitle);
  return window ? window->GetHWND() : nullptr;
}

int MainWindowMessage(const std::string& text, const char* caption, UINT style) {
  return MessageBoxA(MainWindowHandle(), text.c_str(), caption, style);
}

GH_PREV_QT_MoviePane* FindPreviewPane(CP_Pane* pane, bool deep) {
  CP_Window* window = pane ? pane->GetOwnerWindow() : nullptr;
  if (!window) return nullptr;
  if (deep) return dynamic_cast<GH_PREV_QT_MoviePane*>(window->FindSubPaneById(CP_FourCC("THUM"), true));
  auto* splitter = dynamic_cast<CP_View*>(window->FindSubPaneById(CP_FourCC("SPLT"), false));
  if (!splitter) return nullptr;
  return dynamic_cast<GH_PREV_QT_MoviePane*>(splitter->FindSubPaneById(CP_FourCC("THUM"), false));
}

// An empty name opens nothing, and the pane disposes of the film it held.
void EmptyPreview(GH_PREV_QT_MoviePane* preview, bool drawFrame) {
  if (!preview) return;
  FSSpec empty = {};
  const unsigned char noName[1] = {0};
  FSMakeFSSpec(0, 0, noName, &empty);
  preview->ShowFilm(empty);
  if (drawFrame) preview->DrawFrame();
}
