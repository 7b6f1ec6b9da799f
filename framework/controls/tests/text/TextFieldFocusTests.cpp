// Cut, Copy, Paste and Clear on real text fields through the Edit menu's
// commands, with Undo and Redo, on the desktop's one clipboard; and the
// operations that move the focus: fonts and the alignment of a field of
// several lines.
#include "CP_Canvas.h"
#include "CP_Exception.h"
#include "CP_Menu.h"
#include "CP_TextField_MS_SingleLine.h"
#include "CP_TextFieldCommands.h"
#include "TextTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kxtest::ClipboardText;
using kxtest::Command;
using kxtest::PutOnClipboard;
using kxtest::Select;
using kxtest::SelectionOf;
using kxtest::TextOf;
using kxtest::Type;

using Selection = std::pair<int, int>;

class ClipboardTest : public kxtest::TextFieldScene {
 protected:
  void SetUp() override {
    TextFieldScene::SetUp();
    new CP_Clipboard;  // the framework's one, deleted when it stops
    window->Show();
    PutOnClipboard("user");
  }
};

struct State {
  std::string text;
  Selection selection;
  std::string clipboard;
};

void ExpectState(HWND h, const State& want, const char* step) {
  EXPECT_EQ(want.text, TextOf(h)) << step;
  EXPECT_EQ(want.selection, SelectionOf(h)) << step;
  EXPECT_EQ(want.clipboard, ClipboardText()) << step;
}

// Each command, then Undo and Redo: the text, selection and clipboard after
// each step. Undo gives back the exact text and selection and leaves the
// clipboard as the command left it.
TEST_F(ClipboardTest, EditCommandsUndoAndRedoExactly) {
  struct Case {
    const char* name;
    int32_t command;
    const char* undoName;
    std::string text;
    Selection selection;
    State done, undone, redone;
  };
  const Case cases[] = {
      {"cut", 11, "Cut Text", "hello", {1, 4},
       {"ho", {1, 1}, "ell"}, {"hello", {1, 4}, "ell"}, {"ho", {1, 1}, "ell"}},
      {"copy", 12, "Copy Text", "hello", {0, 2},
       {"hello", {0, 2}, "he"}, {"hello", {0, 2}, "he"}, {"hello", {0, 2}, "he"}},
      {"paste over a selection", 13, "Paste Text", "hello", {1, 4},
       {"husero", {5, 5}, "user"}, {"hello", {1, 4}, "user"}, {"husero", {5, 5}, "user"}},
      {"paste between two", 13, "Paste Text", "ab", {1, 1},
       {"auserb", {5, 5}, "user"}, {"ab", {1, 1}, "user"}, {"auserb", {5, 5}, "user"}},
      {"clear part", 14, "Clear Text", "hello", {1, 3},
       {"hlo", {1, 1}, "user"}, {"hello", {1, 3}, "user"}, {"hlo", {1, 1}, "user"}},
  };
  for (const Case& c : cases) {
    PutOnClipboard("user");
    auto* field = AddField(c.text);
    HWND h = field->GetHWND();
    Select(h, c.selection.first, c.selection.second);
    Command(window, c.command);
    EXPECT_EQ(c.undoName, undo->GetUndoName()) << c.name;
    ExpectState(h, c.done, c.name);
    Command(window, kCmd_Undo);
    ExpectState(h, c.undone, c.name);
    Command(window, kCmd_Redo);
    ExpectState(h, c.redone, c.name);
    window->DeleteSubPanes();
  }
}

TEST_F(ClipboardTest, RedoOfAPastePutsBackWhatWasPastedWhateverTheClipboardHoldsNow) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  Select(h, 5, 5);
  Command(window, 13);
  Command(window, kCmd_Undo);
  PutOnClipboard("other");
  Command(window, kCmd_Redo);
  EXPECT_EQ("hellouser", TextOf(h));
}

TEST_F(ClipboardTest, APasteOfSeveralLinesIsUndoneExactly) {
  auto* field = AddField("ab");
  HWND h = field->GetHWND();
  PutOnClipboard("12\r\n34");
  Select(h, 1, 1);
  Command(window, 13);
  const std::string pasted = TextOf(h);
  EXPECT_NE("ab", pasted);
  Command(window, kCmd_Undo);
  EXPECT_EQ("ab", TextOf(h)) << "whatever the control took of the lines";
}

TEST_F(ClipboardTest, PasteIsEnabledOnlyWithTextOnTheClipboard) {
  struct Enabler : CP_M_MenuEnabler {
    bool EnableCommand(int32_t c) override { return enabled = enabled || c == 13; }
    bool DisableCommand(int32_t) override { return false; }
    void SetCommandText(int32_t, const std::string&) override {}
    bool enabled = false;
  };
  auto* field = AddField("ab");
  Enabler with;
  field->GetCommandStatus(13, &with);
  EXPECT_TRUE(with.enabled);
  kxtest::EmptyTheClipboard();
  Enabler without;
  field->GetCommandStatus(13, &without);
  EXPECT_FALSE(without.enabled);
  Select(field->GetHWND(), 0, 1);
  Command(window, 13);
  EXPECT_EQ("ab", TextOf(field->GetHWND()));
  Command(window, kCmd_Undo);
  EXPECT_EQ("ab", TextOf(field->GetHWND())) << "a paste of nothing takes nothing back";
}

TEST_F(ClipboardTest, CutWithNothingSelectedFailsAndLeavesNoTrace) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  Select(h, 2, 2);
  CP_TextFieldCommand_Cut cut(field, "Cut Text");
  try {
    cut.Do();
    ADD_FAILURE() << "no exception";
  } catch (const CP_MemoryException& e) {
    EXPECT_STREQ("CP_TextFieldCommands", e.GetSourceFile());
    EXPECT_EQ(490, e.GetLine());
  }
  Command(window, 11);
  EXPECT_EQ("hello", TextOf(h));
  EXPECT_EQ(0u, undo->CountUndo()) << "the undo manager dropped the failed command";
  EXPECT_EQ("user", ClipboardText());
}

TEST_F(ClipboardTest, WithoutUndoableEditingTheControlEditsAndUndoesItself) {
  // No undo manager: the control's own undo answers the Undo command.
  auto* field = new CP_TextField_SingleLine(window, kxtest::PaneAt(10, 10, 200, 24), window, "hello");
  CP_M_Commander::ChangeTarget(field);
  field->SetUndoableEditing(false);
  HWND h = field->GetHWND();
  Select(h, 0, 2);
  Command(window, 11);
  EXPECT_EQ("llo", TextOf(h));
  EXPECT_EQ("he", ClipboardText());
  Command(window, kCmd_Undo);
  EXPECT_EQ("hello", TextOf(h));
}

// ---------------------------------------------------------------------------
// The rich-text field

using kxtest::BoldOf;
using kxtest::MakePlain;

TEST_F(ClipboardTest, RichTypingUndoLeavesTheClipboardAlone) {
  auto* field = AddField<CP_TextField_MS_SingleLine>("12");
  HWND h = field->GetHWND();
  Select(h, 2, 2);
  Type(h, "abc");
  EXPECT_EQ("12abc", TextOf(h));
  EXPECT_EQ(1u, undo->CountUndo());
  Command(window, kCmd_Undo);
  EXPECT_EQ("12", TextOf(h));
  EXPECT_EQ("user", ClipboardText());
  Command(window, kCmd_Redo);
  EXPECT_EQ("12abc", TextOf(h));
  EXPECT_EQ("user", ClipboardText());
}

TEST_F(ClipboardTest, RichCutAndClearGiveBackTheStyledText) {
  for (int32_t command : {11, 14}) {
    PutOnClipboard("user");
    auto* field = AddField<CP_TextField_MS_SingleLine>("abcdef");
    HWND h = field->GetHWND();
    MakePlain(h);
    Select(h, 1, 3);
    field->SetStyle(CP_TextField_MS_SingleLine::kBold, 0);
    ASSERT_EQ("-BB---", BoldOf(h));
    Command(window, command);
    EXPECT_EQ("adef", TextOf(h)) << command;
    EXPECT_EQ(command == 11 ? "bc" : "user", ClipboardText()) << command;
    Command(window, kCmd_Undo);
    EXPECT_EQ("abcdef", TextOf(h)) << command;
    EXPECT_EQ("-BB---", BoldOf(h)) << command;
    EXPECT_EQ(Selection(1, 3), SelectionOf(h)) << command;
    Command(window, kCmd_Redo);
    EXPECT_EQ("adef", TextOf(h)) << command;
    window->DeleteSubPanes();
  }
}

TEST_F(ClipboardTest, RichPasteTypingAndTwoUndosComeBackToTheStart) {
  auto* field = AddField<CP_TextField_MS_SingleLine>("ab");
  HWND h = field->GetHWND();
  PutOnClipboard("XY");
  Select(h, 1, 1);
  Command(window, 13);
  EXPECT_EQ("aXYb", TextOf(h));
  Type(h, "z");
  EXPECT_EQ("aXYzb", TextOf(h));
  Command(window, kCmd_Undo);
  EXPECT_EQ("aXYb", TextOf(h));
  Command(window, kCmd_Undo);
  EXPECT_EQ("ab", TextOf(h));
  Command(window, kCmd_Redo);
  Command(window, kCmd_Redo);
  EXPECT_EQ("aXYzb", TextOf(h));
}

// ---------------------------------------------------------------------------
// Fonts and alignment

using FocusTest = kxtest::TextFieldScene;

LOGFONTA FontOf(HWND h) {
  LOGFONTA font = {};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
  if (handle) ::GetObjectA(handle, sizeof font, &font);
  return font;
}

TEST_F(FocusTest, FontSettersReachTheControlAndKeepTheSelection) {
  auto* field = AddField("hello");
  window->Show();
  HWND h = field->GetHWND();
  Select(h, 1, 3);
  field->SetFontName("DejaVu Sans", 0);  // a face that may or may not be found
  field->SetFontSize(20, 1);
  field->SetFontStyle(1, 0);
  const LOGFONTA font = FontOf(h);
  EXPECT_EQ(reinterpret_cast<LRESULT>(field->GetCanvas()->GetFont().GetHandle()), SendMessageA(h, WM_GETFONT, 0, 0));
  EXPECT_EQ(-MulDiv(20, 96, 72), font.lfHeight);
  EXPECT_EQ(FW_BOLD, font.lfWeight);
  EXPECT_EQ(20, field->GetFontSize());
  EXPECT_EQ(1, field->GetFontStyle());
  EXPECT_EQ(Selection(1, 3), SelectionOf(h));
  EXPECT_EQ(h, GetFocus());
  EXPECT_FALSE(field->GetCanvas()->HasValidDC()) << "the device context was given back";
}

TEST_F(FocusTest, AlignmentMakesANewWindowThatKeepsTextSelectionFontAndChangedFlag) {
  auto* field = AddField<CP_TextField_MultiLine>("one\r\ntwo", nullptr, 200, 60);
  window->Show();
  field->SetFontSize(14, 0);
  HWND old = field->GetHWND();
  Select(old, 2, 6);
  field->SetChanged(false);
  const LOGFONTA before = FontOf(old);

  struct Step {
    int16_t alignment;
    LONG bits;
  };
  for (const Step& step : {Step{1, ES_CENTER}, Step{2, ES_RIGHT}, Step{0, 0}}) {
    field->SetAlignment(step.alignment, 1);
    HWND h = field->GetHWND();
    EXPECT_FALSE(IsWindow(old)) << step.alignment;
    EXPECT_EQ(step.bits, GetWindowLongA(h, GWL_STYLE) & (ES_CENTER | ES_RIGHT)) << step.alignment;
    EXPECT_EQ(step.alignment, field->GetAlignment());
    EXPECT_EQ("one\r\ntwo", TextOf(h)) << step.alignment;
    EXPECT_EQ(Selection(2, 6), SelectionOf(h)) << step.alignment;
    EXPECT_FALSE(field->IsChanged()) << step.alignment;
    EXPECT_EQ(before.lfHeight, FontOf(h).lfHeight) << step.alignment;
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(field, CP_Pane::FromWindow(h));
    old = h;
  }
  // The new window is the field's in every way: typing is undoable.
  Type(old, "X");
  EXPECT_EQ("onXwo", TextOf(old));
  Command(window, kCmd_Undo);
  EXPECT_EQ("one\r\ntwo", TextOf(old));
}

TEST_F(FocusTest, ReturnInAFieldOfSeveralLinesTypesALineBreakUndoably) {
  auto* field = AddField<CP_TextField_MultiLine>("", nullptr, 200, 60);
  HWND h = field->GetHWND();
  Type(h, "ab\rc");
  EXPECT_EQ("ab\r\nc", TextOf(h));
  EXPECT_EQ(1u, undo->CountUndo());
  kxtest::Backspace(h, 2);
  EXPECT_EQ("ab", TextOf(h)) << "the line break goes as one";
  Command(window, kCmd_Undo);
  EXPECT_EQ("ab\r\nc", TextOf(h));
  Command(window, kCmd_Undo);
  EXPECT_EQ("", TextOf(h));
}

}  // namespace
