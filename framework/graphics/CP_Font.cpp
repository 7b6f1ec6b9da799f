#include "CP_Font.h"

#include "CP_Callback.h"
#include "CP_Canvas.h"
#include "CP_Exception.h"
#include "CP_TextTrait.h"
#include "CP_Utilities.h"

#include <cstring>
#include <list>

namespace {

// In order of creation. The list holds no reference: each font in use holds
// one, and a record takes itself out when it is deleted.
std::list<CP_FontRecord*>& Records() {
  static std::list<CP_FontRecord*> records;
  return records;
}

bool SameFont(const LOGFONTA& a, const LOGFONTA& b) {
  return lstrcmpA(a.lfFaceName, b.lfFaceName) == 0 && a.lfHeight == b.lfHeight && a.lfWeight == b.lfWeight &&
         a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut;
}

// The desktop's device context for one measurement.
class ScreenDC {
 public:
  ScreenDC() : fWindow(GetDesktopWindow()), fDC(AcquireWindowDC(fWindow)) {}
  ~ScreenDC() {
    if (fDC) ReleaseWindowDC(fWindow, fDC);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC Get() const { return fDC; }

 private:
  HWND fWindow;
  HDC fDC;
};

// The last face of the family whose style is exactly "Regular" wins.
int CALLBACK TakeRegularFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
  return CP_GuardCallback(1, [&] {
    const ENUMLOGFONTA* face = reinterpret_cast<const ENUMLOGFONTA*>(font);
    if (std::strcmp(reinterpret_cast<const char*>(face->elfStyle), "Regular") == 0)
      *reinterpret_cast<LOGFONTA*>(data) = face->elfLogFont;
    return 1;
  });
}

}  // namespace

CP_FontRecord::CP_FontRecord(const LOGFONTA& description) : fDescription(description) {
  fFont = CreateFontHandle(&fDescription);
  ThrowIfNull(fFont, "CP_Font", 769);
  Records().push_back(this);
}

CP_FontRecord::~CP_FontRecord() {
  Records().remove(this);
  if (fFont) DeleteGdiObject(fFont);
}

CP_FontRecord* CP_FontRecord::FindOrMake(const LOGFONTA& description) {
  for (CP_FontRecord* record : Records())
    if (SameFont(record->fDescription, description)) return record;
  return new CP_FontRecord(description);
}

int32_t CP_FontRecord::CountRecords() { return int32_t(Records().size()); }

CP_Font::~CP_Font() {
  // The record's font must not be deleted while a device context holds it.
  if (HDC dc = CanvasDC(); dc && fPrevious) SelectObject(dc, fPrevious);
  if (fRecord) fRecord->RemoveReference();
}

HDC CP_Font::CanvasDC() const { return fCanvas && fCanvas->HasValidDC() ? fCanvas->GetDC() : nullptr; }

void CP_Font::AttachCanvas(CP_Canvas* canvas) {
  fCanvas = canvas;
  HDC dc = CanvasDC();
  if (!dc) return;
  HGDIOBJ current = SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
  ::GetObjectA(current, sizeof fDescription, &fDescription);
  SelectObject(dc, current);
}

void CP_Font::SelectInto(CP_Canvas* canvas) {
  fCanvas = canvas;
  HDC dc = CanvasDC();
  if (!dc) return;
  if (!fFont) {
    fPrevious = nullptr;
    return;
  }
  HGDIOBJ replaced = SelectObject(dc, fFont);
  // Selected twice, the font must still put back what was there first.
  if (!fPrevious) fPrevious = replaced;
}

void CP_Font::Deselect() {
  if (HDC dc = CanvasDC(); dc && fPrevious) SelectObject(dc, fPrevious);
  fPrevious = nullptr;
  fCanvas = nullptr;
}

int16_t CP_Font::GetLineHeight() const {
  HDC dc = CanvasDC();
  if (!dc) return 13;
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  return int16_t(metrics.tmHeight + metrics.tmExternalLeading);
}

void CP_Font::SetHeightFromSize() {
  ScreenDC screen;
  fDescription.lfHeight = -MulDiv(fSize, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
  fDescription.lfWidth = 0;
}

void CP_Font::LookUpFamily() {
  ScreenDC screen;
  EnumFontFamiliesA(screen.Get(), fName.c_str(), TakeRegularFace, reinterpret_cast<LPARAM>(&fDescription));
  CP_RethrowPendingException();
}

void CP_Font::SetName(const std::string& name) {
  fName = name;
  if (fName != kSystemFixed) {
    LookUpFamily();
    SetHeightFromSize();
  }
  RebuildFont();
}

void CP_Font::SetSize(int16_t points) {
  fSize = points;
  if (fName != kSystemFixed) SetHeightFromSize();
  RebuildFont();
}

void CP_Font::SetStyle(int16_t style) {
  if (fName != kSystemFixed) {
    LookUpFamily();
    SetHeightFromSize();
    fDescription.lfWeight = (style & 0x1) ? FW_BOLD : 0;
    fDescription.lfItalic = (style & 0x2) ? 1 : 0;
    fDescription.lfUnderline = (style & 0x4) ? 1 : 0;
    fDescription.lfStrikeOut = (style & 0x8) ? 1 : 0;
  }
  RebuildFont();
}

void CP_Font::SetNameAndSize(const std::string& name, int16_t points) {
  fName = name;
  fSize = points;
  if (fName != kSystemFixed) {
    // A longer name would run past the face field: it is cut to fit.
    CopyCStringBounded(fName.c_str(), fDescription.lfFaceName, int16_t(sizeof fDescription.lfFaceName));
  }
  SetHeightFromSize();
  RebuildFont();
}

void CP_Font::RebuildFont() {
  HDC dc = CanvasDC();
  if (fFont) {
    if (dc && fPrevious) {
      SelectObject(dc, fPrevious);
      fPrevious = nullptr;
    }
    if (fRecord) fRecord->RemoveReference();
    fRecord = nullptr;
    fFont = nullptr;
  }

  if (std::strcmp(fDescription.lfFaceName, kSystemFixed) == 0) {
    fFont = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  } else {
    fRecord = CP_FontRecord::FindOrMake(fDescription);
    ThrowIfNull(fRecord, "CP_Font", 701);
    fRecord->AddReference();
    fFont = fRecord->GetHandle();
    ThrowIfNull(fFont, "CP_Font", 705);
  }

  if (dc) SelectInto(fCanvas);
  if (fWindow) SendMessageA(fWindow, WM_SETFONT, reinterpret_cast<WPARAM>(fFont), 1);
}

void CP_Font::SetFontHandle(HFONT font) {
  if (font == fFont) return;
  fFont = font;
  HDC dc = CanvasDC();
  if (!dc || !fFont) return;
  HGDIOBJ replaced = SelectObject(dc, fFont);
  if (!fPrevious) fPrevious = replaced;
}

void CP_Font::ApplyTextTrait(const CP_TextTrait& trait) {
  SetNameAndSize(trait.GetFontName(), trait.GetSize());
  if (HDC dc = CanvasDC()) SetTextColor(dc, trait.GetColor().ToPaletteColorRef());
}
