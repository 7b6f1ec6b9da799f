#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "store/Exception.h"

namespace {

struct EncodeCase {
  const char* name;
  bool scramble;
  std::function<void(Stream&)> write;
  Bytes want;
};

TEST(Stream, EncodesEachKindByteExactly) {
  const EncodeCase kCases[] = {
      {"unsigned 32-bit", true, [](Stream& s) { s.WriteUInt32(0xD8FBE668); },
       Join({0x0A, 0xD8, 0xFB, 0xE6, 0x68})},
      {"signed 32-bit", true, [](Stream& s) { s.WriteInt32(-2); },
       Join({0x09, 0xFF, 0xFF, 0xFF, 0xFE})},
      {"true", true, [](Stream& s) { s.WriteBool(true); }, Join({0x12, 0x01})},
      {"false", true, [](Stream& s) { s.WriteBool(false); }, Join({0x12, 0x00})},
      {"empty string", true, [](Stream& s) { s.WriteString(""); },
       Join({0x0F, 0, 0, 0, 0})},
      {"string, scramble off", false, [](Stream& s) { s.WriteString("abc"); },
       Join({0x0F, 0, 0, 0, 3, "abc"})},
      {"string, scramble on", true, [](Stream& s) { s.WriteString("abc"); },
       Join({0x0F, 0, 0, 0, 3, 0x4C, 0x4F, 0x4E})},
      {"block cut to capacity", false, [](Stream& s) { s.WriteBlock("abcdef", 4); },
       Join({0x10, 0, 0, 0, 4, 0, 0, 0, 4, "abcd"})},
      {"block padded, padding not scrambled", true, [](Stream& s) { s.WriteBlock("ab", 4); },
       Join({0x10, 0, 0, 0, 2, 0, 0, 0, 4, 0x4C, 0x4F, 0, 0})},
      {"block of capacity 0", true, [](Stream& s) { s.WriteBlock("abc", 0); },
       Join({0x10, 0, 0, 0, 0, 0, 0, 0, 0})},
      {"object framing", true, [](Stream& s) { s.WriteBeginObject(); s.WriteEndObject(); },
       Join({0x01, 0x02})},
  };
  for (const EncodeCase& c : kCases) {
    EXPECT_EQ(Hex(c.want), Hex(Encode(c.write, c.scramble))) << c.name;
  }
}

TEST(Stream, ReadsBackWhatItWrote) {
  for (bool scramble : {false, true}) {
    MemoryStream s({}, scramble);
    s.stream.WriteUInt32(0xD8FBE668);
    s.stream.WriteInt32(-7);
    s.stream.WriteString("abc");
    s.stream.WriteBlock("abcdef", 4);
    s.stream.WriteBlock("ab", 10);
    s.stream.WriteString("");
    s.stream.Seek(0, SeekFrom::Start);

    uint32_t u = 0;
    int32_t i = 0;
    std::string text, cut, padded, empty = "x";
    s.stream.ReadUInt32(u);
    s.stream.ReadInt32(i);
    s.stream.ReadString(text);
    s.stream.ReadBlock(cut);
    s.stream.ReadBlock(padded);
    s.stream.ReadString(empty);
    EXPECT_EQ(0xD8FBE668u, u);
    EXPECT_EQ(-7, i);
    EXPECT_EQ("abc", text);
    EXPECT_EQ("abcd", cut);
    EXPECT_EQ("ab", padded);  // the used length, not the capacity
    EXPECT_EQ("", empty);
    EXPECT_EQ(s.memory.Bytes().size(), s.stream.Tell()) << "scramble " << scramble;
  }
}

TEST(Stream, ABooleanIsTrueOnlyForOne) {
  const struct { uint8_t stored; bool want; } kCases[] = {{0, false}, {1, true}, {2, false}};
  for (const auto& c : kCases) {
    MemoryStream s(Join({0x12, c.stored}));
    bool value = !c.want;
    s.stream.ReadBool(value);
    EXPECT_EQ(c.want, value) << int(c.stored);
  }
}

TEST(Stream, AWrongTagTellsAnEarlyEndFromABadTag) {
  {
    MemoryStream s(Join({0x02, 0x0A}));
    uint32_t value = 0;
    try {
      s.stream.ReadUInt32(value);
      FAIL() << "no signal";
    } catch (const EndOfObject& e) {
      EXPECT_EQ("Premature and of object", e.GetMessageText());
    }
    EXPECT_EQ(1u, s.stream.Tell());  // the end tag is consumed
  }
  {
    // A string where a number was expected is consumed whole.
    MemoryStream s(Join({0x0F, 0, 0, 0, 2, "ab", 0x0A}));
    uint32_t value = 0;
    try {
      s.stream.ReadUInt32(value);
      FAIL() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ("Bad Tag", e.GetMessageText());
    }
    EXPECT_EQ(7u, s.stream.Tell());
  }
  {
    MemoryStream s(Join({0x12, 0x01}));
    std::string text;
    try {
      s.stream.ReadString(text);
      FAIL() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ("Bad Tag", e.GetMessageText());
    }
  }
}

TEST(Stream, SkipsToTheEndOfAnObjectOverStringsAndBlocks) {
  MemoryStream s;
  s.stream.WriteString(std::string(600, 's'));
  s.stream.WriteBlock("block", 40);  // its bytes include values that look like tags
  s.stream.WriteBool(true);
  s.stream.WriteInt32(2);
  s.stream.WriteEndObject();
  s.stream.WriteUInt32(77);
  s.stream.Seek(0, SeekFrom::Start);

  s.stream.SkipToEndOfObject();
  uint32_t next = 0;
  s.stream.ReadUInt32(next);
  EXPECT_EQ(77u, next);
}

TEST(Stream, SkipsEveryKnownTagByItsSize) {
  // Tags 3 to 14 with their payloads, then the end tag.
  MemoryStream s(Join({0x03, 1, 0x05, 1, 2, 3, 4, 0x07, 1, 2, 0x0B, 1, 2, 3, 4, 5, 6, 7, 8,
                       0x0E, 1, 2, 3, 4, 5, 6, 7, 8, 0x00, 0x11, 0x13, 0x02, 0x0A}));
  s.stream.SkipToEndOfObject();
  EXPECT_EQ(s.memory.Bytes().size() - 1, s.stream.Tell());
}

// Lengths read from damaged data are checked before anything is allocated
// or skipped.
TEST(Stream, RefusesLengthsThatTheDataCannotHold) {
  struct Case {
    const char* name;
    Bytes input;
    std::function<void(Stream&)> read;
  };
  auto readString = [](Stream& s) { std::string t; s.ReadString(t); };
  auto readBlock = [](Stream& s) { std::string t; s.ReadBlock(t); };
  auto readNumber = [](Stream& s) { uint32_t v; s.ReadUInt32(v); };
  auto skip = [](Stream& s) { s.SkipToEndOfObject(); };
  const Case kCases[] = {
      {"string of 4 GB", Join({0x0F, 0xFF, 0xFF, 0xFF, 0xFF, "abc"}), readString},
      {"string one byte short", Join({0x0F, 0, 0, 0, 4, "abc"}), readString},
      {"block used above capacity", Join({0x10, 0, 0, 0, 5, 0, 0, 0, 2, "abcde"}), readBlock},
      {"block capacity past the end", Join({0x10, 0, 0, 0, 1, 0x7F, 0, 0, 0, "a"}), readBlock},
      {"bad-tag string of 4 GB", Join({0x0F, 0xFF, 0xFF, 0xFF, 0xFF}), readNumber},
      {"skipped string of 4 GB", Join({0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0x02}), skip},
      {"skipped block used above capacity", Join({0x10, 0, 0, 0, 3, 0, 0, 0, 1, "abc", 0x02}),
       skip},
      {"skipped block past the end", Join({0x10, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0x02}), skip},
      {"skipped tag above 19", Join({0x14, 0x02}), skip},
      {"skip without an end tag", Join({0x0A, 0, 0, 0, 1}), skip},
      {"number cut short", Join({0x0A, 0, 0}), readNumber},
      {"nothing at all", Bytes{}, readNumber},
  };
  for (const Case& c : kCases) {
    MemoryStream s(c.input);
    EXPECT_THROW(c.read(s.stream), StreamReadError) << c.name;
  }
}

TEST(Stream, ScramblingIsSetBeforeTheFirstWrite) {
  MemoryStream s;
  EXPECT_NO_THROW(s.stream.SetScramble(false));
  s.stream.WriteUInt32(1);
  try {
    s.stream.SetScramble(true);
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 45 in Stream", e.GetMessageText());
  }
  EXPECT_FALSE(s.stream.GetScramble());
}

TEST(Stream, CountsBytesWrittenAndFailsAShortWrite) {
  MemoryDataHandler memory({}, 7);
  StreamDataHandler stream(&memory);
  stream.WriteUInt32(1);
  stream.WriteBool(true);
  EXPECT_EQ(7, stream.GetBytesWritten());
  EXPECT_THROW(stream.WriteUInt32(2), StreamWriteError);
  EXPECT_EQ(8, stream.GetBytesWritten());  // counted before the write was tried
}

}  // namespace
