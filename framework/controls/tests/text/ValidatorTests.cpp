// Key filters and validators on real text fields: what each lets through,
// the system's messages for refused keys and texts, and a validator handed
// to its field by a stored object tree.
#include "CP_Alert.h"
#include "CP_FourCC.h"
#include "CP_HandleBlock.h"
#include "CP_HandleBlockStream.h"
#include "CP_KeyInputFilter.h"
#include "CP_Reanimator.h"
#include "CP_TextField_MS_SingleLine.h"
#include "CP_TextValidators.h"
#include "TextTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using kxtest::PressKey;
using kxtest::SelectionOf;
using kxtest::TextOf;
using kxtest::Type;

using ValidatorTest = kxtest::TextFieldScene;
using Selection = std::pair<int, int>;

TEST(KeyInputFilterTest, SortsKeysIntoWhatTheFieldDoes) {
  const CP_KeyInputFilter plain;
  const CP_KeyInputFilter lines(true);
  const CP_KeyInputFilter_Numeric numeric;
  const CP_KeyInputFilter_AlphaNumeric alpha;
  enum { I = CP_KeyInputFilter::kInsertCharacter, B = CP_KeyInputFilter::kDeleteBackwards,
         C = CP_KeyInputFilter::kPassToControl, S = CP_KeyInputFilter::kSwallow };
  struct Case {
    const char* name;
    int16_t key;
    bool character;
    int plain, lines, numeric, alpha;
  };
  const Case cases[] = {
      {"letter", 'a', true, I, I, S, I},
      {"digit", '7', true, I, I, I, I},
      {"minus", '-', true, I, I, I, S},
      {"space", ' ', true, I, I, S, S},
      {"accented letter", int16_t(0xE9), true, I, I, S, I},
      {"backspace", '\b', true, B, B, B, B},
      {"return", '\r', true, S, I, S, S},
      {"tab", '\t', true, S, S, S, S},
      {"ctrl+v", 0x16, true, S, S, S, S},
      {"left arrow", kKey_Left, false, C, C, C, C},
      {"page down", kKey_PageDown, false, C, C, C, C},
      {"delete", kKey_Delete, false, B, B, B, B},
      {"insert", kKey_Insert, false, S, S, S, S},
      {"F1", kKey_F1, false, S, S, S, S},
      {"the left arrow's code as a character", kKey_Left, true, I, I, S, I},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.plain, plain.ClassifyKey(c.key, c.character)) << c.name;
    EXPECT_EQ(c.lines, lines.ClassifyKey(c.key, c.character)) << c.name;
    EXPECT_EQ(c.numeric, numeric.ClassifyKey(c.key, c.character)) << c.name;
    EXPECT_EQ(c.alpha, alpha.ClassifyKey(c.key, c.character)) << c.name;
  }
}

TEST_F(ValidatorTest, FiltersSwallowWhatTheyRefuseSilently) {
  auto* numeric = AddField("", new CP_KeyInputFilter_Numeric);
  Type(numeric->GetHWND(), "1a-2.x");
  EXPECT_EQ("1-2.", TextOf(numeric->GetHWND()));
  auto* alpha = AddField("", new CP_KeyInputFilter_AlphaNumeric, 200, 24, 40);
  Type(alpha->GetHWND(), "a1 !b");
  EXPECT_EQ("a1b", TextOf(alpha->GetHWND()));
}

TEST_F(ValidatorTest, TheNumericValidatorRefusesLettersWithTheSystemsMessage) {
  auto* field = AddField();
  auto* validator = new CP_TextNumericValidator;
  validator->SetFeedback(1);
  field->SetValidator(validator);
  EXPECT_EQ(field, validator->GetField());
  kxtest::MessageBoxWatcher boxes(GetApplicationName(), IDOK);
  Type(field->GetHWND(), "1a2");
  EXPECT_EQ("12", TextOf(field->GetHWND())) << "the refused key reaches nobody";
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ("Only numeric data allowed in this field.", boxes.LastText());

  validator->SetFeedback(0);
  Type(field->GetHWND(), "b");
  EXPECT_EQ("12", TextOf(field->GetHWND()));
  EXPECT_EQ(1, boxes.Count()) << "without feedback a refused key only beeps";
}

// The commander a field answers to, writing down the keys that reach it.
class KeyRecorder : public CP_M_Commander {
 public:
  explicit KeyRecorder(CP_M_Commander* parent) : CP_M_Commander(parent) {}
  bool HandleKey(int16_t key, CP_Event&) override {
    keys += char(key);
    return true;
  }
  std::string keys;
};

// A key the validator refuses is not the field's: it goes on to the parent
// commander, and the control never types it.
TEST_F(ValidatorTest, ARefusedKeyGoesOnToTheParentCommander) {
  KeyRecorder parent(window);
  auto* field = new CP_TextField_SingleLine(window, kxtest::PaneAt(10, 10, 200, 24), &parent, "", nullptr);
  field->SetValidator(new CP_TextNumericValidator);
  CP_M_Commander::ChangeTarget(field);
  Type(field->GetHWND(), "1a2b");
  EXPECT_EQ("12", TextOf(field->GetHWND()));
  EXPECT_EQ("ab", parent.keys);
  CP_M_Commander::ChangeTarget(window);
  field->SetParentCommander(window);
}

TEST_F(ValidatorTest, TheLengthValidatorRefusesTheKeyBeyondTheMaximum) {
  auto* field = AddField();
  field->SetValidator(new CP_TextLengthValidator(3));
  HWND h = field->GetHWND();
  Type(h, "abcd");
  EXPECT_EQ("abc", TextOf(h));
  kxtest::Select(h, 1, 2);
  Type(h, "X");
  EXPECT_EQ("aXc", TextOf(h)) << "a key that replaces a selection keeps the length";
}

TEST_F(ValidatorTest, ACommitKeyWithAnInvalidTextKeepsTheFieldWithAllSelected) {
  auto* field = AddField();
  field->SetValidator(new CP_TextNumericRangeValidator(1, 10));
  HWND h = field->GetHWND();
  kxtest::MessageBoxWatcher boxes(GetApplicationName(), IDOK);
  Type(h, "50");
  CP_M_Commander::ChangeTarget(window);
  CP_M_Commander::ChangeTarget(field);
  CP_Event event;
  kxtest::Select(h, 2, 2);
  EXPECT_TRUE(field->HandleKey(VK_RETURN, event)) << "the invalid text keeps the key";
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ("Number must be in the range 1 and 10", boxes.LastText());
  EXPECT_EQ(Selection(0, 2), SelectionOf(h)) << "all of it, to be corrected";
  EXPECT_EQ(static_cast<CP_M_Commander*>(field), CP_M_Commander::GetTarget());
  EXPECT_EQ("50", TextOf(h)) << "a carriage return is never typed";

  kxtest::Select(h, 0, 2);
  Type(h, "7");
  EXPECT_FALSE(field->HandleKey(VK_RETURN, event)) << "a valid text lets the key go on";
  EXPECT_EQ(1, boxes.Count());
}

TEST_F(ValidatorTest, ARichFieldTakesTheTargetBackForARefusedKey) {
  auto* field = AddField<CP_TextField_MS_SingleLine>("12");
  field->SetValidator(new CP_TextNumericValidator);
  EXPECT_EQ(nullptr, field->GetValidator()->GetField()) << "not a single-line field";
  HWND h = field->GetHWND();
  kxtest::Select(h, 2, 2);
  Type(h, "3x");
  EXPECT_EQ("123", TextOf(h));
  EXPECT_EQ(Selection(0, 3), SelectionOf(h));
  EXPECT_EQ(static_cast<CP_M_Commander*>(field), CP_M_Commander::GetTarget());
}

TEST_F(ValidatorTest, AReplacedValidatorNoLongerPointsAtTheField) {
  auto* field = AddField();
  auto* first = new CP_TextNumericValidator;
  first->AddReference();  // a second holder keeps it
  field->SetValidator(first);
  field->SetValidator(new CP_TextLengthValidator(2));
  EXPECT_EQ(1, first->GetReferenceCount());
  EXPECT_EQ(nullptr, first->GetField());
  EXPECT_EQ(nullptr, first->GetFieldText());
  first->RemoveReference();
}

// ---------------------------------------------------------------------------
// A validator in a stored tree

int gStoredValidatorsDeleted = 0;

class StoredValidator : public CP_TextNumericValidator, public CP_M_Reanimatable {
 public:
  ~StoredValidator() override { ++gStoredValidatorsDeleted; }
  void WriteToStream(CP_OutStream&) override {}
  void ReadFromStream(void*, CP_InStream&) override {}
  static CP_M_Reanimatable* Create(CP_M_Reanimatable*, CP_InStream&) { return new StoredValidator; }

 protected:
  const char* RuntimeClassName() const override { return "StoredValidator"; }
};

CP_M_Reanimatable* CreateStoredField(CP_M_Reanimatable* argument, CP_InStream&) {
  return new CP_TextField_SingleLine(dynamic_cast<CP_View*>(argument), kxtest::PaneAt(5, 5, 80, 20), nullptr);
}

CP_M_Reanimatable* CreateStoredView(CP_M_Reanimatable* argument, CP_InStream&) {
  return new CP_View(dynamic_cast<CP_View*>(argument), kxtest::PaneAt(5, 40, 80, 20));
}

// A record: the tag, then the class name as stream text (16-bit length).
std::string Record(const char (&tag)[5], const std::string& className) {
  std::string bytes;
  const uint32_t code = CP_FourCC(tag);
  for (int i = 0; i < 4; ++i) bytes += char((code >> (8 * i)) & 0xFF);
  if (className.empty()) return bytes;
  bytes += char(className.size() & 0xFF);
  bytes += char(className.size() >> 8);
  return bytes + className;
}

TEST_F(ValidatorTest, AStoredValidatorGoesToTheTextFieldStoredBeforeIt) {
  CP_Reanimator::RegisterCreator("StoredValidator", StoredValidator::Create);
  CP_Reanimator::RegisterCreator("StoredField", CreateStoredField);
  CP_Reanimator::RegisterCreator("StoredView", CreateStoredView);
  gStoredValidatorsDeleted = 0;
  const std::string records = Record("subv", "StoredField") + Record("vali", "StoredValidator") +
                              Record("subv", "StoredView") + Record("vali", "StoredValidator") +
                              Record("enob", "");
  auto* block = new CP_HandleBlock(int32_t(records.size()));
  std::memcpy(block->GetPointer(), records.data(), records.size());
  block->Unlock();
  CP_HandleBlockInStream in(block, 0);

  EXPECT_EQ(nullptr, CP_Reanimator::GetCurrent()->RebuildTree(in, window, nullptr, nullptr));
  ASSERT_EQ(2u, window->GetSubPanes().size());
  auto* field = dynamic_cast<CP_TextField_SingleLine*>(window->GetSubPanes()[0]);
  ASSERT_NE(nullptr, field);
  ASSERT_NE(nullptr, field->GetValidator());
  EXPECT_EQ(field, field->GetValidator()->GetField());
  EXPECT_EQ(1, field->GetValidator()->GetReferenceCount()) << "the field's reference alone";
  EXPECT_EQ(1, gStoredValidatorsDeleted) << "the one after a plain view went with the tree";
  window->DeleteSubPanes();
  EXPECT_EQ(2, gStoredValidatorsDeleted);
}

}  // namespace
