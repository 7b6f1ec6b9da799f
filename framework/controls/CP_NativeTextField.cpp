#include "CP_NativeTextField.h"

#include "CP_Canvas.h"
#include "CP_DroppedRecord.h"
#include "CP_Exception.h"
#include "CP_HandleBlock.h"
#include "CP_KeyInputFilter.h"
#include "CP_Menu.h"
#include "CP_Region.h"
#include "CP_TextFieldCommands.h"
#include "CP_TextValidator.h"
#include "CP_Utilities.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr const char* kSource = "CP_NativeTextField";

// The virtual key of a framework key code; 0 for none.
UINT VirtualKeyOf(int16_t key) {
  switch (key) {
    case kKey_Left: return VK_LEFT;
    case kKey_Right: return VK_RIGHT;
    case kKey_Up: return VK_UP;
    case kKey_Down: return VK_DOWN;
    case kKey_Home: return VK_HOME;
    case kKey_End: return VK_END;
    case kKey_PageUp: return VK_PRIOR;
    case kKey_PageDown: return VK_NEXT;
    case kKey_PrintScreen: return VK_SNAPSHOT;
    case kKey_Insert: return VK_INSERT;
    case kKey_Delete: return VK_DELETE;
    default: break;
  }
  if (key >= kKey_F1 && key < kKey_F1 + 15) return UINT(VK_F1 + (key - kKey_F1));
  return key > 0 && key < 0x100 ? UINT(key) : 0;
}

bool IsFrameworkKeyCode(int16_t key) { return key >= kKey_Left && key < kKey_F1 + 15; }

}  // namespace

// ---------------------------------------------------------------------------
// Construction

CP_NativeTextField::CP_NativeTextField(CP_View* superPane, const CP_PaneInfo& info,
                                       CP_M_Commander* parentCommander, CP_KeyInputFilter* filter)
    : CP_View(superPane, info),
      CP_M_Commander(parentCommander),
      fKeyFilter(filter ? filter : new CP_KeyInputFilter),
      fLink(std::make_shared<CP_TextFieldLink>()) {
  fKeyFilter->AddReference();
  fLink->field = this;
}

CP_NativeTextField::~CP_NativeTextField() {
  fLink->field = nullptr;
  fTypingCommand = nullptr;
  fDeletingCommand = nullptr;
  if (CP_TextValidator* validator = fValidator) {
    fValidator = nullptr;
    DetachValidator(validator);
    validator->RemoveReference();
  }
  if (fKeyFilter) fKeyFilter->RemoveReference();
  fKeyFilter = nullptr;
  if (CP_Canvas* canvas = GetCanvas()) canvas->GetFont().SetWindow(nullptr);
}

HWND CP_NativeTextField::MakeTextWindow(const char* windowClass, const std::string& text, uint32_t style,
                                        uint32_t exStyle) {
  if (fVisibleState == kOn) style |= WS_VISIBLE;
  fWindowStyle = style;
  HWND window = CreatePaneWindow(GetSuperPane(), fLocation, fSize, text, windowClass, style, exStyle);
  if (!window) return nullptr;
  SubclassWindow(PaneWindowProc);
  SendToControl(EM_SETLIMITTEXT, WPARAM(kMaximumLength), 0);
  if (CP_Canvas* canvas = GetCanvas()) canvas->GetFont().SetWindow(window);
  return window;
}

// ---------------------------------------------------------------------------
// Messages

LRESULT CP_NativeTextField::SendToControl(UINT message, WPARAM wParam, LPARAM lParam) {
  return fWindow ? SendMessageA(fWindow, message, wParam, lParam) : 0;
}

LRESULT CP_NativeTextField::PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!fSavedWindowProc) return 0;
  return CallWindowProcA(fSavedWindowProc, window, message, wParam, lParam);
}

LRESULT CP_NativeTextField::RouteKeyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto life = LifeToken();
  const UINT outer = fKeyMessage;
  fKeyMessage = message;
  LRESULT result = 0;
  if (message == WM_CHAR && wParam == VK_TAB) {
    // Routed as any key, but never typed: a control of several lines would
    // insert it behind the undo history.
    CP_Event event;
    event.kind = WM_CHAR;
    event.message = WM_CHAR;
    event.window = window;
    event.wParam = wParam;
    event.lParam = lParam;
    if (CP_M_Commander* target = GetTarget()) target->RouteKey(int16_t(wParam), event);
  } else {
    result = CP_View::HandleMessage(window, message, wParam, lParam);
  }
  if (!life.expired()) fKeyMessage = outer;
  return result;
}

// The native control keeps its own mouse, painting and caret; the pane adds
// the target switch and routes the keys.
LRESULT CP_NativeTextField::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      return PassOn(window, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const auto life = LifeToken();
      SwitchTarget();
      if (life.expired()) return 0;
      TakeFocus(nullptr);
      return PassOn(window, message, wParam, lParam);
    }
    case WM_SETFOCUS: {
      const auto life = LifeToken();
      const WNDPROC saved = fSavedWindowProc;
      SwitchTarget();
      if (life.expired() || !saved) return 0;
      return CallWindowProcA(saved, window, message, wParam, lParam);
    }
    case WM_KEYDOWN:
      // A key with a character is handled when its character comes: the
      // rich edit control would edit on the key itself (Backspace, Return,
      // Ctrl+V), behind the field's back.
      if (CP_IsCharacterKey(uint32_t(wParam))) return 0;
      return RouteKeyMessage(window, message, wParam, lParam);
    case WM_CHAR:
      return RouteKeyMessage(window, message, wParam, lParam);
    case WM_CONTEXTMENU: {
      // A control's own menu would edit behind the undo history: the field
      // shows its context menu or none.
      const auto life = LifeToken();
      SwitchTarget();
      if (life.expired()) return 0;
      POINT p{int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))};
      ScreenToClient(window, &p);
      ShowContextMenu(CP_Point(p));
      return 0;
    }
    default:
      return CP_View::HandleMessage(window, message, wParam, lParam);
  }
}

LRESULT CP_NativeTextField::HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) {
  CP_ST_DCCanvas canvas(this);
  DrawUnderAdorners();
  PassOn(window, WM_PAINT, wParam, lParam);
  DrawOverAdorners();
  return 0;
}

void CP_NativeTextField::TakeFocus(CP_Canvas*) {
  if (GetCurrentPane() != this) SetCurrentPane(this);
}

void CP_NativeTextField::DrawContent(const CP_Region&) {
  if (fWindow) RedrawWindow(fWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CP_NativeTextField::RedrawNow() {
  ClearCurrentPane();
  TakeFocus(nullptr);
  const CP_Region area(GetOffsetFrameRect());
  DrawContent(area);
}

void CP_NativeTextField::TextChanged() {
  ViewHook();
  fChanged = 1;
}

// ---------------------------------------------------------------------------
// Text

int16_t CP_NativeTextField::GetTextLength() {
  if (!fWindow) return 0;
  return int16_t(std::min<int>(GetWindowTextLengthA(fWindow), kMaximumLength));
}

std::string CP_NativeTextField::GetText() {
  const int16_t length = GetTextLength();
  if (length <= 0) return std::string();
  std::vector<char> buffer(size_t(length) + 1, 0);
  const int copied = GetWindowTextA(fWindow, buffer.data(), int(buffer.size()));
  return std::string(buffer.data(), size_t(std::max(copied, 0)));
}

std::string CP_NativeTextField::GetTextString(int16_t start, int16_t count) {
  if (start < 0 || count <= 0) return std::string();
  const std::string text = GetText();
  if (size_t(start) >= text.size()) return std::string();
  return text.substr(size_t(start), size_t(count));
}

CP_HandleBlock* CP_NativeTextField::GetTextBlock() {
  const std::string text = GetText();
  if (text.empty()) return new CP_HandleBlock(0);
  return CP_MakeTextBlock(text);
}

CP_HandleBlock* CP_NativeTextField::GetTextRange(int16_t start, int16_t count) {
  const std::string text = GetTextString(start, count);
  return text.empty() ? nullptr : CP_MakeTextBlock(text);
}

void CP_NativeTextField::CopyTextRange(CP_HandleBlock* block, int16_t start, int16_t count) {
  if (!block) return;
  const std::string text = GetTextString(start, int16_t(std::min<int32_t>(count, block->GetSize())));
  if (text.empty()) return;
  if (void* bytes = block->GetPointer()) {
    CopyBytes(text.data(), bytes, int32_t(text.size()));
    block->Unlock();
  }
}

void CP_NativeTextField::SetTextBlock(CP_HandleBlock* block, uint8_t redraw) {
  const std::string text = CP_TextOfBlock(block);
  if (text.size() > size_t(kMaximumLength))
    throw CP_RuntimeException("The text is too long for a text field", kSource, __LINE__);
  SetWindowTextA(fWindow, text.c_str());
  TextChanged();
  if (redraw == 1) RedrawNow();
}

// ---------------------------------------------------------------------------
// Selection

void CP_NativeTextField::GetSelection(int16_t& start, int16_t& end) {
  const DWORD both = DWORD(SendToControl(EM_GETSEL, 0, 0));
  start = int16_t(LOWORD(both));
  end = int16_t(HIWORD(both));
}

void CP_NativeTextField::SetSelection(int16_t start, int16_t end) {
  SendToControl(EM_SETSEL, WPARAM(int32_t(start)), LPARAM(int32_t(end)));
  if (fBroadcastSelection == 1) {
    CP_Message message(this, kSelectionChanged, 0, 0);
    Broadcast(message);
  }
  ClearCurrentPane();
  TakeFocus(nullptr);
}

bool CP_NativeTextField::HasSelection() {
  const DWORD both = DWORD(SendToControl(EM_GETSEL, 0, 0));
  return LOWORD(both) != HIWORD(both);
}

bool CP_NativeTextField::CanPaste() { return IsClipboardFormatAvailable(CF_TEXT) != 0; }

void CP_NativeTextField::SelectAll() { SetSelection(0, GetTextLength()); }

// ---------------------------------------------------------------------------
// Edits

void CP_NativeTextField::InsertText(const char* text) {
  int16_t start = 0, end = 0;
  GetSelection(start, end);
  SendToControl(EM_SETSEL, WPARAM(int32_t(start)), LPARAM(int32_t(start)));
  SendToControl(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text ? text : ""));
  SetSelection(end, end);
  TextChanged();
}

void CP_NativeTextField::DeleteRange(int16_t start, int16_t end) {
  SetSelection(start, end);
  SendToControl(WM_CLEAR, 0, 0);
  TextChanged();
}

void CP_NativeTextField::CutSelection() {
  SendToControl(WM_CUT, 0, 0);
  TextChanged();
}

void CP_NativeTextField::CopySelection() { SendToControl(WM_COPY, 0, 0); }

void CP_NativeTextField::PasteClipboard() {
  SendToControl(WM_PASTE, 0, 0);
  TextChanged();
}

void CP_NativeTextField::ClearSelection() {
  SendToControl(WM_CLEAR, 0, 0);
  TextChanged();
}

void CP_NativeTextField::SelectAllText() { SelectAll(); }

bool CP_NativeTextField::IsCharacterKey(int16_t key) const {
  if (fKeyMessage == WM_CHAR) return true;
  if (fKeyMessage == WM_KEYDOWN) return false;
  return !IsFrameworkKeyCode(key);
}

void CP_NativeTextField::SendKeyToControl(int16_t key, int32_t modifiers) {
  if (!fWindow) return;
  UINT message = WM_CHAR;
  WPARAM code = uint8_t(key);
  if (!IsCharacterKey(key)) {
    message = WM_KEYDOWN;
    code = VirtualKeyOf(key);
    if (!code) return;
  }
  // Straight to the control: through the pane the key would be routed again.
  SendToControl(EM_SETMODIFY, 0, 0);
  PassOn(fWindow, message, code, LPARAM(modifiers));
  if (SendToControl(EM_GETMODIFY, 0, 0)) TextChanged();
}

// ---------------------------------------------------------------------------
// Validator, filter and open commands

void CP_NativeTextField::SetValidator(CP_TextValidator* validator) {
  if (validator == fValidator) {
    if (validator) AttachValidator(validator);
    return;
  }
  if (validator) validator->AddReference();
  if (CP_TextValidator* old = fValidator) {
    fValidator = nullptr;
    DetachValidator(old);
    old->RemoveReference();
  }
  fValidator = validator;
  if (validator) AttachValidator(validator);
}

void CP_NativeTextField::DetachValidator(CP_TextValidator* validator) {
  if (validator->GetFieldText() == static_cast<CP_M_ValidatedText*>(this)) validator->SetFieldText(nullptr);
}

void CP_NativeTextField::SetKeyFilter(CP_KeyInputFilter* filter) {
  if (!filter || filter == fKeyFilter) return;
  filter->AddReference();
  fKeyFilter->RemoveReference();
  fKeyFilter = filter;
}

void CP_NativeTextField::ForgetOpenCommands() {
  fTypingCommand = nullptr;
  fDeletingCommand = nullptr;
}

void CP_NativeTextField::ForgetCommand(const CP_UndoableCommand* command) {
  if (!command) return;
  if (fTypingCommand == command) fTypingCommand = nullptr;
  if (fDeletingCommand == command) fDeletingCommand = nullptr;
}

CP_TextEditCommand* CP_NativeTextField::OpenTypingCommand(CP_TextEditCommand*& slot, CP_TextEditCommand*& other) {
  // A run of the other kind ends here, so that the history keeps the edits
  // in the order they were made.
  other = nullptr;
  CP_TextEditCommand* command = MakeTypingCommand();
  if (!command) return nullptr;
  slot = command;
  PostCommand(command);  // may end with the command gone, and the slot cleared
  return slot;
}

// ---------------------------------------------------------------------------
// Commander

bool CP_NativeTextField::IsTargetCommander() { return GetTarget() == static_cast<CP_M_Commander*>(this); }

void CP_NativeTextField::PostCommand(CP_Command* command) {
  if (!RunEventHandlers(kEventKind_PostedCommand, reinterpret_cast<uintptr_t>(command))) return;
  if (!command) return;
  std::unique_ptr<CP_Command> owned(command);
  try {
    command->Do();
  } catch (...) {
    // A failed command is dropped silently, as an undo manager would.
  }
}

bool CP_NativeTextField::IsFocusLeavingKey(int16_t key, CP_Event&) {
  return key == VK_TAB && IsCharacterKey(key);
}

bool CP_NativeTextField::IsCommitKey(int16_t key) { return key == VK_RETURN && IsCharacterKey(key); }

bool CP_NativeTextField::HandleKey(int16_t key, CP_Event& event) {
  if (IsFocusLeavingKey(key, event)) {
    if (CP_M_Commander* parent = GetParentCommander()) ChangeTarget(parent);
    return false;
  }
  const bool isCharacter = IsCharacterKey(key);
  const int16_t keyClass = fKeyFilter->ClassifyKey(key, isCharacter);
  ClearCurrentPane();
  TakeFocus(nullptr);

  bool handled = true;
  switch (keyClass) {
    case CP_KeyInputFilter::kInsertCharacter:
      // A carriage return is never typed while a validator watches. A key
      // the validator refuses is not the field's: it goes on to the parent
      // commanders, never to the control.
      if (fValidator && (key == VK_RETURN || !fValidator->CheckKey(char(key)))) {
        if (key == VK_RETURN) break;
        KeyRefused();
        if (CP_M_Commander* parent = GetParentCommander()) parent->HandleKey(key, event);
        break;
      }
      if (!fTypingCommand) OpenTypingCommand(fTypingCommand, fDeletingCommand);
      if (fTypingCommand)
        AddCharTo(fTypingCommand, key);
      else
        SendKeyToControl(key, 0);
      break;
    case CP_KeyInputFilter::kDeleteBackwards: {
      int16_t start = 0, end = 0;
      GetSelection(start, end);
      // Delete takes the character after the caret, Backspace the one
      // before; with nothing there the key is not the field's.
      const bool forward = !isCharacter && key == kKey_Delete;
      if (start == end && (forward ? start >= GetTextLength() : end <= 0)) {
        handled = false;
        break;
      }
      if (!fDeletingCommand) OpenTypingCommand(fDeletingCommand, fTypingCommand);
      if (fDeletingCommand)
        DeleteCharIn(fDeletingCommand, key);
      else
        SendKeyToControl(key, 0);
      break;
    }
    case CP_KeyInputFilter::kPassToControl:
      SendKeyToControl(key, 0);
      break;
    default:
      break;  // swallowed
  }

  if (IsCommitKey(key)) {
    if (!fValidator || fValidator->IsTextValid()) return false;
    fValidator->RejectText();
    ChangeTarget(this);
    SelectAll();
    return true;
  }
  return handled;
}

int32_t CP_NativeTextField::ExecuteCommand(int32_t command) {
  switch (command) {
    case kCmd_Undo:
      if (fUndoableEditing == 0) {
        SendToControl(EM_UNDO, 0, 0);
        TextChanged();
        return 0;
      }
      // Keys typed after an Undo or Redo begin a new command, placed after
      // it in the history.
      ForgetOpenCommands();
      return CP_M_Commander::ExecuteCommand(command);
    case kCmd_Redo:
      ForgetOpenCommands();
      return CP_M_Commander::ExecuteCommand(command);
    case 11:
    case 12:
    case 13:
    case 14:
      if (fUndoableEditing == 0) {
        if (command == 11) CutSelection();
        if (command == 12) CopySelection();
        if (command == 13) PasteClipboard();
        if (command == 14) ClearSelection();
      } else if (CP_TextEditCommand* posted = MakeEditCommand(command)) {
        PostCommand(posted);
      }
      ForgetOpenCommands();
      return 0;
    case 15:
      SelectAllText();
      ForgetOpenCommands();
      return 0;
    default:
      return CP_M_Commander::ExecuteCommand(command);
  }
}

void CP_NativeTextField::GetCommandStatus(int32_t command, CP_M_MenuEnabler* status) {
  CP_M_Commander::GetCommandStatus(command, status);
  if (!status) return;
  bool enable = false;
  switch (command) {
    case kCmd_Undo:
      enable = fUndoableEditing == 0 && SendToControl(EM_CANUNDO, 0, 0) != 0;
      break;
    case 11:
    case 12:
    case 14:
      enable = HasSelection();
      break;
    case 13:
      enable = CanPaste();
      break;
    case 15:
      enable = GetTextLength() > 0;
      break;
    default:
      return;
  }
  if (enable) status->EnableCommand(command);
}
