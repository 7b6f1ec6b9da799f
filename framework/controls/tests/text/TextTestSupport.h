#pragma once
// Text fields in a framework window, and the keys and menu commands that a
// user would send them, as real messages.
#include "CP_Commander.h"
#include "CP_TextField_SingleLine.h"
#include "CP_UndoManager.h"
#include "PaneTestSupport.h"

#include <string>
#include <utility>

namespace kxtest {

// The key data of a key message: one repeat and the key's scan code.
inline LPARAM KeyData(UINT virtualKey, bool up) {
  LPARAM data = 1 | LPARAM(MapVirtualKeyA(virtualKey, 0) << 16);
  if (up) data |= LPARAM(0xC0000000u);
  return data;
}

// The key going down, the character the keyboard makes of it (none for
// keys without one) and the key coming up, sent to the control's window.
inline void PressKey(HWND window, UINT virtualKey, char character = 0) {
  SendMessageA(window, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false));
  if (character) SendMessageA(window, WM_CHAR, WPARAM(uint8_t(character)), KeyData(virtualKey, false));
  SendMessageA(window, WM_KEYUP, virtualKey, KeyData(virtualKey, true));
}

inline void Type(HWND window, const std::string& text) {
  for (char c : text) {
    const SHORT scan = VkKeyScanA(c);
    PressKey(window, scan == -1 ? 0 : LOBYTE(scan), c);
  }
}

inline void Backspace(HWND window, int times = 1) {
  for (int i = 0; i < times; ++i) PressKey(window, VK_BACK, '\b');
}

// A menu command as the menu bar sends it to the window.
inline void Command(CP_Window* window, int32_t command) {
  SendMessageA(window->GetHWND(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

inline std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(size_t(length) + 1, '\0');
  text.resize(size_t(GetWindowTextA(window, &text[0], length + 1)));
  return text;
}

inline std::pair<int, int> SelectionOf(HWND window) {
  DWORD start = 0, end = 0;
  SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {int(start), int(end)};
}

inline void Select(HWND window, int start, int end) { SendMessageA(window, EM_SETSEL, start, end); }

// A window with text fields; each field is the target when made and has
// an undo manager of its own.
class TextFieldScene : public SceneTest {
 protected:
  template <typename Field = CP_TextField_SingleLine>
  Field* AddField(const std::string& text = "", CP_KeyInputFilter* filter = nullptr, int width = 200,
                  int height = 24, int y = 10) {
    auto* field = new Field(window, PaneAt(10, y, width, height), window, text, filter);
    undo = new CP_UndoManager;
    field->AttachEventHandler(undo);
    CP_M_Commander::ChangeTarget(field);
    return field;
  }

  CP_UndoManager* undo = nullptr;  // of the field made last
};

}  // namespace kxtest

#include "CP_Clipboard.h"
#include "CP_HandleBlock.h"
#include "CP_DroppedRecord.h"
#include "CP_TextFieldCommands.h"

#include <richedit.h>

#include <memory>

namespace kxtest {

// One letter for each character of a rich edit control: B bold, - plain.
inline std::string BoldOf(HWND h) {
  const std::pair<int, int> kept = SelectionOf(h);
  std::string marks;
  const int length = GetWindowTextLengthA(h);
  for (int i = 0; i < length; ++i) {
    Select(h, i, i + 1);
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(h, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    marks += (format.dwEffects & CFE_BOLD) ? 'B' : '-';
  }
  Select(h, kept.first, kept.second);
  return marks;
}

// The rich edit control's own default face is bold: tests start from a
// plain one.
inline void MakePlain(HWND h) {
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_FACE;
  lstrcpyA(format.szFaceName, "Tahoma");
  SendMessageA(h, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  SendMessageA(h, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

// The clipboard's text, through the framework's clipboard object; "<none>"
// when it holds none.
inline std::string ClipboardText() {
  std::unique_ptr<CP_HandleBlock> block(CP_Clipboard::GetClipboard()->GetData(CF_TEXT));
  return block ? CP_TextOfBlock(block.get()) : "<none>";
}

inline void PutOnClipboard(const std::string& text) {
  std::unique_ptr<CP_HandleBlock> block(CP_MakeTextBlock(text));
  CP_Clipboard::GetClipboard()->SetData(block.get(), CF_TEXT, 1);
}

inline void EmptyTheClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

}  // namespace kxtest
