#include "panes/CP_QT_MoviePane.h"

#include "CP_MovieEvents.h"
#include "CP_Win.h"

namespace {

Rect ToQTRect(const CP_Rect& r) { return Rect{r.top, r.left, r.bottom, r.right}; }

}  // namespace

CP_QT_MoviePane::CP_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie)
    : CP_Pane(superPane, info) {
  MakeWindow(superPane, info.location, info.size);
  AssociatePort(GetHWND());
  fMovie = movie;
  if (!fMovie) return;

  Rect box{};
  GetMovieBox(fMovie, &box);
  OffsetRect(&box, int16_t(-box.left), int16_t(-box.top));
  SetMovieBox(fMovie, &box);
  SetMovieGWorld(fMovie, GetPort(), nullptr);

  const Rect frame = ToQTRect(GetOffsetFrameRect());
  fController = NewMovieController(fMovie, &frame, mcTopLeftMovie);
  if (fController) {
    MCSetControllerBoundsRect(fController, &frame);
    MCMovieChanged(fController, fMovie);
  }
  StartIdleCalls();
}

CP_QT_MoviePane::~CP_QT_MoviePane() {
  StopIdleCalls();
  if (fController) {
    // Silent and still before it goes.
    MCDoAction(fController, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(0)));
    MCDoAction(fController, mcActionPlay, reinterpret_cast<void*>(intptr_t(0)));
    DisposeMovieController(fController);
    fController = nullptr;
  }
  if (fMovie) {
    DisposeMovie(fMovie);
    fMovie = nullptr;
  }
  if (GetHWND()) DestroyPortAssociation(GetPort());
}

void CP_QT_MoviePane::AssociatePort(HWND window) {
  if (!window) return;
  CreatePortAssociation(window, nullptr, 0);
  MacSetPort(GetNativeWindowPort(window));
}

GrafPtr CP_QT_MoviePane::GetPort() const { return GetNativeWindowPort(GetHWND()); }

void CP_QT_MoviePane::WriteToStream(CP_OutStream& out) {
  // The movie and controller are not written: a pane read back has none.
  CP_Pane::WriteToStream(out);
}

void CP_QT_MoviePane::ReadFromStream(void* context, CP_InStream& in) {
  // Reads what the writer wrote.
  CP_Pane::ReadFromStream(context, in);
}

void CP_QT_MoviePane::ActivateOwn() {
  StartIdleCalls();
  CP_Pane::ActivateOwn();
}

void CP_QT_MoviePane::DeactivateOwn() {
  StopIdleCalls();
  CP_Pane::DeactivateOwn();
}

void CP_QT_MoviePane::ShowOwnWindow() {
  CP_Pane::ShowOwnWindow();
  if (fController) {
    StartIdleCalls();
    MCDraw(fController, GetPort());
  }
}

void CP_QT_MoviePane::HideOwnWindow() {
  StopIdleCalls();
  CP_Pane::HideOwnWindow();
}

void CP_QT_MoviePane::DrawContent(const CP_Region&) {
  if (fController) MCDraw(fController, GetPort());
}

void CP_QT_MoviePane::Idle(CP_Event&) {}

LRESULT CP_QT_MoviePane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Whether the controller took it or not, the message goes on.
  if (fController) OfferMessageToController(fController, window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      AssociatePort(window);
      return 0;
    case WM_ERASEBKGND:
      // The controller paints the whole pane; erasing would flash.
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
