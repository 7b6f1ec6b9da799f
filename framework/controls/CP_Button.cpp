#include "CP_Button.h"

#include "CP_Canvas.h"
#include "CP_GdiOwners.h"
#include "CP_Icon.h"
#include "CP_ImgShapes.h"
#include "CP_Menu.h"
#include "CP_Picture.h"
#include "CP_TextTrait.h"

#include <algorithm>

namespace {

constexpr uint16_t kDefaultLabelTrait = 13;
constexpr int32_t kLargestShrunkImage = 16;

// A filled triangle in `r`, pointing down or right.
void FillTriangle(HDC dc, const CP_Rect& r, bool down) {
  POINT corners[3];
  if (down) {
    corners[0] = {r.left, r.top};
    corners[1] = {r.right, r.top};
    corners[2] = {(r.left + r.right) / 2, r.bottom};
  } else {
    corners[0] = {r.left, r.top};
    corners[1] = {r.right, (r.top + r.bottom) / 2};
    corners[2] = {r.left, r.bottom};
  }
  const CP_SelectGuard brush(dc, GetStockObject(BLACK_BRUSH));
  const CP_SelectGuard pen(dc, GetStockObject(BLACK_PEN));
  Polygon(dc, corners, 3);
}

}  // namespace

// ---------------------------------------------------------------------------
// The push button

CP_Button::CP_Button(CP_View* superPane, const CP_PaneInfo& info, const std::string& label,
                     int16_t horizontal, int16_t vertical, int16_t margin)
    : CP_Control(superPane, info, label, 0, 0, 0), fHorizontal(horizontal), fVertical(vertical), fMargin(margin) {
  MakeWindow(superPane, info.location, info.size);
  LayoutLabel();
}

CP_Button::~CP_Button() {
  if (fSideElement) fSideElement->RemoveReference();
}

void CP_Button::SetSideElement(CP_Menu* menu, const CP_Rect& place) {
  if (menu) menu->AddReference();
  if (fSideElement) fSideElement->RemoveReference();
  fSideElement = menu;
  fSideRect = menu ? place : CP_Rect();
}

CP_Rect CP_Button::InnerRect() const {
  CP_Rect inner = GetOffsetFrameRect();
  inner.Inset(kInset, kInset);
  return inner;
}

void CP_Button::ApplyLabelFont() {
  if (fTextTrait) {
    fCanvas->GetFont().ApplyTextTrait(*fTextTrait);
  } else {
    CP_TextTrait standard(kDefaultLabelTrait);
    fCanvas->GetFont().ApplyTextTrait(standard);
  }
}

int32_t CP_Button::GetLabelTextWidth() {
  CP_PaneDCScope scope(this);
  SIZE extent = {};
  INT fit = 0;
  if (!GetTextExtentExPointA(fCanvas->GetDC(), fText.c_str(), int(fText.size()), InnerRect().Width(), &fit,
                             nullptr, &extent))
    return 0;
  return extent.cx;
}

void CP_Button::LayoutLabel() {
  CP_PaneDCScope scope(this);
  ApplyLabelFont();
  const CP_Rect inner = InnerRect();
  const int32_t innerWidth = inner.Width();
  const int32_t innerHeight = inner.Height();
  const int32_t height = fCanvas->GetFont().GetLineHeight();
  const int32_t width = std::min(GetLabelTextWidth(), innerWidth);
  CP_Rect label(kInset, kInset, width + kInset, height + kInset);
  switch (fHorizontal) {
    case kAlignLeft: label.Offset(fMargin, 0); break;
    case kAlignCentre: label.Offset((innerWidth - width) / 2, 0); break;
    case kAlignRight: label.Offset(innerWidth - width - fMargin, 0); break;
    default: break;
  }
  if (fVertical == kAlignMiddle) label.Offset(0, (innerHeight - height) / 2);
  if (fVertical == kAlignBottom) label.Offset(0, innerHeight - height);
  fLabelRect = label;
}

CP_Rect CP_Button::PlaceImage(int32_t width, int32_t height, int16_t horizontal, int16_t vertical) {
  const CP_Rect inner = InnerRect();
  const int32_t innerWidth = inner.Width();
  const int32_t innerHeight = inner.Height();
  // Too big: a square that fits a small button, else the 16-pixel size.
  if (width > innerWidth || height > innerHeight) {
    if (innerWidth < kLargestShrunkImage || innerHeight < kLargestShrunkImage) {
      if (innerHeight < width)
        width = height = innerHeight;
      else if (innerWidth < height)
        width = height = innerWidth;
    } else {
      width = height = kLargestShrunkImage;
    }
  }
  int32_t x = 0;
  if (horizontal == kPlaceCentre) x = (innerWidth - width) / 2;
  if (horizontal == kPlaceEnd) x = innerWidth - width;
  if ((horizontal == kPlaceCentre || horizontal == kPlaceEnd) && HasSideElement()) x -= fSideRect.Width();
  int32_t y = 0;
  if (vertical == kPlaceCentre) y = (innerHeight - height) / 2;
  if (vertical == kPlaceEnd) y = innerHeight - height;
  CP_Rect image(x + kInset, y + kInset, x + kInset + width, y + kInset + height);

  int32_t move = 0;
  if (HasText()) {
    const int32_t labelHeight = fLabelRect.Height();
    const int32_t half = height + labelHeight > innerHeight ? (innerHeight - height) / 2 : labelHeight / 2;
    if (fVertical == kAlignTop) move = half / 2 + 3;
    if (fVertical == kAlignBottom) move = -(half / 2 + 3);
    if (fHorizontal == kAlignLeft) fLabelRect.Offset(image.right - fLabelRect.left + fMargin, 0);
    if (fHorizontal == kAlignRight) fLabelRect.Offset(image.left - fLabelRect.right + fMargin, 0);
  }
  image.Offset(0, move);
  return image;
}

void CP_Button::DrawContent(const CP_Region&) {
  HDC dc = fCanvas->GetDC();
  RECT frame = GetOffsetFrameRect().ToRECT();
  DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (fPushed ? DFCS_PUSHED : 0));
  DrawImage();
  if (HasText()) {
    ApplyLabelFont();
    fCanvas->SetForegroundColor(fTextTrait ? fTextTrait->GetColor() : CP_RGBColor::Black);
    fCanvas->SetBackgroundMode(CP_Canvas::kTransparent);
    CP_Rect place = fLabelRect;
    if (fPushed) place.Offset(1, 1);
    CP_ImgShape_Text(fCanvas.get(), place, fText, CP_ImgShape_Text::kFontLineHeight).DrawFitted(fHorizontal, 0);
  }
  if (fSideElement) FillTriangle(dc, fSideRect, true);
}

int16_t CP_Button::FindActiveSpot(const CP_Point& point) {
  const bool inside = ContainsPoint(point + GetNegatedOriginOffset());
  if (inside == (fPushed != 0)) return kNoPart;
  fPushed = inside ? 1 : 0;
  CP_PaneDCScope scope(this);
  DrawContent(CP_Region(GetOffsetFrameRect()));
  return kWholeFrame;
}

void CP_Button::ActiveSpotReleased(const CP_Point& point) {
  fPushed = 0;
  {
    CP_PaneDCScope scope(this);
    DrawContent(CP_Region(GetOffsetFrameRect()));
  }
  if (ContainsPoint(point + GetNegatedOriginOffset()) && fBroadcastCode != 0) BroadcastValueMessage();
}

// ---------------------------------------------------------------------------
// Icon and picture buttons

CP_IconButton::CP_IconButton(CP_View* superPane, const CP_PaneInfo& info, const std::string& label,
                             int16_t horizontal, int16_t vertical, int16_t margin, CP_Icon* icon,
                             int16_t iconHorizontal, int16_t iconVertical)
    : CP_Button(superPane, info, label, horizontal, vertical, margin),
      fIcon(icon),
      fImageHorizontal(iconHorizontal),
      fImageVertical(iconVertical) {
  if (fIcon) fIcon->AddReference();
  LayoutIcon(fIcon);
}

CP_IconButton::~CP_IconButton() {
  if (fIcon) fIcon->RemoveReference();
}

void CP_IconButton::LayoutIcon(CP_Icon* icon) {
  if (!icon) return;
  fImageRect = PlaceImage(icon->GetWidth(), icon->GetHeight(), fImageHorizontal, fImageVertical);
}

void CP_IconButton::DrawImage() {
  if (!fIcon) return;
  DrawIconEx(fCanvas->GetDC(), fImageRect.left, fImageRect.top, fIcon->GetHandle(), fImageRect.Width(),
             fImageRect.Height(), 0, nullptr, DI_NORMAL);
}

CP_PictureButton::CP_PictureButton(CP_View* superPane, const CP_PaneInfo& info, const std::string& label,
                                   int16_t horizontal, int16_t vertical, int16_t margin, int16_t pictureId,
                                   int16_t pictureHorizontal, int16_t pictureVertical)
    : CP_Button(superPane, info, label, horizontal, vertical, margin),
      fImageHorizontal(pictureHorizontal),
      fImageVertical(pictureVertical) {
  if (pictureId != -1) {
    fPicture = new CP_Picture(pictureId);
    fPicture->AddReference();
  }
  LayoutPicture(fPicture);
}

CP_PictureButton::~CP_PictureButton() {
  if (fPicture) fPicture->RemoveReference();
}

void CP_PictureButton::LayoutPicture(CP_Picture* picture) {
  if (!picture) return;
  fImageRect = PlaceImage(picture->GetWidth(), picture->GetHeight(), fImageHorizontal, fImageVertical);
}

void CP_PictureButton::DrawImage() {
  if (fPicture) fPicture->Draw(fCanvas.get(), fImageRect);
}

// ---------------------------------------------------------------------------
// The disclosure triangle

CP_DisclosureTriangle::CP_DisclosureTriangle(CP_View* superPane, const CP_PaneInfo& info, bool open)
    : CP_Pane(superPane, info), fOpen(open) {
  MakeWindow(superPane, info.location, info.size);
}

void CP_DisclosureTriangle::SetOpen(bool open) {
  if (open == fOpen) return;
  fOpen = open;
  Refresh();
}

LRESULT CP_DisclosureTriangle::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      CallUpdateCursor(CP_Point(int16_t(int16_t(LOWORD(lParam)) - fOriginOffset.h),
                                int16_t(int16_t(HIWORD(lParam)) - fOriginOffset.v)));
      TriangleMouseMove(window, wParam, lParam);
      return 0;
    case WM_LBUTTONDOWN:
      return TriangleMouseDown(window, wParam, lParam);
    case WM_LBUTTONUP:
      return TriangleMouseUp(window, wParam, lParam);
    default:
      return CP_Pane::HandleMessage(window, message, wParam, lParam);
  }
}

void CP_DisclosureTriangle::DrawContent(const CP_Region&) {
  CP_Rect place = GetOffsetFrameRect();
  place.Inset(2, 2);
  FillTriangle(fCanvas->GetDC(), place, fOpen);
}

LRESULT CP_DisclosureTriangle::TriangleMouseMove(HWND, WPARAM, LPARAM) { return 0; }

LRESULT CP_DisclosureTriangle::TriangleMouseDown(HWND window, WPARAM, LPARAM) {
  SetCapture(window);
  fPressed = true;
  return 0;
}

LRESULT CP_DisclosureTriangle::TriangleMouseUp(HWND window, WPARAM, LPARAM lParam) {
  if (!fPressed) return 0;
  fPressed = false;
  if (GetCapture() == window) ReleaseCapture();
  RECT client = {};
  GetClientRect(window, &client);
  const POINT at{int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))};
  if (!PtInRect(&client, at)) return 0;
  SetOpen(!fOpen);
  CP_Message message(this, 0, fOpen ? 1 : 0, 0);
  Broadcast(message);
  return 0;
}
