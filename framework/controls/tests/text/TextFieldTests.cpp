// The single-line text field on real "edit" controls: its text and
// selection operations, typed keys routed through the framework, typing
// runs and their undo, and the Edit menu's enabling.
#include "CP_Broadcaster.h"
#include "CP_Exception.h"
#include "CP_HandleBlock.h"
#include "CP_Menu.h"
#include "CP_DroppedRecord.h"
#include "CP_TextFieldCommands.h"
#include "CP_Utilities.h"
#include "TextTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using kxtest::Backspace;
using kxtest::Command;
using kxtest::PressKey;
using kxtest::Select;
using kxtest::SelectionOf;
using kxtest::TextOf;
using kxtest::Type;

using TextFieldTest = kxtest::TextFieldScene;
using Selection = std::pair<int, int>;

std::string BlockText(CP_HandleBlock* block, size_t bytes) {
  std::string text(static_cast<const char*>(block->GetPointer()), bytes);
  block->Unlock();
  return text;
}

TEST_F(TextFieldTest, IsAnEditControlThatShowsItsText) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  char className[16] = {};
  GetClassNameA(h, className, sizeof className);
  EXPECT_STREQ("Edit", className);
  EXPECT_EQ(window->GetHWND(), GetParent(h));
  EXPECT_EQ(field, CP_Pane::FromWindow(h));
  EXPECT_EQ("hello", TextOf(h));
  EXPECT_EQ(5, field->GetTextLength());
  EXPECT_FALSE(field->IsChanged()) << "the first text is no change";
}

TEST_F(TextFieldTest, TextRangesAreCutAtTheEnd) {
  auto* field = AddField("hello");
  std::unique_ptr<CP_HandleBlock> range(field->GetTextRange(3, 10));
  ASSERT_NE(nullptr, range);
  ASSERT_EQ(3, range->GetSize()) << "two characters and a NUL";
  EXPECT_EQ(std::string("lo\0", 3), BlockText(range.get(), 3));
  EXPECT_EQ(nullptr, field->GetTextRange(5, 1));
  EXPECT_EQ(nullptr, field->GetTextRange(1, 0));

  CP_HandleBlock block(4);
  FillBytes(block.GetPointer(), 4, '*');
  block.Unlock();
  field->CopyTextRange(&block, 3, 10);
  EXPECT_EQ("lo**", BlockText(&block, 4)) << "no NUL after the copy";
  field->CopyTextRange(&block, 0, 10);
  EXPECT_EQ("hell", BlockText(&block, 4)) << "never past the block";

  std::unique_ptr<CP_HandleBlock> whole(field->GetTextBlock());
  EXPECT_EQ(std::string("hello\0", 6), BlockText(whole.get(), 6));
  field->SetTextBlock(nullptr, 0);
  std::unique_ptr<CP_HandleBlock> empty(field->GetTextBlock());
  ASSERT_NE(nullptr, empty) << "an empty text gives an empty block";
  EXPECT_EQ(0, empty->GetSize());
}

TEST_F(TextFieldTest, SetTextBlockReadsToTheNulAndRefusesATextTooLong) {
  auto* field = AddField("old");
  // A block without a NUL: the text ends with the block.
  CP_HandleBlock raw(3);
  CopyBytes("abc", raw.GetPointer(), 3);
  raw.Unlock();
  field->SetTextBlock(&raw, 1);
  EXPECT_EQ("abc", TextOf(field->GetHWND()));
  EXPECT_TRUE(field->IsChanged());

  std::unique_ptr<CP_HandleBlock> tooLong(CP_MakeTextBlock(std::string(40000, 'x')));
  EXPECT_THROW(field->SetTextBlock(tooLong.get(), 0), CP_RuntimeException);
  EXPECT_EQ("abc", TextOf(field->GetHWND())) << "the field keeps its text";
}

TEST_F(TextFieldTest, InsertAndDeleteWorkAtTheSelection) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  field->SetSelection(1, 3);
  field->InsertText("XY");
  EXPECT_EQ("hXYello", TextOf(h)) << "inserted at the start, the selection stays";
  EXPECT_EQ(Selection(3, 3), SelectionOf(h));
  field->DeleteRange(0, 3);
  EXPECT_EQ("ello", TextOf(h));
  EXPECT_TRUE(field->IsChanged());
  field->SelectAll();
  EXPECT_EQ(Selection(0, 4), SelectionOf(h));
  EXPECT_TRUE(field->HasSelection());
}

TEST_F(TextFieldTest, SelectionsAreBroadcastOnlyWhenAsked) {
  auto* field = AddField("hello");
  struct Recorder : CP_M_Listener {
    void ReceiveBroadcast(CP_Message& m) override { heard.push_back(m); }
    std::vector<CP_Message> heard;
  } recorder;
  field->AddListener(&recorder);
  field->SetSelection(1, 2);
  EXPECT_TRUE(recorder.heard.empty());
  field->SetBroadcastSelection(true);
  field->SetSelection(2, 4);
  ASSERT_EQ(1u, recorder.heard.size());
  EXPECT_EQ(static_cast<void*>(field), recorder.heard[0].sender);
  EXPECT_EQ(3, recorder.heard[0].code);
  EXPECT_EQ(0, recorder.heard[0].value);
  EXPECT_EQ(0u, recorder.heard[0].data);
  EXPECT_EQ(CP_Pane::GetCurrentPane(), field);
}

// ---------------------------------------------------------------------------
// Typing and its undo

TEST_F(TextFieldTest, TypedCharactersMergeIntoOneTypingCommand) {
  auto* field = AddField();
  HWND h = field->GetHWND();
  Type(h, "abc");
  EXPECT_EQ("abc", TextOf(h));
  EXPECT_EQ(1u, undo->CountUndo());
  EXPECT_EQ("Typing", undo->GetUndoName());
  EXPECT_TRUE(field->IsChanged());

  Command(window, kCmd_Undo);
  EXPECT_EQ("", TextOf(h)) << "one Undo removes all three";
  Command(window, kCmd_Redo);
  EXPECT_EQ("abc", TextOf(h));
  EXPECT_EQ(Selection(3, 3), SelectionOf(h)) << "the caret after the typed text";
}

TEST_F(TextFieldTest, UndoOfTypingGivesBackTheEarlierSelection) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  Select(h, 3, 3);
  Type(h, "XY");
  EXPECT_EQ("helXYlo", TextOf(h));
  Command(window, kCmd_Undo);
  EXPECT_EQ("hello", TextOf(h));
  EXPECT_EQ(Selection(3, 3), SelectionOf(h));
  Command(window, kCmd_Redo);
  EXPECT_EQ("helXYlo", TextOf(h));
  EXPECT_EQ(Selection(5, 5), SelectionOf(h));
}

TEST_F(TextFieldTest, TypingOverASelectionKeepsWhatItReplaced) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  Select(h, 1, 4);
  Type(h, "X");
  EXPECT_EQ("hXo", TextOf(h));
  ASSERT_NE(nullptr, field->GetTypingCommand());
  EXPECT_EQ("ell", field->GetTypingCommand()->GetSavedText());
  Command(window, kCmd_Undo);
  EXPECT_EQ("hello", TextOf(h));
  EXPECT_EQ(Selection(1, 4), SelectionOf(h)) << "given back, selected";
  Command(window, kCmd_Redo);
  EXPECT_EQ("hXo", TextOf(h));
  Command(window, kCmd_Undo);
  EXPECT_EQ("hello", TextOf(h)) << "and again";
}

TEST_F(TextFieldTest, BackspacesAtTheEndKeepTheDeletedTextInItsOrder) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  Select(h, 5, 5);
  Backspace(h, 3);
  EXPECT_EQ("he", TextOf(h));
  EXPECT_EQ(1u, undo->CountUndo()) << "one deleting command";
  ASSERT_NE(nullptr, field->GetDeletingCommand());
  EXPECT_EQ("llo", field->GetDeletingCommand()->GetSavedText());
  Command(window, kCmd_Undo);
  EXPECT_EQ("hello", TextOf(h));
  EXPECT_EQ(Selection(5, 5), SelectionOf(h));
  Command(window, kCmd_Redo);
  EXPECT_EQ("he", TextOf(h));
}

TEST_F(TextFieldTest, BackspaceAtTheStartIsNotTheFieldsAndPostsNothing) {
  auto* field = AddField("hello");
  Select(field->GetHWND(), 0, 0);
  CP_Event event;
  EXPECT_FALSE(field->HandleKey(VK_BACK, event));
  EXPECT_EQ(0u, undo->CountUndo());
  EXPECT_EQ("hello", TextOf(field->GetHWND()));
}

TEST_F(TextFieldTest, BackspaceOverASelectionDeletesJustTheSelection) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  Select(h, 1, 4);
  Backspace(h);
  EXPECT_EQ("ho", TextOf(h));
  Command(window, kCmd_Undo);
  EXPECT_EQ("hello", TextOf(h));
  EXPECT_EQ(Selection(1, 4), SelectionOf(h));
}

TEST_F(TextFieldTest, DeleteKeyTakesTheCharacterAfterTheCaretUndoably) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  Select(h, 2, 2);
  Backspace(h);
  PressKey(h, VK_DELETE);
  PressKey(h, VK_DELETE);
  EXPECT_EQ("ho", TextOf(h));
  EXPECT_EQ(1u, undo->CountUndo()) << "deletions on both sides of the caret make one run";
  EXPECT_EQ("ell", field->GetDeletingCommand()->GetSavedText());
  Command(window, kCmd_Undo);
  EXPECT_EQ("hello", TextOf(h));
  Command(window, kCmd_Redo);
  EXPECT_EQ("ho", TextOf(h));

  Select(h, 2, 2);
  CP_Event event;
  EXPECT_FALSE(field->HandleKey(kKey_Delete, event)) << "nothing after the caret";
  EXPECT_EQ("ho", TextOf(h));
}

TEST_F(TextFieldTest, MovingTheCaretStartsANewRunInTheSameCommand) {
  auto* field = AddField();
  HWND h = field->GetHWND();
  Type(h, "ab");
  PressKey(h, VK_LEFT);
  Type(h, "X");
  EXPECT_EQ("aXb", TextOf(h));
  EXPECT_EQ(1u, undo->CountUndo());
  Command(window, kCmd_Undo);
  EXPECT_EQ("ab", TextOf(h)) << "only what was typed since the move";
}

TEST_F(TextFieldTest, TypingAndDeletingKeepTheirOrderInTheHistory) {
  auto* field = AddField();
  HWND h = field->GetHWND();
  Type(h, "abc");
  Backspace(h);
  Type(h, "x");
  EXPECT_EQ("abx", TextOf(h));
  const char* expected[] = {"ab", "abc", ""};
  for (const char* text : expected) {
    Command(window, kCmd_Undo);
    EXPECT_EQ(text, TextOf(h));
  }
  for (const char* text : {"abc", "ab", "abx"}) {
    Command(window, kCmd_Redo);
    EXPECT_EQ(text, TextOf(h));
  }
}

TEST_F(TextFieldTest, KeysTypedAfterAnUndoStartACommandOfTheirOwn) {
  auto* field = AddField("12");
  HWND h = field->GetHWND();
  Select(h, 2, 2);
  Type(h, "ab");
  Command(window, kCmd_Undo);
  Type(h, "c");
  EXPECT_EQ("12c", TextOf(h));
  EXPECT_EQ("Typing", undo->GetUndoName()) << "the new typing is undoable at once";
  Command(window, kCmd_Undo);
  EXPECT_EQ("12", TextOf(h));
}

TEST_F(TextFieldTest, WithoutAnUndoManagerKeysGoStraightToTheControl) {
  auto* field = new CP_TextField_SingleLine(window, kxtest::PaneAt(10, 40, 200, 24), window);
  CP_M_Commander::ChangeTarget(field);
  Type(field->GetHWND(), "abc");
  EXPECT_EQ("abc", TextOf(field->GetHWND()));
  EXPECT_EQ(nullptr, field->GetTypingCommand()) << "a command nobody took is gone";
  EXPECT_TRUE(field->IsChanged());
}

TEST_F(TextFieldTest, KeysReachTheFieldOnlyWhileItIsTheTarget) {
  auto* field = AddField();
  HWND h = field->GetHWND();
  CP_M_Commander::ChangeTarget(window);
  Type(h, "a");
  EXPECT_EQ("", TextOf(h)) << "the window took the key";
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(static_cast<CP_M_Commander*>(field), CP_M_Commander::GetTarget()) << "a click makes it the target";
  Type(h, "a");
  EXPECT_EQ("a", TextOf(h));
}

TEST_F(TextFieldTest, TabHandsTheTargetToTheParentAndTypesNothing) {
  auto* field = AddField("ab");
  HWND h = field->GetHWND();
  PressKey(h, VK_TAB, '\t');
  EXPECT_EQ(static_cast<CP_M_Commander*>(window), CP_M_Commander::GetTarget());
  EXPECT_EQ("ab", TextOf(h));
}

TEST_F(TextFieldTest, ControlCharactersAndTheEditControlsOwnMenuAreKeptAway) {
  auto* field = AddField("hello");
  HWND h = field->GetHWND();
  Select(h, 0, 5);
  // Ctrl+X, Ctrl+V and Ctrl+Z as characters would edit behind the history.
  for (char c : {'\x18', '\x16', '\x1A'}) SendMessageA(h, WM_CHAR, WPARAM(uint8_t(c)), 1);
  EXPECT_EQ("hello", TextOf(h));
  PressKey(h, VK_INSERT);
  EXPECT_EQ("hello", TextOf(h));
}

TEST_F(TextFieldTest, CharactersAboveTheAsciiRangeAreTypedNotTakenForKeys) {
  auto* field = AddField();
  HWND h = field->GetHWND();
  // 0xC9 is also the framework's code of Print Screen, 0xC1 of the left arrow.
  SendMessageA(h, WM_CHAR, 0xC9, 1);
  SendMessageA(h, WM_CHAR, 0xC1, 1);
  EXPECT_EQ("\xC9\xC1", TextOf(h));
  Command(window, kCmd_Undo);
  EXPECT_EQ("", TextOf(h));
}

// ---------------------------------------------------------------------------
// The Edit menu

class Enabler : public CP_M_MenuEnabler {
 public:
  bool EnableCommand(int32_t command) override { return enabled.insert(command).second; }
  bool DisableCommand(int32_t command) override { return enabled.erase(command) > 0; }
  void SetCommandText(int32_t, const std::string&) override {}
  bool Has(int32_t command) const { return enabled.count(command) > 0; }
  std::set<int32_t> enabled;
};

std::set<int32_t> EnabledOf(CP_TextField_SingleLine* field) {
  Enabler enabler;
  for (int32_t command : {10, 11, 12, 13, 14, 15}) field->GetCommandStatus(command, &enabler);
  enabler.enabled.erase(13);  // the clipboard's, tested with the clipboard
  return enabler.enabled;
}

TEST_F(TextFieldTest, EditCommandsAreEnabledByTheSelectionAndTheText) {
  auto* field = AddField();
  HWND h = field->GetHWND();
  EXPECT_EQ(std::set<int32_t>{}, EnabledOf(field));
  Type(h, "abc");
  EXPECT_EQ(std::set<int32_t>{15}, EnabledOf(field)) << "the field never enables its own Undo";
  Select(h, 0, 2);
  EXPECT_EQ((std::set<int32_t>{11, 12, 14, 15}), EnabledOf(field));


  auto* direct = AddField("", nullptr, 200, 24, 40);
  direct->SetUndoableEditing(false);
  EXPECT_EQ(std::set<int32_t>{}, EnabledOf(direct)) << "nothing the control could undo yet";
  Type(direct->GetHWND(), "d");
  EXPECT_EQ((std::set<int32_t>{10, 15}), EnabledOf(direct));
  Command(window, kCmd_Undo);
  EXPECT_EQ("", TextOf(direct->GetHWND())) << "the control's own undo";
}

TEST_F(TextFieldTest, SelectAllSelectsAndEndsTheTypingRun) {
  auto* field = AddField();
  HWND h = field->GetHWND();
  Type(h, "ab");
  Command(window, 15);
  EXPECT_EQ(Selection(0, 2), SelectionOf(h));
  EXPECT_EQ(nullptr, field->GetTypingCommand());
  Type(h, "c");
  EXPECT_EQ(2u, undo->CountUndo());
}

TEST_F(TextFieldTest, AFieldGoneLeavesItsCommandsHarmless) {
  auto* field = AddField("hello");
  Type(field->GetHWND(), "x");
  auto* command = new CP_TextFieldCommand_Clear(field, "Clear Text");
  window->DeleteSubPanes();
  // The command outlived its field: it answers without touching it.
  EXPECT_FALSE(command->Do());
  EXPECT_FALSE(command->Undo());
  delete command;
}

}  // namespace
