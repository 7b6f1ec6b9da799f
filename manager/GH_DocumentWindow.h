#pragma once
// The library manager's main window, titled "Glintharbour Player": a window
// class of its own, a 100 ms timer that keeps the film buttons up to date,
// no CD AutoPlay while it runs, at least 640 x 480, its place and size kept
// in the settings, help on F1, and the engine's "film installed" message
// handed to the document.
#include "CP_Window.h"

#include <cstdint>
#include <string>

class CP_SDIApp_Document;

class GH_DocumentWindow : public CP_Window {
 public:
  static constexpr UINT kFilmInstalledMessage = WM_USER + 10;  // 0x40A, sent by the engine
  static constexpr UINT_PTR kTimerId = 1;
  static constexpr UINT kTimerInterval = 100;
  static constexpr int32_t kMinimumWidth = 640;
  static constexpr int32_t kMinimumHeight = 480;

  // The description gives the position, the client size, the styles, the
  // identity and the kind. The document may be null.
  GH_DocumentWindow(CP_M_Commander* superCommander, CP_SDIApp_Document* document,
                    const CP_WindowInfo& info, const std::string& title);
  ~GH_DocumentWindow() override;

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void RegisterWindowClass() override;
  void DrawContent(const CP_Region&) override {}
  // Asks the document, which closes itself and this window.
  bool TryClose() override;

  // Writes MainWindow_W and MainWindow_H from the rectangle.
  static void StoreWindowSize(const RECT& rect);

  CP_SDIApp_Document* GetDocument() const { return fDocument; }
  UINT_PTR GetTimer() const { return fTimer; }

 protected:
  const char* RuntimeClassName() const override { return "GH_DocumentWindow"; }

 private:
  void RegisterClassOnce();
  void CreateNativeWindow(const CP_WindowInfo& info, const std::string& title);
  LRESULT HandleSizing(WPARAM edge, RECT* rect);
  LRESULT HandleMove(LPARAM lParam);

  CP_SDIApp_Document* fDocument;
  int16_t fLargeIconId = -1;
  int16_t fSmallIconId = -1;
  UINT fAutoPlayMessage = 0;
  UINT_PTR fTimer = 0;
  UINT_PTR fTimerId = kTimerId;
  std::string fClassName = "GH_DocumentWindow";
};
