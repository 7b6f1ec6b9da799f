// The rich-text field on a real rich edit control: styles, paragraph
// alignment, and its content streamed as RTF to a file and back.
#include "CP_Exception.h"
#include "CP_File.h"
#include "CP_TextField_MS_SingleLine.h"
#include "FileTestSupport.h"
#include "TextTestSupport.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using kxtest::BoldOf;
using kxtest::MakePlain;
using kxtest::Select;
using kxtest::SelectionOf;
using kxtest::TextOf;
using kxtest::Type;

using Selection = std::pair<int, int>;
using RichField = CP_TextField_MS_SingleLine;

class RichTextFieldTest : public kxtest::TextFieldScene {
 protected:
  RichField* AddRichField(const std::string& text) {
    auto* field = AddField<RichField>(text, nullptr, 260, 24);
    MakePlain(field->GetHWND());
    return field;
  }
};

// The styles of the text as runs: each run's length and its letters, B, I,
// U or -, as "3:--- 2:B-U".
std::string StylesOf(HWND h) {
  const std::pair<int, int> kept = SelectionOf(h);
  std::string runs, last;
  int count = 0;
  const int length = GetWindowTextLengthA(h);
  for (int i = 0; i <= length; ++i) {
    std::string marks;
    if (i < length) {
      Select(h, i, i + 1);
      CHARFORMATA format = {};
      format.cbSize = sizeof format;
      SendMessageA(h, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      marks += (format.dwEffects & CFE_BOLD) ? 'B' : '-';
      marks += (format.dwEffects & CFE_ITALIC) ? 'I' : '-';
      marks += (format.dwEffects & CFE_UNDERLINE) ? 'U' : '-';
    }
    if (marks != last && count > 0) {
      runs += (runs.empty() ? "" : " ") + std::to_string(count) + ":" + last;
      count = 0;
    }
    last = marks;
    ++count;
  }
  Select(h, kept.first, kept.second);
  return runs;
}

WORD AlignmentOf(HWND h) {
  PARAFORMAT format = {};
  format.cbSize = sizeof format;
  SendMessageA(h, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  return format.wAlignment;
}

TEST_F(RichTextFieldTest, IsARichEditControlThatTakesKeysAsTheSingleLineFieldDoes) {
  auto* field = AddRichField("ab");
  HWND h = field->GetHWND();
  char className[16] = {};
  GetClassNameA(h, className, sizeof className);
  EXPECT_STREQ("RICHEDIT", className);
  Select(h, 2, 2);
  Type(h, "cd");
  kxtest::Backspace(h);
  EXPECT_EQ("abc", TextOf(h));
  EXPECT_EQ(2u, undo->CountUndo()) << "a typing and a deleting command";
  kxtest::Command(window, kCmd_Undo);
  EXPECT_EQ("abcd", TextOf(h));
  kxtest::Command(window, kCmd_Undo);
  EXPECT_EQ("ab", TextOf(h));
}

TEST_F(RichTextFieldTest, ReturnInARichFieldOfSeveralLinesBreaksTheLineUndoably) {
  auto* field = AddField<CP_TextField_MS_MultiLine>("", nullptr, 260, 60);
  HWND h = field->GetHWND();
  Type(h, "ab\rc");
  const std::string typed = TextOf(h);
  EXPECT_EQ(0u, typed.find("ab\r")) << typed;
  EXPECT_EQ(typed.size() - 1, typed.rfind('c')) << typed;
  EXPECT_EQ(1u, undo->CountUndo());
  kxtest::Command(window, kCmd_Undo);
  EXPECT_EQ("", TextOf(h));
  kxtest::Command(window, kCmd_Redo);
  EXPECT_EQ(typed, TextOf(h));
}

TEST_F(RichTextFieldTest, StylesApplyToTheSelectionAlone) {
  auto* field = AddRichField("abcd");
  HWND h = field->GetHWND();
  Select(h, 1, 3);
  field->SetStyle(RichField::kBold, 1);
  EXPECT_EQ("1:--- 2:B-- 1:---", StylesOf(h)) << "bold only, and only there";
  EXPECT_EQ(Selection(1, 3), SelectionOf(h));
  EXPECT_TRUE(field->IsChanged());
  EXPECT_NE(0, SendMessageA(h, EM_GETMODIFY, 0, 0));

  field->SetStyle(RichField::kUnderline, 0);
  EXPECT_EQ("1:--- 2:B-U 1:---", StylesOf(h));
  for (int16_t style : {3, 5, 8, 0}) {
    field->SetStyle(style, 0);
    field->ToggleStyle(style, 0);
    EXPECT_EQ("1:--- 2:B-U 1:---", StylesOf(h)) << "style " << style << " changes nothing";
  }
  field->ToggleStyle(RichField::kItalic, 0);
  EXPECT_EQ("1:--- 2:BIU 1:---", StylesOf(h));
  field->ToggleStyle(RichField::kItalic, 0);
  EXPECT_EQ("1:--- 2:B-U 1:---", StylesOf(h)) << "twice leaves it as it was";
}

TEST_F(RichTextFieldTest, AlignmentCentresTheParagraphAndLeavesTheStyles) {
  auto* field = AddRichField("abcd");
  HWND h = field->GetHWND();
  Select(h, 0, 1);
  field->SetStyle(RichField::kItalic, 0);
  const std::string styles = StylesOf(h);
  EXPECT_EQ(PFA_LEFT, AlignmentOf(h));
  field->SetAlignment(1, 1);
  EXPECT_EQ(PFA_CENTER, AlignmentOf(h));
  field->SetAlignment(2, 0);
  EXPECT_EQ(PFA_RIGHT, AlignmentOf(h));
  field->SetAlignment(7, 0);
  EXPECT_EQ(PFA_RIGHT, AlignmentOf(h)) << "an unknown alignment changes nothing";
  field->SetAlignment(0, 0);
  EXPECT_EQ(PFA_LEFT, AlignmentOf(h));
  EXPECT_EQ(styles, StylesOf(h));
  EXPECT_EQ("abcd", TextOf(h));
}

// A text longer than one stream buffer (4 KB), with styles spread over it.
void FillStyled(RichField* field) {
  HWND h = field->GetHWND();
  std::string text;
  for (int i = 0; text.size() < 9000; ++i) text += "word" + std::to_string(i) + " ";
  SetWindowTextA(h, text.c_str());
  MakePlain(h);
  for (int start = 10; start + 20 < int(text.size()); start += 997) {
    Select(h, start, start + 20);
    field->SetStyle(start % 2 ? RichField::kBold : RichField::kItalic, 0);
  }
}

TEST_F(RichTextFieldTest, RichTextGoesToAFileAndComesBackWithItsStyles) {
  kxtest::TempFolder folder;
  auto* source = AddRichField("");
  FillStyled(source);
  CP_File file(CP_FileSpec(folder / "text.rtf", false));
  file.Create(GENERIC_READ | GENERIC_WRITE, 0, 0, true);
  file.Open(GENERIC_WRITE);
  source->WriteRichText(file);
  file.Close();
  const std::string rtf = kxtest::ReadWholeFile(folder / "text.rtf");
  EXPECT_EQ(0u, rtf.find("{\\rtf"));
  EXPECT_GT(rtf.size(), 4096u);

  auto* copy = AddRichField("");
  file.Open(GENERIC_READ);
  copy->ReadRichText(file);
  file.Close();
  EXPECT_EQ(TextOf(source->GetHWND()), TextOf(copy->GetHWND()));
  EXPECT_EQ(StylesOf(source->GetHWND()), StylesOf(copy->GetHWND()));
  EXPECT_TRUE(copy->IsChanged());
}

TEST_F(RichTextFieldTest, AnEmptyFileLeavesTheFieldEmpty) {
  kxtest::TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "empty.rtf", ""));
  auto* field = AddRichField("old");
  CP_File file(CP_FileSpec(folder / "empty.rtf", false));
  file.Open(GENERIC_READ);
  field->ReadRichText(file);
  EXPECT_EQ("", TextOf(field->GetHWND()));
}

TEST_F(RichTextFieldTest, AFailedReadOrWriteIsAnErrorAndTheFieldKeepsItsContent) {
  kxtest::TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "a.rtf", "{\\rtf1 replaced}"));
  auto* field = AddRichField("keep me");
  HWND h = field->GetHWND();
  Select(h, 0, 4);
  field->SetStyle(RichField::kBold, 0);
  field->SetChanged(false);

  CP_File writeOnly(CP_FileSpec(folder / "a.rtf", false));
  writeOnly.Open(GENERIC_WRITE);
  EXPECT_THROW(field->ReadRichText(writeOnly), CP_PlfrmErrorException);
  EXPECT_EQ("keep me", TextOf(h));
  EXPECT_EQ("BBBB---", BoldOf(h));
  EXPECT_FALSE(field->IsChanged());
  writeOnly.Close();

  CP_File readOnly(CP_FileSpec(folder / "a.rtf", false));
  readOnly.Open(GENERIC_READ);
  EXPECT_THROW(field->WriteRichText(readOnly), CP_PlfrmErrorException);
  readOnly.Close();
  EXPECT_EQ("{\\rtf1 replaced}", kxtest::ReadWholeFile(folder / "a.rtf"));
}

TEST_F(RichTextFieldTest, ATextTooLongForAFieldIsRefusedWhole) {
  kxtest::TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "long.rtf", "{\\rtf1 " + std::string(40000, 'x') + "}"));
  auto* field = AddRichField("short");
  CP_File file(CP_FileSpec(folder / "long.rtf", false));
  file.Open(GENERIC_READ);
  EXPECT_THROW(field->ReadRichText(file), CP_RuntimeException);
  EXPECT_EQ("short", TextOf(field->GetHWND()));
}

}  // namespace
