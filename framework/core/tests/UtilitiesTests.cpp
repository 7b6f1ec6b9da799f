#include "CP_Adorner.h"
#include "CP_File.h"
#include "CP_FileSpec.h"
#include "FileTestSupport.h"
#include "CP_TextValidator.h"
#include "CP_Utilities.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(UtilitiesTest, ByteAndCStringOperations) {
  char buffer[8];
  std::memset(buffer, '-', sizeof buffer);
  CopyCStringBounded("abcdef", buffer, 4);
  EXPECT_STREQ("abc", buffer);
  CopyCStringBounded("ab", buffer, 8);
  EXPECT_STREQ("ab", buffer);
  CopyCStringBounded(nullptr, buffer, 8);
  EXPECT_STREQ("ab", buffer);
  CopyCStringBounded("xyz", buffer, 1);
  EXPECT_STREQ("", buffer);

  std::memset(buffer, '-', sizeof buffer);
  CopyBytes("abc", buffer, 0);
  CopyBytes(nullptr, buffer, 3);
  CopyBytes("abc", nullptr, 3);
  CopyBytes("abc", buffer, -1);
  EXPECT_EQ(0, std::memcmp(buffer, "--------", 8));
  CopyBytes("abc", buffer, 3);
  EXPECT_EQ(0, std::memcmp(buffer, "abc-----", 8));
  FillBytes(buffer, 2, 'z');
  FillBytes(buffer, 0, 'q');
  FillBytes(nullptr, 2, 'q');
  EXPECT_EQ(0, std::memcmp(buffer, "zzc-----", 8));

  EXPECT_EQ(0, CStringLength(nullptr));
  EXPECT_EQ(3, CStringLength("abc"));
  EXPECT_EQ("", CStringToString(nullptr));
  EXPECT_EQ("abc", CStringToString("abc"));
  const unsigned char prefixed[] = {3, 'a', 'b', 'c', 'd'};
  EXPECT_EQ("abc", LengthPrefixedToString(prefixed));
  EXPECT_EQ("", LengthPrefixedToString(nullptr));
}

TEST(UtilitiesTest, NumbersAndText) {
  EXPECT_EQ("-5", ShortToString(-5));
  EXPECT_EQ("-32768", ShortToString(-32768));
  EXPECT_EQ("2147483647", LongToString(2147483647));
  EXPECT_EQ("-2147483648", LongToString(-2147483647 - 1));
  char buffer[12];
  EXPECT_EQ(buffer, FormatDecimal(-42, buffer));
  EXPECT_STREQ("-42", buffer);

  struct Case {
    const char* text;
    int32_t asLong;
    uint32_t asULong;
  };
  const Case cases[] = {
      {"123", 123, 123}, {"-7", -7, 4294967289u}, {"  42x", 42, 42}, {"", 0, 0}, {"abc", 0, 0},
      {"0012", 12, 12},  // base 10, never octal
      {"4000000000", 2147483647, 4000000000u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.asLong, StringToLong(c.text)) << c.text;
    EXPECT_EQ(c.asULong, StringToULong(c.text)) << c.text;
  }
}

// Records which of its tests ran.
class RecordingValidator : public CP_TextValidator {
 public:
  std::string log;
  bool acceptKeys = true;
  bool acceptText = true;

 protected:
  bool IsCharacterValid(char key) override {
    log += std::string("char ") + key + ";";
    return acceptKeys;
  }
  bool IsWholeTextValid() override {
    log += "text;";
    return acceptText;
  }
  void ReportInvalidText() override { log += "report;"; }
  void ExplainRefusedKey() override { log += "explain;"; }
};

TEST(TextValidatorTest, RefusedKeysExplainThemselvesOnlyWithFeedback) {
  struct Case {
    bool accept;
    uint8_t feedback;
    const char* log;
  };
  const Case cases[] = {
      {true, 1, "char a;"},
      {false, 0, "char a;"},
      {false, 1, "char a;explain;"},
      {false, 2, "char a;"},
  };
  for (const Case& c : cases) {
    RecordingValidator* validator = new RecordingValidator;
    validator->acceptKeys = c.accept;
    validator->SetFeedback(c.feedback);
    EXPECT_EQ(c.accept, validator->CheckKey('a'));
    EXPECT_EQ(c.log, validator->log) << c.accept << " " << int(c.feedback);
    validator->RemoveReference();
  }

  RecordingValidator validator;
  validator.acceptText = false;
  EXPECT_FALSE(validator.IsTextValid());
  validator.RejectText();
  validator.ShowFeedback();
  EXPECT_EQ("text;report;explain;", validator.log);
  EXPECT_EQ(nullptr, validator.GetField());
}

TEST(AdornerTest, AnAdornerNobodyHoldsGoesWithOneRelease) {
  static int deleted = 0;
  class Counted : public CP_Adorner {
   public:
    ~Counted() override { ++deleted; }
  };
  Counted* adorner = new Counted;
  adorner->DrawAdornment(nullptr, nullptr);
  adorner->PaneChanged(nullptr);
  adorner->AddReference();
  adorner->AddReference();
  adorner->RemoveReference();
  EXPECT_EQ(0, deleted);
  adorner->RemoveReference();
  EXPECT_EQ(1, deleted);
  (new Counted)->RemoveReference();
  EXPECT_EQ(2, deleted);
}

// The mark is the four bytes after the opening brace, case and all. An open
// file keeps its position and stays open; a closed one is closed again.
TEST(UtilitiesTest, IsRichTextFile) {
  kxtest::TempFolder folder;
  const struct {
    const char* name;
    const char* bytes;  // null: no file on disk
    bool want;
  } kCases[] = {
      {"rich text", "{\\rtf1\\ansi hello}", true},
      {"mark in capitals", "{\\RTF1 hello}", false},
      {"plain text", "plain text, no mark", false},
      {"three bytes", "{\\r", false},
      {"empty", "", false},
      {"no file", nullptr, false},
  };
  for (const auto& c : kCases) {
    const std::string path = folder / (std::string(c.name) + ".txt");
    if (c.bytes) {
      ASSERT_TRUE(kxtest::WriteWholeFile(path, c.bytes)) << c.name;
    }
    CP_File closed{CP_FileSpec(path, false)};
    EXPECT_EQ(c.want, IsRichTextFile(&closed)) << c.name;
    EXPECT_FALSE(closed.IsOpen()) << c.name;
    if (!c.bytes) continue;
    CP_File open{CP_FileSpec(path, false)};
    open.Open(GENERIC_READ);
    open.SetPosition(0, int32_t(std::strlen(c.bytes) / 2));
    EXPECT_EQ(c.want, IsRichTextFile(&open)) << c.name;
    EXPECT_TRUE(open.IsOpen()) << c.name;
    EXPECT_EQ(std::strlen(c.bytes) / 2, open.GetPosition()) << c.name;
  }
  EXPECT_FALSE(IsRichTextFile(nullptr));
}

TEST(UtilitiesTest, CompareTextNoCase) {
  struct Case {
    const char* a;
    const char* b;
    int16_t want;
  };
  const Case cases[] = {
      {"SPRITE_PlayPause", "sprite_playpause", 0},
      {"abc", "abd", -1},
      {"ABD", "abc", 1},
      {"ab", "abc", -1},  // a shorter text that is a prefix comes first
      {"abc", "AB", 1},
      {"", "", 0},
      {nullptr, "", 0},
      {"a", nullptr, 1},
      {"\xE9", "\xE9", 0},  // bytes above 127 are compared, not sign-extended
      {"a", "\xE9", -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.want, CompareTextNoCase(c.a, c.b)) << (c.a ? c.a : "null") << " / " << (c.b ? c.b : "null");
}

}  // namespace
