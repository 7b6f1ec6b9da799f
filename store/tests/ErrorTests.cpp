#include <gtest/gtest.h>

#include <cstring>

#include "store/Exception.h"
#include "store/StrStream.h"

namespace {

TEST(StoreErrors, ComposeTheirTexts) {
  const struct { const char* name; std::string got; std::string want; } kCases[] = {
      {"assertion", Assertion("x", -3, "a").GetMessageText(), "x, line -3 in a"},
      {"empty assertion", Assertion("", 0, "").GetMessageText(), ", line 0 in "},
      {"numbered error", ErrorNo(0, "").GetMessageText(), " error: 0"},
      {"atom error", ErrorNo(0, "Could not find atom searched").GetMessageText(),
       "Could not find atom searched error: 0"},
      {"source location", FormatSourceLocation(138, "db_ptr"), ", line 138 in db_ptr"},
      {"end of object", EndOfObject().GetMessageText(), "Premature and of object"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.want, c.got) << c.name;
  EXPECT_EQ(12u, Assertion("", 0, "").GetMessageText().size());
}

TEST(StoreErrors, WhatIsTheFixedWord) {
  EXPECT_STREQ("exception", Exception("m").what());
  EXPECT_STREQ("exception", InvalidDatabase("m").what());
  EXPECT_STREQ("exception", EndOfObject().what());
  EXPECT_EQ("m", StreamReadError("m").GetMessageText());
}

TEST(StoreErrors, AnEndOfObjectIsNotAnException) {
  bool caughtAsException = false;
  try {
    try {
      throw EndOfObject();
    } catch (const Exception&) {
      caughtAsException = true;
    }
  } catch (const std::exception& e) {
    EXPECT_STREQ("exception", e.what());
  }
  EXPECT_FALSE(caughtAsException);

  // The I/O branch is caught by its bases.
  EXPECT_THROW(throw StreamReadError(""), ReadError);
  EXPECT_THROW(throw StreamWriteError(""), IOError);
  EXPECT_THROW(throw FileOpenError(""), OpenError);
  EXPECT_THROW(throw EOFException(""), IOError);
  EXPECT_THROW(throw InvalidDatabase(""), DatabaseException);
  EXPECT_THROW(throw FactoryError(""), Exception);
}

TEST(TextConversions, NumberToString) {
  EXPECT_EQ("0", NumberToString(0));
  EXPECT_EQ("-2147483648", NumberToString(INT32_MIN));
  EXPECT_EQ("2147483647", NumberToString(INT32_MAX));
}

TEST(TextConversions, StrStreamKeepsWithinItsBuffer) {
  // More than the buffer holds: the text stops at its end, nothing overruns.
  const std::string text = FormatErrorNumber(7, std::string(2000, 'x'));
  EXPECT_EQ(1024u, text.size());
  EXPECT_EQ(std::string(1024, 'x'), text);
}

TEST(TextConversions, StripQuotes) {
  const struct { const char* input; const char* want; } kCases[] = {
      {"\"value\"", "value"},   {"\"value", "value"},   {"value\"", "value"},
      {"\"", ""},               {"\"\"", ""},           {"value", "value"},
      {"", ""},                 {"\"a\"b\"", "a\"b"},   {"a\"b", "a\"b"},
  };
  for (const auto& c : kCases) {
    std::string value = c.input;
    StripQuotes(value);
    EXPECT_EQ(c.want, value) << c.input;
  }
}

TEST(TextConversions, LengthPrefixedStrings) {
  {
    unsigned char buffer[8] = {3, 'a', 'b', 'c', 'x', 'x', 'x', 'x'};
    std::string result;
    EXPECT_EQ("abc", LengthPrefixedBufferToString(result, buffer));
    EXPECT_EQ("abc", result);
    EXPECT_STREQ("abc", reinterpret_cast<const char*>(buffer));  // changed in place
  }
  {
    unsigned char buffer[4] = {0, 'z', 'z', 'z'};
    std::string result = "old";
    EXPECT_EQ("", LengthPrefixedBufferToString(result, buffer));
    EXPECT_EQ(0, buffer[0]);
  }
  {
    unsigned char buffer[8] = {3, 'a', 0, 'b'};
    std::string result;
    EXPECT_EQ("a", LengthPrefixedBufferToString(result, buffer));
  }
  {
    unsigned char buffer[4] = {9, 9, 9, 9};
    StringToLengthPrefixed("", buffer);
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(9, buffer[1]);  // no NUL written
  }
  {
    // A length byte cannot count 300: the text is cut to 255 characters.
    unsigned char buffer[300] = {};
    StringToLengthPrefixed(std::string(300, 'q'), buffer);
    EXPECT_EQ(255, buffer[0]);
    EXPECT_EQ('q', buffer[255]);
    EXPECT_EQ(0, buffer[256]);
  }
}

}  // namespace
