#pragma once
// The framework's one desktop: registers the window classes of framework
// windows, makes their native windows and keeps the map from native handles
// to window objects and the list of document windows.
#include "CP_Win.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>

class CP_Window;

class CP_Desktop {
 public:
  CP_Desktop();
  virtual ~CP_Desktop();
  CP_Desktop(const CP_Desktop&) = delete;
  CP_Desktop& operator=(const CP_Desktop&) = delete;

  static CP_Desktop* GetDesktop();

  HWND CreateNativeWindow(uint8_t kind, const std::string& title, int32_t left, int32_t top,
                          int32_t contentWidth, int32_t contentHeight, uint32_t style,
                          uint32_t exStyle);
  void AddWindow(CP_Window* window, HWND handle);
  CP_Window* FindWindowByHandle(HWND handle) const;
  void ForgetHandle(HWND handle);
  void RemoveDocumentWindow(CP_Window* window);
  const std::list<CP_Window*>& GetDocumentWindows() const { return fDocumentWindows; }

  virtual void ShowWindow(CP_Window* window);
  void HideWindow(CP_Window* window);
  CP_Window* FindTopDocumentWindow() const;

  // Modal system boxes have no owner: the window behind the foreground
  // window is activated before the box and again after it.
  void BeforeModal();
  void AfterModal();

  int16_t GetWorkAreaWidth() const;
  int16_t GetWorkAreaHeight() const;

  // Asks every document window whose kind matches the mask to close; false
  // when one refused.
  bool CloseWindowsOfKind(uint16_t mask);

 private:
  void ActivateWindowBehindForeground();

  std::map<HWND, CP_Window*> fWindows;
  std::list<CP_Window*> fDocumentWindows;
};
