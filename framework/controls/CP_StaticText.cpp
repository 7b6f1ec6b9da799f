#include "CP_StaticText.h"

#include "CP_Canvas.h"
#include "CP_Event.h"
#include "CP_Exception.h"
#include "CP_InStream.h"
#include "CP_OutStream.h"
#include "CP_TextTrait.h"
#include "CP_View.h"

namespace {

constexpr const char* kSource = "CP_StaticText";
constexpr int32_t kLineNoWindow = 205;

}  // namespace

CP_StaticText::CP_StaticText(CP_View* superPane, const CP_PaneInfo& info, const std::string& text)
    : CP_Pane(superPane, info) {
  MakeTextWindow(text);
}

CP_StaticText::CP_StaticText(CP_View* superPane, Stored) : CP_Pane(superPane, CP_PaneInfo()) {}

CP_StaticText::~CP_StaticText() = default;

CP_M_Reanimatable* CP_StaticText::CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in) {
  auto* label = new CP_StaticText(dynamic_cast<CP_View*>(superView), Stored{});
  try {
    label->ReadFromStream(nullptr, in);
    label->UpdateOriginOffset(label->GetSuperPane());
    label->SetPrintFrame(label->fLocation, label->fSize);
    label->MakeTextWindow(label->fText);
  } catch (...) {
    delete label;
    throw;
  }
  return label;
}

void CP_StaticText::MakeTextWindow(const std::string& text) {
  fWindowStyle = WS_CHILD;
  HWND window = CreatePaneWindow(GetSuperPane(), fLocation, fSize, "", "static", WS_CHILD, 0);
  ThrowIfNull(window, kSource, kLineNoWindow);
  SubclassWindow(PaneWindowProc);
  if (text != fText) fText = text;
  SetWindowTextA(window, text.c_str());
}

LRESULT CP_StaticText::HandleControlColor(HWND window, UINT, WPARAM wParam, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  HBRUSH brush = nullptr;
  const CP_Pane* super = GetSuperPane();
  if (fEnvironment || super) {
    const CP_RGBColor color = fEnvironment ? fEnvironment->GetBackgroundColor() : super->GetBackgroundColor();
    SetBkColor(dc, color.ToPaletteColorRef());
    brush = ReplaceControlColorBrush(window, color);
  }
  if (fTextTrait) SetTextColor(dc, fTextTrait->GetColor().ToPaletteColorRef());
  return reinterpret_cast<LRESULT>(brush);
}

// A pane not yet shown still validates what Windows asks it to paint, or
// the request would come back for ever.
LRESULT CP_StaticText::HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!IsVisible()) {
    ValidateRect(window, nullptr);
    return 0;
  }
  CP_ST_DCCanvas canvas(this);
  DrawUnderAdorners();
  const LRESULT result = CallSavedWindowProc(window, WM_PAINT, wParam, lParam);
  DrawOverAdorners();
  return result;
}

void CP_StaticText::UseTextTrait(CP_TextTrait* trait) { SetTextTrait(trait); }

void CP_StaticText::WriteToStream(CP_OutStream& out) {
  CP_Pane::WriteToStream(out);
  out.WriteString(fText);
}

void CP_StaticText::ReadFromStream(void* context, CP_InStream& in) {
  CP_Pane::ReadFromStream(context, in);
  in.ReadString(fText);
}
