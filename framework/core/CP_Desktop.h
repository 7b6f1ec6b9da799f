#pragma once
// The framework's one desktop: registers the window classes of framework
// windows, makes their native windows, keeps the map from native handles to
// window objects and the list of document windows, and places, cascades,
// tiles, shows, hides and closes windows.
#include "CP_Geometry.h"
#include "CP_Win.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>

class CP_Window;
class CP_WindowInfo;

class CP_Desktop {
 public:
  CP_Desktop();
  // Deletes every window still in the map.
  virtual ~CP_Desktop();
  CP_Desktop(const CP_Desktop&) = delete;
  CP_Desktop& operator=(const CP_Desktop&) = delete;

  static CP_Desktop* GetDesktop();

  // Class "CP_DocWindow" for document windows, else "CP_Window"; the frame
  // is grown so that the client area gets the described content size.
  HWND CreateNativeWindow(CP_Window* window, const CP_WindowInfo& info, const std::string& title);
  void AddWindow(CP_Window* window, HWND handle);
  void AppendDocumentWindow(CP_Window* window);
  CP_Window* FindWindowByHandle(HWND handle) const;
  void ForgetHandle(HWND handle);
  void RemoveDocumentWindow(CP_Window* window);
  const std::list<CP_Window*>& GetDocumentWindows() const { return fDocumentWindows; }
  int16_t CountDocumentWindows() const { return int16_t(fDocumentWindows.size()); }

  // Shows, updates and activates the window.
  virtual void ShowWindow(CP_Window* window);
  void HideWindow(CP_Window* window);
  // The topmost document window on the screen.
  CP_Window* FindTopDocumentWindow() const;

  // Modal system boxes have no owner: the window behind the foreground
  // window is activated before the box and again after it.
  void BeforeModal();
  void AfterModal();

  int16_t GetWorkAreaWidth() const;
  int16_t GetWorkAreaHeight() const;

  // Placement by a window description's placement value; other values
  // leave the window where it was made.
  void PlaceWindow(CP_Window* window, int16_t placement);
  void PlaceAtNextCascadePosition(CP_Window* window);
  // Centred across, in the upper third down; never off the top or left.
  void PlaceWindowCentred(CP_Window* window);
  // Centred both ways, also when that puts it off the screen.
  void PlaceCentred(CP_Window* window);

  // Each does nothing when no document window is on the screen.
  void CascadeWindows();
  void TileWindowsStacked();
  void TileWindowsSideBySide();

  // Asks every document window whose kind matches the mask to close; false
  // when one refused.
  bool CloseWindowsOfKind(uint16_t mask);

  const CP_Point& GetNextCascadePosition() const { return fNextCascade; }

 private:
  void ActivateWindowBehindForeground();
  void Tile(bool stacked);

  std::map<HWND, CP_Window*> fWindows;
  CP_Point fCascadeStep{int16_t(16), int16_t(16)};
  CP_Point fNextCascade;
  std::list<CP_Window*> fDocumentWindows;
};
