#include "CP_TextField_MS_SingleLine.h"

#include "CP_Exception.h"
#include "CP_File.h"
#include "CP_KeyInputFilter.h"
#include "CP_TextFieldCommands_MS.h"
#include "CP_TextValidator.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr const char* kSource = "CP_TextField_MS_SingleLine";
constexpr uint32_t kSingleLineStyle = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_NOOLEDRAGDROP;
constexpr uint32_t kMultiLineStyle = WS_CHILD | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                     ES_WANTRETURN | ES_NOOLEDRAGDROP;
constexpr uint32_t kExStyle = WS_EX_CLIENTEDGE;

// The rich edit library stays loaded while the program runs: its window
// class lives in it.
class RichEditLibrary {
 public:
  RichEditLibrary() : fModule(LoadLibraryA("RICHED32.DLL")) {}
  ~RichEditLibrary() {
    if (fModule) FreeLibrary(fModule);
  }
  RichEditLibrary(const RichEditLibrary&) = delete;
  RichEditLibrary& operator=(const RichEditLibrary&) = delete;
  bool IsLoaded() const { return fModule != nullptr; }

 private:
  HMODULE fModule;
};

bool LoadRichEdit() {
  static RichEditLibrary library;
  return library.IsLoaded();
}

// Streams between the control and a string. No exception may leave them:
// they run inside the control.
struct StringSource {
  const std::string* text;
  size_t position;
};

DWORD CALLBACK WriteToString(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written) {
  *written = 0;
  try {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), size_t(count));
  } catch (...) {
    return 1;
  }
  *written = count;
  return 0;
}

DWORD CALLBACK ReadFromString(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* read) {
  auto* source = reinterpret_cast<StringSource*>(cookie);
  const size_t left = source->text->size() - source->position;
  const size_t n = std::min(left, size_t(count > 0 ? count : 0));
  std::memcpy(buffer, source->text->data() + source->position, n);
  source->position += n;
  *read = LONG(n);
  return 0;
}

// The file's Windows handle, and whether a call on it failed. A short or
// empty read ends the stream; a failed call ends it with an error.
struct FileStream {
  HANDLE file;
  bool failed;
  uint32_t bytes;
};

DWORD CALLBACK WriteToFile(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written) {
  auto* stream = reinterpret_cast<FileStream*>(cookie);
  DWORD done = 0;
  const BOOL ok = WriteFile(stream->file, buffer, DWORD(count), &done, nullptr);
  *written = LONG(done);
  stream->bytes += done;
  if (ok && done == DWORD(count)) return 0;
  stream->failed = true;
  return 1;
}

DWORD CALLBACK ReadFromFile(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* read) {
  auto* stream = reinterpret_cast<FileStream*>(cookie);
  DWORD done = 0;
  const BOOL ok = ReadFile(stream->file, buffer, DWORD(count), &done, nullptr);
  *read = LONG(done);
  stream->bytes += done;
  if (ok) return 0;
  stream->failed = true;
  return 1;
}

}  // namespace

CP_TextField_MS_SingleLine::CP_TextField_MS_SingleLine(CP_View* superPane, const CP_PaneInfo& info,
                                                       CP_M_Commander* parentCommander,
                                                       const std::string& text, CP_KeyInputFilter* filter)
    : CP_TextField_MS_SingleLine(superPane, info, parentCommander, text, filter, kSingleLineStyle) {}

CP_TextField_MS_SingleLine::CP_TextField_MS_SingleLine(CP_View* superPane, const CP_PaneInfo& info,
                                                       CP_M_Commander* parentCommander,
                                                       const std::string& text, CP_KeyInputFilter* filter,
                                                       uint32_t style)
    : CP_NativeTextField(superPane, info, parentCommander, filter) {
  if (!LoadRichEdit() || !MakeTextWindow("RICHEDIT", text, style, kExStyle)) {
    const DWORD error = GetLastError();
    throw CP_PlfrmErrorException(error ? int32_t(error) : -1, kSource, __LINE__);
  }
}

CP_TextField_MS_SingleLine::~CP_TextField_MS_SingleLine() = default;

CP_TextFieldCommand_MS_InputChar* CP_TextField_MS_SingleLine::GetTypingCommand() const {
  return static_cast<CP_TextFieldCommand_MS_InputChar*>(fTypingCommand);
}

CP_TextFieldCommand_MS_InputChar* CP_TextField_MS_SingleLine::GetDeletingCommand() const {
  return static_cast<CP_TextFieldCommand_MS_InputChar*>(fDeletingCommand);
}

CP_TextEditCommand* CP_TextField_MS_SingleLine::MakeTypingCommand() {
  return new (std::nothrow) CP_TextFieldCommand_MS_InputChar(this, "Typing");
}

CP_TextEditCommand* CP_TextField_MS_SingleLine::MakeEditCommand(int32_t command) {
  switch (command) {
    case 11: return new (std::nothrow) CP_TextFieldCommand_MS_Cut(this, "Cut Text");
    case 12: return new (std::nothrow) CP_TextFieldCommand_MS_Copy(this, "Copy Text");
    case 13: return new (std::nothrow) CP_TextFieldCommand_MS_Paste(this, "Paste Text");
    case 14: return new (std::nothrow) CP_TextFieldCommand_MS_Clear(this, "Clear Text");
    default: return nullptr;
  }
}

void CP_TextField_MS_SingleLine::AddCharTo(CP_TextEditCommand* command, int16_t key) {
  static_cast<CP_TextFieldCommand_MS_InputChar*>(command)->AddChar(key);
}

void CP_TextField_MS_SingleLine::DeleteCharIn(CP_TextEditCommand* command, int16_t key) {
  static_cast<CP_TextFieldCommand_MS_InputChar*>(command)->DeleteChar(key);
}

void CP_TextField_MS_SingleLine::KeyRefused() {
  ChangeTarget(this);
  SelectAll();
}

void CP_TextField_MS_SingleLine::AttachValidator(CP_TextValidator* validator) { validator->SetFieldText(this); }

void CP_TextField_MS_SingleLine::SendKeyToControl(int16_t key, int32_t modifiers) {
  if (!IsCharacterKey(key) || (key != VK_BACK && key != VK_RETURN)) {
    CP_NativeTextField::SendKeyToControl(key, modifiers);
    return;
  }
  // The key first; its character only when the key changed nothing, so
  // that the edit happens once whichever of the two the control acts on.
  SendToControl(EM_SETMODIFY, 0, 0);
  PassOn(fWindow, WM_KEYDOWN, WPARAM(key), LPARAM(modifiers));
  if (!SendToControl(EM_GETMODIFY, 0, 0)) PassOn(fWindow, WM_CHAR, WPARAM(key), LPARAM(modifiers));
  if (SendToControl(EM_GETMODIFY, 0, 0)) TextChanged();
}

void CP_TextField_MS_SingleLine::UndoLastEdit() {
  SendToControl(EM_UNDO, 0, 0);
  TextChanged();
}

// ---------------------------------------------------------------------------
// Rich copies

std::string CP_TextField_MS_SingleLine::KeepRange(int16_t start, int16_t end) {
  if (end <= start) return std::string();
  SetSelection(start, end);
  std::string rtf;
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&rtf);
  stream.pfnCallback = WriteToString;
  SendToControl(EM_STREAMOUT, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
  return rtf;
}

void CP_TextField_MS_SingleLine::RestoreRange(const std::string& kept) {
  if (kept.empty()) return;
  StringSource source{&kept, 0};
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadFromString;
  SendToControl(EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
  TextChanged();
}

// ---------------------------------------------------------------------------
// Styles and alignment

void CP_TextField_MS_SingleLine::FormatChanged(uint8_t redraw) {
  SendToControl(EM_SETMODIFY, 1, 0);
  if (redraw == 1) RedrawNow();
  TextChanged();
}

void CP_TextField_MS_SingleLine::SetStyle(int16_t style, uint8_t redraw) {
  int16_t start = 0, end = 0;
  GetSelection(start, end);
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  switch (style) {
    case kBold: format.dwMask = format.dwEffects = CFM_BOLD; break;
    case kItalic: format.dwMask = format.dwEffects = CFM_ITALIC; break;
    case kUnderline: format.dwMask = format.dwEffects = CFM_UNDERLINE; break;
    default: break;
  }
  SendToControl(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  SendToControl(EM_SETMODIFY, 1, 0);
  SetSelection(start, end);
  SetFocus(fWindow);
  if (redraw == 1) RedrawNow();
  TextChanged();
}

void CP_TextField_MS_SingleLine::ToggleStyle(int16_t style, uint8_t redraw) {
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  SendToControl(EM_GETCHARFORMAT, 1, reinterpret_cast<LPARAM>(&format));
  DWORD effect = 0;
  if (style == kBold) effect = CFE_BOLD;
  if (style == kItalic) effect = CFE_ITALIC;
  if (style == kUnderline) effect = CFE_UNDERLINE;
  // Any other value sets nothing back, not even the selection's own format.
  format.dwMask = effect;
  format.dwEffects ^= effect;
  SendToControl(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  FormatChanged(redraw);
}

void CP_TextField_MS_SingleLine::SetAlignment(int16_t alignment, uint8_t redraw) {
  PARAFORMAT format = {};
  format.cbSize = sizeof format;
  format.dwMask = PFM_ALIGNMENT;
  switch (alignment) {
    case 0: format.wAlignment = PFA_LEFT; break;
    case 1: format.wAlignment = PFA_CENTER; break;
    case 2: format.wAlignment = PFA_RIGHT; break;
    default: format.dwMask = 0; break;
  }
  SendToControl(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  FormatChanged(redraw);
}

// ---------------------------------------------------------------------------
// RTF files

void CP_TextField_MS_SingleLine::WriteRichText(CP_File& file) {
  FileStream target{file.GetHandle(), false, 0};
  EDITSTREAM stream = {};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&target);
  stream.pfnCallback = WriteToFile;
  SendToControl(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  if (target.failed || stream.dwError != 0) throw CP_PlfrmErrorException(-36, kSource, __LINE__);
}

// What the control makes of bytes that are not good RTF is its own affair;
// only a file that cannot be read, or a text too long for a field, leaves
// the field as it was.
void CP_TextField_MS_SingleLine::ReadRichText(CP_File& file) {
  std::string before;
  EDITSTREAM out = {};
  out.dwCookie = reinterpret_cast<DWORD_PTR>(&before);
  out.pfnCallback = WriteToString;
  SendToControl(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&out));

  // Read without the field's limit, so that a text too long is seen and
  // refused rather than cut.
  SendToControl(EM_EXLIMITTEXT, 0, LPARAM(INT32_MAX));
  FileStream source{file.GetHandle(), false, 0};
  EDITSTREAM in = {};
  in.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  in.pfnCallback = ReadFromFile;
  SendToControl(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&in));
  const bool tooLong = GetWindowTextLengthA(fWindow) > kMaximumLength;
  if (source.failed || tooLong) {
    StringSource kept{&before, 0};
    EDITSTREAM back = {};
    back.dwCookie = reinterpret_cast<DWORD_PTR>(&kept);
    back.pfnCallback = ReadFromString;
    SendToControl(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&back));
  } else if (source.bytes == 0) {
    SetWindowTextA(fWindow, "");  // an empty file is an empty text
  }
  SendToControl(EM_EXLIMITTEXT, 0, LPARAM(kMaximumLength));
  if (tooLong) throw CP_RuntimeException("The text is too long for a text field", kSource, __LINE__);
  if (source.failed) throw CP_PlfrmErrorException(-36, kSource, __LINE__);
  TextChanged();
}

// ---------------------------------------------------------------------------
// Several lines

CP_TextField_MS_MultiLine::CP_TextField_MS_MultiLine(CP_View* superPane, const CP_PaneInfo& info,
                                                     CP_M_Commander* parentCommander,
                                                     const std::string& text, CP_KeyInputFilter* filter)
    : CP_TextField_MS_SingleLine(superPane, info, parentCommander, text,
                                 filter ? filter : new CP_KeyInputFilter(true), kMultiLineStyle) {}
