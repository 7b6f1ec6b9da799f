#include "CP_ImgShapes.h"

#include "CP_Canvas.h"
#include "CP_GdiOwners.h"
#include "CP_Pen.h"

namespace {

constexpr int32_t kNarrowestLine = 5;

// A line must advance: a stored height of 0 or less leaves it to the font,
// and a font that measures nothing still moves one pixel.
int32_t Advance(int16_t stored, int32_t measured) {
  if (stored > 0) return stored;
  return measured > 0 ? measured : 1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Rectangles

void CP_ImgShape_Rect::Frame() {
  HDC dc = fCanvas->GetDC();
  const CP_GdiObject<HRGN> region(CreateRectRgn(fBounds.left, fBounds.top, fBounds.right, fBounds.bottom));
  const CP_GdiObject<HBRUSH> brush(CreateSolidBrush(fCanvas->GetPen().GetColor().ToPaletteColorRef()));
  const int16_t width = fCanvas->GetPen().GetWidth();
  FrameRgn(dc, region.Get(), brush.Get(), width, width);
}

void CP_ImgShape_Rect::Paint() {
  Fill();
  Frame();
}

void CP_ImgShape_Rect::FillWithPattern(CP_Pattern& pattern) {
  if (!pattern.GetHandle()) return;
  const CP_GdiObject<HRGN> region(CreateRectRgn(fBounds.left, fBounds.top, fBounds.right, fBounds.bottom));
  FillRgn(fCanvas->GetDC(), region.Get(), pattern.GetHandle());
}

void CP_ImgShape_Rect::Fill() {
  const CP_GdiObject<HRGN> region(CreateRectRgn(fBounds.left, fBounds.top, fBounds.right, fBounds.bottom));
  const CP_GdiObject<HBRUSH> brush(CreateSolidBrush(fCanvas->GetPen().GetColor().ToPaletteColorRef()));
  FillRgn(fCanvas->GetDC(), region.Get(), brush.Get());
}

void CP_ImgShape_Rect::FillWithBrush() {
  HDC dc = fCanvas->GetDC();
  HBRUSH brush = fCanvas->GetBrush().GetHandle();
  if (!brush) brush = static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH));
  const RECT r = fBounds.ToRECT();
  FillRect(dc, &r, brush);
}

void CP_ImgShape_Rect::Invert() {
  const RECT r = fBounds.ToRECT();
  InvertRect(fCanvas->GetDC(), &r);
}

// ---------------------------------------------------------------------------
// Text

// A justified line leaves its spacing in the DC: every measurement starts
// without it.
CP_TextExtent CP_ImgShape_Text::Measure(const char* chars, int32_t count) const {
  HDC dc = fCanvas->GetDC();
  SetTextJustification(dc, 0, 0);
  SIZE size = {};
  if (!GetTextExtentPoint32A(dc, chars, count, &size)) return {};
  return {size.cx, size.cy};
}

CP_TextMeasure CP_ImgShape_Text::Measurer() const {
  return [this](const char* chars, int32_t count) { return Measure(chars, count); };
}

int32_t CP_ImgShape_Text::FirstCharacterHeight() const {
  return fText.empty() ? 0 : Measure(fText.data(), 1).height;
}

int32_t CP_ImgShape_Text::FontLineHeight() const {
  TEXTMETRICA metrics = {};
  if (!GetTextMetricsA(fCanvas->GetDC(), &metrics)) return 0;
  return metrics.tmHeight + metrics.tmExternalLeading;
}

int16_t CP_ImgShape_Text::CountLines() {
  const std::vector<CP_TextLine> lines = CP_BreakLines(fText, fBounds.Width(), Measurer());
  for (const CP_TextLine& line : lines) {
    const CP_TextExtent extent = Measure(fText.data() + line.start, int32_t(line.length));
    if (extent.width > 0 && uint32_t(extent.width) > fWidestLine) fWidestLine = uint32_t(extent.width);
  }
  return int16_t(lines.size());
}

void CP_ImgShape_Text::DrawWrapped(int16_t alignment, int16_t placement) {
  if (fText.empty()) return;
  SetBkMode(fCanvas->GetDC(), TRANSPARENT);
  if (fBounds.Width() < kNarrowestLine) return;
  int32_t y = fBounds.top;
  if (placement != kTop) {
    const int32_t lines = CountLines();
    const int32_t lineHeight = Advance(fLineHeight, FirstCharacterHeight());
    if (placement == kMiddle)
      y = fBounds.top + (fBounds.Height() - lines * lineHeight) / 2;
    else if (placement == kBottom)
      y = fBounds.bottom - lines * lineHeight;
  }
  DrawLines(fText, alignment, y);
}

void CP_ImgShape_Text::SetTextAndDrawWrapped(const std::string& text, int16_t alignment, int16_t placement) {
  fText = text;
  DrawWrapped(alignment, placement);
}

std::string CP_ImgShape_Text::FittedText(const std::string& text, int32_t fit) {
  if (fit < 0) fit = 0;
  if (size_t(fit) >= text.size()) return text;
  if (fit <= 2) return text.substr(0, size_t(fit));
  if (fit == 3) return "...";
  return text.substr(0, size_t(fit - 3)) + "...";
}

void CP_ImgShape_Text::DrawFitted(int16_t alignment, int16_t) {
  HDC dc = fCanvas->GetDC();
  SetBkMode(dc, TRANSPARENT);
  SetTextJustification(dc, 0, 0);
  INT fit = 0;
  SIZE size = {};
  std::string shown;
  if (GetTextExtentExPointA(dc, fText.c_str(), int(fText.size()), fBounds.Width(), &fit, nullptr, &size))
    shown = FittedText(fText, fit);
  const int32_t lineHeight = Advance(fLineHeight, FontLineHeight());
  const int32_t y = fBounds.top + (fBounds.Height() - lineHeight) / 2;
  DrawLines(shown, alignment, y);
}

void CP_ImgShape_Text::SetTextAndDrawFitted(const std::string& text, int16_t alignment, int16_t unused) {
  fText = text;
  DrawFitted(alignment, unused);
}

void CP_ImgShape_Text::DrawLines(const std::string& text, int16_t alignment, int32_t y) {
  const int32_t width = fBounds.Width();
  if (width < kNarrowestLine) return;
  HDC dc = fCanvas->GetDC();
  const CP_TextMeasure measure = Measurer();
  for (size_t position = 0; position < text.size() && y < fBounds.bottom;) {
    const CP_TextLine line = CP_BreakLine(text, position, width, measure);
    const char* chars = text.data() + line.start;
    const CP_TextExtent extent = Measure(chars, int32_t(line.length));
    int32_t x = 0;
    switch (alignment) {
      case kLeft: x = fBounds.left; break;
      case kRight: x = fBounds.right - extent.width; break;
      case kCentred: x = (fBounds.left + fBounds.right - extent.width) / 2; break;
      case kJustified:
        x = fBounds.left;
        // The spare width goes to the spaces, the trailing one included.
        if (!line.reachedEnd && line.spaces > 0) SetTextJustification(dc, width - extent.width, line.spaces);
        break;
      default: break;
    }
    TextOutA(dc, x, y, chars, int(line.length));
    y += Advance(fLineHeight, extent.height);
    position += line.length;
  }
  SetTextJustification(dc, 0, 0);
}
