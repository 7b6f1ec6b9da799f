#include "GH_Button.h"

#include "CP_Canvas.h"
#include "CP_GdiOwners.h"
#include "CP_ImgShapes.h"
#include "CP_InStream.h"
#include "CP_Menu.h"
#include "CP_OutStream.h"
#include "CP_TextTrait.h"

#include <algorithm>

namespace {

// DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | DFCS_FLAT
constexpr UINT kPushFrameState = 0x6010;
constexpr uint16_t kDefaultLabelTrait = 13;
constexpr COLORREF kFocusFrameColor = 0xCCCCCC;

}  // namespace

GH_Button::GH_Button(CP_View* superPane, const CP_PaneInfo& info, const std::string& label,
                     int16_t horizontal, int16_t vertical, int16_t margin, int16_t value,
                     int16_t minimum, int16_t maximum)
    : CP_Control(superPane, info, label, value, minimum, maximum),
      fHorizontal(horizontal),
      fVertical(vertical),
      fMargin(margin) {
  MakeWindow(superPane, info.location, info.size);
  fText = label;
  LayOutLabel();
}

GH_Button::~GH_Button() {
  if (fMenu) fMenu->RemoveReference();
  fMenu = nullptr;
}

// ---------------------------------------------------------------------------
// Layout

void GH_Button::ApplyLabelFont() {
  if (fTextTrait) {
    fCanvas->GetFont().ApplyTextTrait(*fTextTrait);
  } else {
    CP_TextTrait standard(kDefaultLabelTrait);
    fCanvas->GetFont().ApplyTextTrait(standard);
  }
}

void GH_Button::LayOutLabel() {
  CP_PaneDCScope scope(this);
  ApplyLabelFont();
  CP_Rect inner = GetOffsetFrameRect();
  inner.Inset(kInset, kInset);
  const int32_t innerWidth = inner.Width();
  const int32_t innerHeight = inner.Height();
  const int32_t height = fCanvas->GetFont().GetLineHeight();
  SIZE extent = {};
  INT fit = 0;
  int32_t width = 0;
  if (GetTextExtentExPointA(fCanvas->GetDC(), fText.c_str(), int(fText.size()), innerWidth, &fit, nullptr, &extent))
    width = extent.cx;
  width = std::min(width, innerWidth);

  fLabelRect = CP_Rect(kInset, kInset, kInset + width, kInset + height);
  switch (fHorizontal) {
    case kAlignLeft: fLabelRect.Offset(fMargin, 0); break;
    case kAlignCentre: fLabelRect.Offset((innerWidth - width) / 2, 0); break;
    case kAlignRight: fLabelRect.Offset(innerWidth - width - fMargin, 0); break;
    default: break;
  }
  if (fVertical == kAlignMiddle)
    fLabelRect.Offset(0, (innerHeight - height) / 2);
  else if (fVertical == kAlignBottom)
    fLabelRect.Offset(0, innerHeight - height);
}

void GH_Button::LayOutArrow() {
  CP_Rect inner = GetOffsetFrameRect();
  inner.Inset(kInset, kInset);
  const int32_t r = inner.right;
  const int32_t b = inner.bottom;
  const bool large = fArrowSize == 1;
  if (fArrowDirection == kArrowDown)
    fArrowRect = large ? CP_Rect(r - 10, b - 6, r - 2, b - 1) : CP_Rect(r - 6, b - 4, r - 2, b - 1);
  else
    fArrowRect = large ? CP_Rect(r - 6, b - 10, r - 1, b - 2) : CP_Rect(r - 4, b - 6, r - 1, b - 2);
}

// ---------------------------------------------------------------------------
// Drawing

void GH_Button::DrawContent(const CP_Region&) {
  LayOutLabel();
  DrawPushFrame();
  if (HasText()) DrawLabel();
  if (fMenu) DrawPopupArrow();
}

void GH_Button::DrawPushFrame() {
  // The call shrinks the rectangle it is given.
  RECT frame = GetOffsetFrameRect().ToRECT();
  DrawFrameControl(fCanvas->GetDC(), &frame, DFC_BUTTON, kPushFrameState);
}

void GH_Button::DrawLabel() {
  ApplyLabelFont();
  CP_RGBColor text = fTextTrait ? fTextTrait->GetColor() : CP_RGBColor::Black;
  CP_RGBColor back = GetSystemColor(fPushed == 1 ? COLOR_3DFACE : COLOR_3DLIGHT);
  if (!LooksAvailable()) {
    text.Lighten();
    back.Lighten();
  }
  fCanvas->SetForegroundColor(text);
  fCanvas->SetBackgroundColor(back);
  fCanvas->SetBackgroundMode(CP_Canvas::kTransparent);
  CP_Rect place = fLabelRect;
  if (fPushed != 0) place.Offset(2, 2);
  CP_ImgShape_Text(fCanvas.get(), place, fText, CP_ImgShape_Text::kFontLineHeight).DrawFitted(fHorizontal, 0);
}

void GH_Button::DrawPopupArrow() {
  CP_RGBColor color = CP_RGBColor::Black;
  if (!LooksAvailable()) color.Lighten();
  fCanvas->SetForegroundColor(color);
  CP_ImgShape_Line line(fCanvas.get());
  const int32_t top = fArrowRect.top;
  const int32_t left = fArrowRect.left;
  const int32_t width = fArrowRect.Width();
  const int32_t height = fArrowRect.Height();
  if (fArrowDirection == kArrowRight) {
    for (int32_t i = 0; i < width; ++i)
      line.DrawLine(int16_t(left + i), int16_t(top + i), int16_t(left + i), int16_t(top + height - i));
  } else {
    for (int32_t i = 0; i < height; ++i)
      line.DrawLine(int16_t(left + i), int16_t(top + i), int16_t(left + width - i), int16_t(top + i));
  }
}

void GH_Button::DrawFocusFrame() {
  CP_Rect place = GetOffsetFrameRect();
  place.Inset(3, 3);
  fCanvas->SetForegroundColor(CP_RGBColor::Black);
  fCanvas->SetBackgroundColor(CP_RGBColor::White);
  const RECT r = place.ToRECT();
  const CP_GdiObject<HBRUSH> brush(CreateSolidBrush(kFocusFrameColor));
  FrameRect(fCanvas->GetDC(), &r, brush.Get());
  DrawFocusRect(fCanvas->GetDC(), &r);
}

// ---------------------------------------------------------------------------
// Mouse and menu

int16_t GH_Button::FindActiveSpot(const CP_Point& point) { return TrackSpot(point, fPushed); }

int16_t GH_Button::TrackSpot(const CP_Point& point, int16_t& flag) {
  int16_t result = kNoPart;
  {
    CP_PaneDCScope scope(this);
    if (ContainsPoint(point + GetNegatedOriginOffset())) {
      TakeFocus(nullptr);
      if (flag == 0) {
        flag = 1;
        result = kWholeFrame;
        DrawContent(CP_Region(GetOffsetFrameRect()));
        DrawFocusFrame();
      }
    } else if (flag == 1) {
      flag = 0;
      result = kWholeFrame;
      DrawContent(CP_Region());
    }
  }
  // The menu's choice may end in a listener that deletes the button: nothing
  // of it is touched afterwards.
  if (fMenu) ShowPopupMenu();
  return result;
}

void GH_Button::ActiveSpotReleased(const CP_Point& point) {
  fPushed = 0;
  TakeFocus(nullptr);
  {
    CP_PaneDCScope scope(this);
    DrawContent(CP_Region(GetOffsetFrameRect()));
  }
  if (ContainsPoint(point + GetNegatedOriginOffset()) && fBroadcastCode != 0) BroadcastValueMessage();
}

void GH_Button::ShowPopupMenu() {
  const CP_Rect frame = GetOffsetFrameRect();
  CP_Point anchor = fArrowDirection == kArrowRight ? CP_Point(frame.right, frame.top)
                                                   : CP_Point(frame.left, frame.bottom);
  LocalToGlobalPoint(anchor);
  // Held while the menu runs: the release below may delete the button.
  CP_Menu* menu = fMenu;
  menu->AddReference();
  const int16_t checked = fValue;
  menu->CheckItem(checked, ' ', 1);
  HWND window = fWindow;
  TrackPopupMenu(menu->GetHandle(), TPM_LEFTALIGN, anchor.h, anchor.v, 0, window, nullptr);
  // The menu took the mouse-up; this ends the tracking it interrupted.
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  menu->CheckItem(checked, ' ', 0);
  menu->RemoveReference();
}

LRESULT GH_Button::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) return HandleCommandMessage(window, wParam, lParam);
  return CP_Control::HandleMessage(window, message, wParam, lParam);
}

LRESULT GH_Button::HandleCommandMessage(HWND, WPARAM wParam, LPARAM lParam) {
  if (lParam != 0 || !fMenu) return kNotHandled;
  fValue = fMenu->FindItemByCommand(LOWORD(wParam));
  return 0;
}

void GH_Button::SetPopupMenu(CP_Menu* menu, int16_t direction, int16_t size, uint8_t enableAll) {
  if (menu) menu->AddReference();
  if (fMenu) fMenu->RemoveReference();
  fMenu = menu;
  fMenuId = menu ? menu->GetMenuId() : -1;
  fArrowDirection = direction;
  fArrowSize = size;
  LayOutArrow();
  if (enableAll != 1 || !menu) return;
  const int16_t count = menu->CountItems();
  for (int16_t position = 1; position <= count; ++position) menu->EnableItem(position);
}

void GH_Button::EnableOwn() { EnableWindow(fWindow, TRUE); }
void GH_Button::DisableOwn() { EnableWindow(fWindow, FALSE); }

// ---------------------------------------------------------------------------
// Streaming

void GH_Button::WriteToStream(CP_OutStream& out) {
  CP_Control::WriteToStream(out);
  out.WriteInt16(fArrowDirection).WriteInt16(fArrowSize).WriteInt16(fMenuId);
  out.WriteInt16(fHorizontal).WriteInt16(fVertical).WriteInt16(fMargin);
}

void GH_Button::ReadFromStream(void* context, CP_InStream& in) {
  CP_Control::ReadFromStream(context, in);
  in.ReadInt16(fArrowDirection).ReadInt16(fArrowSize).ReadInt16(fMenuId);
  in.ReadInt16(fHorizontal).ReadInt16(fVertical).ReadInt16(fMargin);
}
