#include <gtest/gtest.h>

#include <memory>

#include "StoreTestSupport.h"
#include "TestObjects.h"
#include "store/Exception.h"

namespace {

// A class named X with no contents.
class Letter : public Persistent {
public:
  std::string ClassName() const override { return "X"; }
  void ReadContents(Stream&) override {}
  void WriteContents(Stream&) override {}
};

// Claims one byte more than it writes.
class Liar : public Persistent {
public:
  std::string ClassName() const override { return "Liar"; }
  uint32_t SerialisedSize() const override { return Persistent::SerialisedSize() + 6; }
  void ReadContents(Stream&) override {}
  void WriteContents(Stream& s) override { s.WriteUInt32(1); }
};

Bytes NoteEnvelope(const Bytes& contents) {
  return Join({0x01, 0x0F, 0, 0, 0, 4, Scrambled("Note"), contents, 0x02});
}

TEST(Serialisable, AnEmptyEnvelope) {
  Letter x;
  EXPECT_EQ(8u, x.SerialisedSize());
  EXPECT_EQ("01 0F 00 00 00 01 75 02", Hex(Encode([&](Stream& s) { x.Save(s); })));
  EXPECT_EQ("01 0F 00 00 00 01 58 02", Hex(Encode([&](Stream& s) { x.Save(s); }, false)));
}

TEST(Serialisable, OlderAndNewerWritersLoad) {
  const Bytes number3 = Join({0x0A, 0, 0, 0, 3});
  const struct {
    const char* name;
    Bytes stored;
    uint32_t wantNumber;
    std::string wantText;
  } kCases[] = {
      {"older: the text is missing", NoteEnvelope(number3), 3, "default"},
      {"current", NoteEnvelope(Join({number3, 0x0F, 0, 0, 0, 2, Scrambled("hi")})), 3, "hi"},
      {"newer: a string, a block and a number more",
       NoteEnvelope(Join({number3, 0x0F, 0, 0, 0, 2, Scrambled("hi"), 0x0F, 0, 0, 0, 1, "q",
                          0x10, 0, 0, 0, 1, 0, 0, 0, 3, 0x2F, 0x02, 0x01, 0x0A, 0, 0, 0, 9})),
       3, "hi"},
  };
  for (const auto& c : kCases) {
    MemoryStream s(Join({c.stored, 0x12, 0x01}));
    Note note;
    note.Load(s.stream);
    EXPECT_EQ(c.wantNumber, note.number) << c.name;
    EXPECT_EQ(c.wantText, note.text) << c.name;
    bool next = false;
    s.stream.ReadBool(next);  // the stream stands right behind the object
    EXPECT_TRUE(next) << c.name;
  }
}

TEST(Serialisable, LoadRequiresItsOwnClassName) {
  MemoryStream s(NoteEnvelope(Bytes{}));
  Letter x;
  try {
    x.Load(s.stream);
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 48 in Serialisable", e.GetMessageText());
  }
}

TEST(Serialisable, WritingChecksTheComputedSize) {
  Liar liar;
  MemoryStream s;
  try {
    liar.Save(s.stream);
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 73 in Serialisable", e.GetMessageText());
  }
  try {
    liar.WriteCheckedContents(s.stream);
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 84 in Serialisable", e.GetMessageText());
  }
  Note note;
  EXPECT_NO_THROW(note.WriteCheckedContents(s.stream));
}

TEST(Factory, AnUnknownNameListsTheMakersNewestFirst) {
  {
    PersistentMaker<Note> a("A");
    PersistentMaker<Note> b("B");
    try {
      PersistentFactory::Find("Nothing");
      FAIL() << "no error";
    } catch (const FactoryError& e) {
      const std::string text = e.GetMessageText();
      EXPECT_EQ(0u, text.find("Factory Nothing not found, factory list:\nB\nA\n")) << text;
      EXPECT_NE(std::string::npos, text.find("\nNote\n")) << text;
      EXPECT_NE(std::string::npos, text.find("\nDatabase\n")) << text;
      EXPECT_EQ('\n', text.back());
    }
    EXPECT_EQ(&b, PersistentFactory::Find("B"));
  }
  // A maker leaves the list when it ends.
  EXPECT_THROW(PersistentFactory::Find("A"), FactoryError);
}

TEST(Persistent, LoadFromMakesTheObjectByItsClassName) {
  MemoryStream s(NoteEnvelope(Join({0x0A, 0, 0, 0, 42, 0x0F, 0, 0, 0, 1, Scrambled("t")})));
  std::unique_ptr<Persistent> object(Persistent::LoadFrom(s.stream, nullptr));
  Note* note = dynamic_cast<Note*>(object.get());
  ASSERT_NE(nullptr, note);
  EXPECT_EQ(42u, note->number);
  EXPECT_EQ("t", note->text);
  EXPECT_FALSE(note->IsModified());  // made without a database
  EXPECT_EQ(nullptr, note->GetDatabase());
}

TEST(Persistent, LoadFromFailures) {
  {
    MemoryStream s(Join({0x01, 0x0F, 0, 0, 0, 3, Scrambled("Zed"), 0x02}));
    EXPECT_THROW(Persistent::LoadFrom(s.stream, nullptr), FactoryError);
  }
  {
    // The half-made object is not leaked when its contents are damaged.
    MemoryStream s(NoteEnvelope(Join({0x0A, 0, 0, 0, 1, 0x0F, 0, 0, 0x10, 0})));
    EXPECT_THROW(Persistent::LoadFrom(s.stream, nullptr), StreamReadError);
  }
}

TEST(Persistent, AnIDIsSetOnce) {
  Note note;
  EXPECT_EQ(0u, note.GetID());  // no database: no ID
  note.SetID(1024);
  try {
    note.SetID(1025);
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 169 in Persistent", e.GetMessageText());
  }
  EXPECT_EQ(1024u, note.GetID());
}

}  // namespace
