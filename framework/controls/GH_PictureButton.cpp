#include "GH_PictureButton.h"

#include "CP_Canvas.h"
#include "CP_FourCC.h"
#include "CP_InStream.h"
#include "CP_OutStream.h"
#include "CP_Picture.h"

namespace {

constexpr int32_t kReleasedInside = CP_FourCC("EVme");

}  // namespace

GH_PictureButton::GH_PictureButton(CP_View* superPane, const CP_PaneInfo& info, const std::string& label,
                                   int16_t basePictureId, int16_t toggle, int16_t labelHorizontal,
                                   int16_t labelVertical, int16_t margin, int16_t pictureHorizontal,
                                   int16_t pictureVertical, int16_t value, int16_t minimum,
                                   int16_t maximum)
    : GH_Button(superPane, info, label, labelHorizontal, labelVertical, margin, value, minimum, maximum),
      fBaseId(basePictureId),
      fPictureHorizontal(pictureHorizontal),
      fPictureVertical(pictureVertical),
      fToggle(toggle) {
  fIds.fill(kNoPicture);
  fPushed = 0;
  fLabelRect = CP_Rect();
  fPictureRect = CP_Rect();
  if (fBaseId != kNoPicture) Replace(fBase, fBaseId);
  if (HasText()) LayOutLabel();
  if (fBase) LayOutPicture(fBase);
  fToggleState = 0;
}

GH_PictureButton::~GH_PictureButton() {
  Replace(fBase, kNoPicture);
  for (CP_Picture*& picture : fPictures) Replace(picture, kNoPicture);
}

CP_Picture* GH_PictureButton::Replace(CP_Picture*& held, int16_t id) {
  if (held) held->RemoveReference();
  held = nullptr;
  if (id == kNoPicture) return nullptr;
  held = new CP_Picture(id);
  held->AddReference();
  return held;
}

// ---------------------------------------------------------------------------
// Pictures

void GH_PictureButton::SetBasePicture(int16_t id) {
  if (id == fBaseId) return;
  fBaseId = id;
  LayOutPicture(Replace(fBase, id));
  TakeFocus(nullptr);
  Refresh();
}

void GH_PictureButton::SetPicture(Slot slot, int16_t id) {
  if (id == fIds[slot]) return;
  fIds[slot] = id;
  LayOutPicture(Replace(fPictures[slot], id));
  if (slot == kEnabled || !LooksAvailable()) {
    TakeFocus(nullptr);
    Refresh();
  }
}

void GH_PictureButton::SetToggleState(int16_t state) {
  fHover = 0;
  fToggleState = state;
  if (state == 1) {
    SetPushedPicture(fIds[kOnPushed]);
    SetToggleHilitedPicture(fIds[kOnHilited]);
  } else {
    SetPushedPicture(fIds[kOffPushed]);
    SetToggleHilitedPicture(fIds[kOffHilited]);
  }
  Redraw();
}

void GH_PictureButton::SetPopupMenu(CP_Menu* menu, int16_t direction, int16_t size, uint8_t enableAll) {
  GH_Button::SetPopupMenu(menu, direction, size, enableAll);
  LayOutPicture(fBase);
}

void GH_PictureButton::LayOutPicture(CP_Picture* picture) {
  if (!picture) return;
  const CP_Rect frame = GetOffsetFrameRect();
  const int32_t frameWidth = frame.Width();
  const int32_t frameHeight = frame.Height();
  int32_t width = picture->GetWidth();
  int32_t height = picture->GetHeight();
  if (width > frameWidth || height > frameHeight) {
    width = frameWidth;
    height = frameHeight;
  }
  int32_t dx = 0;
  if (fPictureHorizontal == kPlaceCentre) dx = (frameWidth - width) / 2;
  if (fPictureHorizontal == kPlaceEnd) dx = frameWidth - width;
  // The picture makes room for the menu's triangle.
  if ((fPictureHorizontal == kPlaceCentre || fPictureHorizontal == kPlaceEnd) && HasPopupMenu())
    dx -= fArrowRect.Width();
  int32_t dy = 0;
  if (fPictureVertical == kPlaceCentre) dy = (frameHeight - height) / 2;
  if (fPictureVertical == kPlaceEnd) dy = frameHeight - height;
  fPictureRect = CP_Rect(dx, dy, dx + width, dy + height);
  if (!HasText()) return;

  int32_t labelHeight = fLabelRect.Height();
  if (height + labelHeight > frameHeight) labelHeight = frameHeight - height;
  const int32_t d = (labelHeight / 2) / 2 + 3;
  if (fVertical == kAlignTop) fPictureRect.Offset(0, d);
  if (fVertical == kAlignBottom) fPictureRect.Offset(0, -d);
  if (fHorizontal == kAlignLeft) fLabelRect.Offset(fPictureRect.right + fMargin - fLabelRect.left, 0);
  if (fHorizontal == kAlignRight) fLabelRect.Offset(fPictureRect.left + fMargin - fLabelRect.right, 0);
}

// ---------------------------------------------------------------------------
// Drawing

void GH_PictureButton::Draw(CP_Picture* picture) {
  if (picture) picture->Draw(fCanvas.get(), fPictureRect);
}

void GH_PictureButton::Redraw() {
  CP_PaneDCScope scope(this);
  DrawPictures();
}

void GH_PictureButton::DrawPictures() {
  if (fHover) {
    Draw(fPictures[kPushed]);
    fHover = 0;
    return;
  }
  if (fToggle == 1)
    DrawTogglePictures();
  else
    DrawPlainPictures();
}

void GH_PictureButton::DrawPlainPictures() {
  const bool either = IsActive() || IsEnabled();
  if (fPushed)
    if (either) Draw(fBase);
  if (!fPushed) Draw(fPictures[kEnabled] && either ? fPictures[kEnabled] : fBase);
  if (!LooksAvailable()) Draw(fPictures[fPushed ? kHilited : kUnhilited]);
}

void GH_PictureButton::DrawTogglePictures() {
  if (fPushed) {
    Draw(fPictures[kToggleHilited]);
    fPushed = 0;
    return;
  }
  Draw(fPictures[fToggleState == 1 ? kOn : kOff]);
}

// Pictures and label are clipped to the frame. The clip selects nothing
// into the DC: the button's own window already ends there.
void GH_PictureButton::DrawFramed() {
  DrawPushFrame();
  {
    CP_Clip clip(GetOffsetFrameRect());
    clip.Apply();
    DrawPictures();
    if (HasText()) DrawLabel();
  }
  if (fMenu) DrawPopupArrow();
}

void GH_PictureButton::DrawContent(const CP_Region&) {
  if (fHover) {
    DrawPictures();
    return;
  }
  if (fPushed) {
    DrawPictures();
    if (fMenu) DrawPopupArrow();
    return;
  }
  DrawFramed();
}

// ---------------------------------------------------------------------------
// Mouse

bool GH_PictureButton::CursorInWindow() const {
  RECT place = {};
  POINT cursor = {};
  GetWindowRect(fWindow, &place);
  GetCursorPos(&cursor);
  return PtInRect(&place, cursor) != FALSE;
}

LRESULT GH_PictureButton::TrackMouseDown(HWND, WPARAM, LPARAM lParam) {
  if (!IsOperable()) return 0;
  SetCapture(fWindow);
  SetTracking(true);
  fHover = 0;
  FindActiveSpot(MousePoint(lParam));
  return 0;
}

LRESULT GH_PictureButton::TrackMouseMove(HWND, WPARAM, LPARAM) {
  if (CursorInWindow()) {
    SetCapture(fWindow);
    fHover = 1;
    Redraw();
  } else {
    fHover = 0;
    fPushed = 0;
    ReleaseCapture();
    CP_PaneDCScope scope(this);
    DrawFramed();
  }
  return 0;
}

LRESULT GH_PictureButton::TrackMouseUp(HWND, WPARAM, LPARAM lParam) {
  if (!IsOperable()) return 0;
  const auto life = LifeToken();
  ActiveSpotReleased(MousePoint(lParam));
  ReleaseCapture();
  SetTracking(false);
  // A listener may have deleted the button.
  if (!life.expired()) fHover = 0;
  return 0;
}

int16_t GH_PictureButton::TrackHover(const CP_Point& point) { return TrackSpot(point, fHover); }

// A toggle button flips on every release it handles, inside or not; only a
// release with the pointer inside is announced.
void GH_PictureButton::ActiveSpotReleased(const CP_Point&) {
  if (fToggle != 1) {
    fPushed = 0;
  } else if (fToggleState == 1) {
    fToggleState = 0;
    SetPushedPicture(fIds[kOffPushed]);
    SetToggleHilitedPicture(fIds[kOffHilited]);
  } else {
    fToggleState = 1;
    SetPushedPicture(fIds[kOnPushed]);
    SetToggleHilitedPicture(fIds[kOnHilited]);
  }
  TakeFocus(nullptr);
  {
    CP_PaneDCScope scope(this);
    DrawContent(CP_Region(GetOffsetFrameRect()));
  }
  if (!CursorInWindow()) return;
  fBroadcastCode = kReleasedInside;
  BroadcastValueMessage();
}

// ---------------------------------------------------------------------------
// Streaming

void GH_PictureButton::WriteToStream(CP_OutStream& out) {
  GH_Button::WriteToStream(out);
  out.WriteInt16(fBaseId).WriteInt16(fPictureHorizontal).WriteInt16(fPictureVertical);
}

void GH_PictureButton::ReadFromStream(void* context, CP_InStream& in) {
  GH_Button::ReadFromStream(context, in);
  in.ReadInt16(fBaseId).ReadInt16(fPictureHorizontal).ReadInt16(fPictureVertical);
}
