#include "CP_TextField_SingleLine.h"

#include "CP_Canvas.h"
#include "CP_Exception.h"
#include "CP_HandleBlock.h"
#include "CP_KeyInputFilter.h"
#include "CP_TextFieldCommands.h"
#include "CP_TextValidator.h"
#include "CP_Utilities.h"

#include <memory>
#include <new>

namespace {

constexpr const char* kSource = "CP_TextField_SingleLine";
constexpr uint32_t kSingleLineStyle = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL;
constexpr uint32_t kMultiLineStyle =
    WS_CHILD | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr uint32_t kAlignmentBits = ES_CENTER | ES_RIGHT;

struct BlockRelease {
  void operator()(CP_HandleBlock* block) const { delete block; }
};

}  // namespace

CP_TextField_SingleLine::CP_TextField_SingleLine(CP_View* superPane, const CP_PaneInfo& info,
                                                 CP_M_Commander* parentCommander, const std::string& text,
                                                 CP_KeyInputFilter* filter)
    : CP_TextField_SingleLine(superPane, info, parentCommander, text, filter, kSingleLineStyle) {}

CP_TextField_SingleLine::CP_TextField_SingleLine(CP_View* superPane, const CP_PaneInfo& info,
                                                 CP_M_Commander* parentCommander, const std::string& text,
                                                 CP_KeyInputFilter* filter, uint32_t style)
    : CP_NativeTextField(superPane, info, parentCommander, filter) {
  MakeTextWindow("edit", text, style, kEditExStyle);
}

CP_TextField_SingleLine::~CP_TextField_SingleLine() = default;

CP_TextFieldCommand_InputChar* CP_TextField_SingleLine::GetTypingCommand() const {
  return static_cast<CP_TextFieldCommand_InputChar*>(fTypingCommand);
}

CP_TextFieldCommand_InputChar* CP_TextField_SingleLine::GetDeletingCommand() const {
  return static_cast<CP_TextFieldCommand_InputChar*>(fDeletingCommand);
}

CP_TextEditCommand* CP_TextField_SingleLine::MakeTypingCommand() {
  return new (std::nothrow) CP_TextFieldCommand_InputChar(this, "Typing");
}

CP_TextEditCommand* CP_TextField_SingleLine::MakeEditCommand(int32_t command) {
  switch (command) {
    case 11: return new (std::nothrow) CP_TextFieldCommand_Cut(this, "Cut Text");
    case 12: return new (std::nothrow) CP_TextFieldCommand_Copy(this, "Copy Text");
    case 13: return new (std::nothrow) CP_TextFieldCommand_Paste(this, "Paste Text");
    case 14: return new (std::nothrow) CP_TextFieldCommand_Clear(this, "Clear Text");
    default: return nullptr;
  }
}

void CP_TextField_SingleLine::AddCharTo(CP_TextEditCommand* command, int16_t key) {
  static_cast<CP_TextFieldCommand_InputChar*>(command)->AddChar(key);
}

void CP_TextField_SingleLine::DeleteCharIn(CP_TextEditCommand* command, int16_t key) {
  static_cast<CP_TextFieldCommand_InputChar*>(command)->DeleteChar(key);
}

void CP_TextField_SingleLine::AttachValidator(CP_TextValidator* validator) { validator->SetField(this); }


// ---------------------------------------------------------------------------
// Font

void CP_TextField_SingleLine::ApplyFont(const std::function<void(CP_Font&)>& apply, uint8_t redraw) {
  CP_Canvas* canvas = GetCanvas();
  if (!canvas || !fWindow) return;
  int16_t start = 0, end = 0;
  GetSelection(start, end);
  HDC obtained = nullptr;
  if (!canvas->HasValidDC()) {
    obtained = AcquireWindowDC(fWindow);
    canvas->AttachDC(obtained);
  }
  CP_Font& font = canvas->GetFont();
  font.SetWindow(fWindow);
  apply(font);
  SetSelection(start, end);
  SetFocus(fWindow);
  if (obtained) {
    // Our font goes out of the device context before it is given back.
    font.Deselect();
    ReleaseWindowDC(fWindow, obtained);
    canvas->DetachDC();
  }
  if (redraw == 1) RedrawNow();
}

void CP_TextField_SingleLine::SetFontName(const std::string& name, uint8_t redraw) {
  ApplyFont([&](CP_Font& font) { font.SetName(name); }, redraw);
}

void CP_TextField_SingleLine::SetFontSize(int16_t points, uint8_t redraw) {
  fFontSize = points;
  ApplyFont([&](CP_Font& font) { font.SetSize(points); }, redraw);
}

void CP_TextField_SingleLine::SetFontStyle(int16_t style, uint8_t redraw) {
  fFontStyle = style;
  ApplyFont([&](CP_Font& font) { font.SetStyle(style); }, redraw);
}

// ---------------------------------------------------------------------------
// Several lines

CP_TextField_MultiLine::CP_TextField_MultiLine(CP_View* superPane, const CP_PaneInfo& info,
                                               CP_M_Commander* parentCommander, const std::string& text,
                                               CP_KeyInputFilter* filter)
    : CP_TextField_SingleLine(superPane, info, parentCommander, text,
                              filter ? filter : new CP_KeyInputFilter(true), kMultiLineStyle) {}

void CP_TextField_MultiLine::SetAlignment(int16_t alignment, uint8_t redraw) {
  uint32_t style = fWindowStyle & ~kAlignmentBits & ~uint32_t(WS_VISIBLE);
  if (alignment == 1) style |= ES_CENTER;
  if (alignment == 2) style |= ES_RIGHT;

  std::unique_ptr<CP_HandleBlock, BlockRelease> text(GetTextBlock());
  int16_t start = 0, end = 0;
  GetSelection(start, end);
  const uint8_t changed = fChanged;
  const HWND old = fWindow;
  const bool shown = old && IsWindowVisible(old);
  const bool focused = old && GetFocus() == old;
  const HFONT font = GetCanvas() ? GetCanvas()->GetFont().GetHandle() : nullptr;

  // The old window keeps its pane until the new one exists: without a new
  // window the field stays as it was.
  const WNDPROC oldProcedure = fSavedWindowProc;
  HWND created = CreatePaneWindow(GetSuperPane(), fLocation, fSize, "", "edit", style, kEditExStyle);
  if (!created) {
    fWindow = old;
    throw CP_PlfrmErrorException(int32_t(GetLastError()), kSource, __LINE__);
  }
  fAlignment = alignment;
  // The old window lets the pane go as ReleaseWindow does; then the pane
  // takes the new one.
  fWindow = old;
  ReleaseWindow();
  fWindow = created;
  fSavedWindowProc = oldProcedure;
  SubclassWindow(PaneWindowProc);
  fWindowStyle = style;
  DestroyWindow(old);

  SendToControl(EM_SETLIMITTEXT, WPARAM(kMaximumLength), 0);
  if (GetCanvas()) GetCanvas()->GetFont().SetWindow(created);
  SetTextBlock(text.get(), 1);
  fChanged = changed;
  if (font) SendToControl(WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SetSelection(start, end);
  if (shown) {
    ShowWindow(created, SW_SHOW);
    fWindowStyle |= WS_VISIBLE;
  }
  if (focused || IsTargetCommander()) SetFocus(created);
  if (redraw == 1) RedrawNow();
}
