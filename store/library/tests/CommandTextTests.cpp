#include <gtest/gtest.h>

#include <list>
#include <map>
#include <sstream>
#include <string>

#include "../../tests/StoreTestSupport.h"
#include "store/Exception.h"
#include "store/library/ActionTable.h"
#include "store/library/StringMaps.h"
#include "store/library/TokenScanner.h"

namespace {

using Entries = std::map<std::string, std::string>;

std::list<std::string> Scan(const std::string& separators, const std::string& quotes,
                            const std::string& text) {
  std::list<std::string> tokens;
  TokenScanner(separators, quotes).Scan(text, tokens);
  return tokens;
}

Entries Parsed(const std::string& text) {
  ActionParameters parameters;
  parameters.Parse(text);
  return Entries(parameters.begin(), parameters.end());
}

TEST(TokenScanner, SplitsAtSeparatorsOutsideQuotes) {
  const struct {
    const char* name;
    std::string text;
    std::list<std::string> want;
  } kCases[] = {
      {"runs of separators give no empty tokens", ",,a,,b,", {"a", "b"}},
      {"quotes are kept and shield separators", "a=\"x,y\",b", {"a=\"x,y\"", "b"}},
      {"an unclosed quote runs to the end", "a\"b,c,d", {"a\"b,c,d"}},
      {"another quote character inside a quote changes nothing", "'a\"b',c\"d,e\"",
       {"'a\"b'", "c\"d,e\""}},
      {"bytes above 127 are ordinary", "\xE9t\xE9,\xFF", {"\xE9t\xE9", "\xFF"}},
      {"nothing but separators", ",,,", {}},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.want, Scan(",", "\"'", c.text)) << c.name;
  // A byte above 127 given as a separator splits like any other.
  EXPECT_EQ((std::list<std::string>{"a", "b"}), Scan("\xA7", "", "a\xA7" "b"));
}

// One row per rule of the parameter text.
TEST(ActionParameters, ParsesKeysAndQuotedValues) {
  const struct {
    const char* name;
    std::string text;
    Entries want;
  } kCases[] = {
      {"two quoted items", "File=\"a.flm\",Track=\"2\"", {{"File", "a.flm"}, {"Track", "2"}}},
      {"blanks and tabs around the equals sign", "A = \"1\",B\t=\t\"2\"", {{"A", "1"}, {"B", "2"}}},
      {"an unquoted value with a blank stops the parse", "A=\"1\",B=x y,C=\"3\"", {{"A", "1"}}},
      {"a quoted value keeps its blank", "B=\"x y\"", {{"B", "x y"}}},
      {"a comma inside quotes stays in the value", "A=\"x,y\",B=\"2\"", {{"A", "x,y"}, {"B", "2"}}},
      {"a bare key stops the parse", "A=\"1\",B,C=\"3\"", {{"A", "1"}}},
      {"an empty item vanishes", "A=\"1\",,C=\"3\"", {{"A", "1"}, {"C", "3"}}},
      {"a repeated key keeps the last value", "A=\"1\",A=\"2\"", {{"A", "2"}}},
      {"a quoted key keeps its quotes", "\"A\"=\"1\"", {{"\"A\"", "1"}}},
      {"two quotes give the empty text", "A=\"\"", {{"A", ""}}},
      {"a lone quote gives the empty text", "A=\"", {{"A", ""}}},
      {"a quote only at the end goes", "A=x\"", {{"A", "x"}}},
      {"a quote only at the start goes", "A=\"x", {{"A", "x"}}},
      {"an inner quote stays", "A=x\"y\"", {{"A", "x\"y"}}},
      {"only an equals sign and a value", "=\"1\"", {}},
      {"a key and an equals sign", "A=", {}},
      {"a key and two equals signs", "A==", {}},
      {"a key, two equals signs and a value", "A==\"1\"", {{"A", "1"}}},
      {"an unclosed quote swallows the rest", "A=\"1,B=\"2\"", {{"A", "1,B=\"2"}}},
      {"the empty parameter list", "", {}},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.want, Parsed(c.text)) << c.name;
}

TEST(ActionParameters, ParsingAddsToTheEntriesPresent) {
  ActionParameters parameters;
  parameters.Parse("A=\"1\",B=\"2\"");
  parameters.Parse("B=\"3\",C=\"4\"");
  EXPECT_EQ((Entries{{"A", "1"}, {"B", "3"}, {"C", "4"}}),
            Entries(parameters.begin(), parameters.end()));
}

// The outer split of a command text at its parentheses.
TEST(ActionDefinition, SplitsTheNameFromTheParameters) {
  const struct {
    const char* name;
    std::string text;
    std::string wantName;
    Entries wantParameters;
  } kCases[] = {
      {"name and parameters", "playQT(File=\"a.flm\",Track=\"2\")", "playQT",
       {{"File", "a.flm"}, {"Track", "2"}}},
      {"no closing parenthesis", "playQT(File=\"a.flm\"", "playQT", {{"File", "a.flm"}}},
      {"blanks before the parenthesis stay in the name", "  playQT (A=\"1\")", "  playQT ",
       {{"A", "1"}}},
      {"a bare name", "playQT", "", {}},
      {"an empty pair of parentheses", "name()", "", {}},
      {"anything after the closing parenthesis", "playQT(A=\"1\")x", "", {}},
      {"a parenthesis inside a quoted value", "launch(Args=\"(x)\")", "", {}},
      {"the empty text", "", "", {}},
  };
  for (const auto& c : kCases) {
    const ActionDefinition definition(c.text);
    EXPECT_EQ(c.wantName, definition.GetName()) << c.name;
    EXPECT_EQ(c.wantParameters,
              Entries(definition.GetParameters().begin(), definition.GetParameters().end()))
        << c.name;
  }
}

TEST(ActionDefinition, RebuildsItsCommandText) {
  // Parameters come back in key order, quoted, separated by a bare comma.
  const ActionDefinition definition("playQT(Track = \"2\", File=\"C:\\films\\a b.flm\")");
  const std::string text = definition.GetText();
  EXPECT_EQ("playQT(File=\"C:\\films\\a b.flm\",Track=\"2\")", text);
  const ActionDefinition again(text);
  EXPECT_EQ(definition.GetName(), again.GetName());
  EXPECT_EQ(Entries(definition.GetParameters().begin(), definition.GetParameters().end()),
            Entries(again.GetParameters().begin(), again.GetParameters().end()));

  // Without parameters the text does not parse back.
  const ActionDefinition bare("stop(junk)");
  EXPECT_EQ("stop()", bare.GetText());
  EXPECT_EQ("", ActionDefinition(bare.GetText()).GetName());
}

TEST(ActionDefinition, Dumps) {
  std::ostringstream definition, parameters, table;
  ActionDefinition("playQT(File=\"a.flm\",Track=\"2\")").Dump(definition);
  EXPECT_EQ("playQT-->File=a.flm, Track=2", definition.str());

  ActionTable actions;
  actions[ActionID("b1")] = ActionDefinition("stop(X=\"1\")");
  actions[ActionID("a1")] = ActionDefinition("go(Y=\"2\")");
  actions.Dump(table);
  EXPECT_EQ("a1: go-->Y=2\nb1: stop-->X=1\n", table.str());

  Dictionary dictionary;
  dictionary["name"] = "Tiny";
  dictionary["copyright"] = "(c)";
  std::ostringstream lines;
  dictionary.Dump(lines);
  EXPECT_EQ("copyright=\"(c)\"\nname=\"Tiny\"\n", lines.str());

  db_string_map plain;
  plain["a"] = "b";
  plain.Dump(parameters);
  EXPECT_EQ("", parameters.str());
}

TEST(Dictionary, GetValue) {
  Dictionary dictionary;
  dictionary["screensavers"] = "films";
  std::string value = "old";
  EXPECT_TRUE(dictionary.GetValue("screensavers", value));
  EXPECT_EQ("films", value);
  EXPECT_FALSE(dictionary.GetValue("Screensavers", value));
  EXPECT_EQ("", value);
}

TEST(StringMap, StoresEntriesInUnsignedByteOrder) {
  Dictionary dictionary;
  dictionary["\xE9"] = "high";
  dictionary["ab"] = "long";
  dictionary["a"] = "prefix";
  dictionary["B"] = "upper";
  MemoryStream s({}, false);
  dictionary.Save(s.stream);
  EXPECT_EQ(Join({1, 15, BigEndian32(10), "Dictionary", 10, BigEndian32(4),
                  15, BigEndian32(1), "B", 15, BigEndian32(5), "upper",
                  15, BigEndian32(1), "a", 15, BigEndian32(6), "prefix",
                  15, BigEndian32(2), "ab", 15, BigEndian32(4), "long",
                  15, BigEndian32(1), "\xE9", 15, BigEndian32(4), "high", 2}),
            s.memory.Bytes());

  s.stream.Seek(0, SeekFrom::Start);
  Dictionary read;
  read["zz"] = "kept";
  read["a"] = "replaced";
  read.Load(s.stream);
  EXPECT_EQ((Entries{{"B", "upper"}, {"a", "prefix"}, {"ab", "long"}, {"\xE9", "high"},
                     {"zz", "kept"}}),
            Entries(read.begin(), read.end()));
}

TEST(StringMap, AnEmptyMapIsItsCountAlone) {
  ActionParameters parameters;
  EXPECT_EQ("db_string_map", parameters.ClassName());
  EXPECT_EQ(Join({1, 15, BigEndian32(13), "db_string_map", 10, BigEndian32(0), 2}),
            Encode([&](Stream& s) { parameters.Save(s); }, false));
  EXPECT_EQ(5u, parameters.ContentsSize());
}

TEST(StringMap, ACountBeyondTheDataFailsWithoutAllocating) {
  // Claims four billion entries and holds one.
  MemoryStream s(Join({10, BigEndian32(0xFFFFFFFF), 15, BigEndian32(1), Scrambled("k"), 15,
                       BigEndian32(1), Scrambled("v")}));
  Dictionary dictionary;
  EXPECT_THROW(dictionary.ReadContents(s.stream), StreamReadError);
  EXPECT_EQ((Entries{{"k", "v"}}), Entries(dictionary.begin(), dictionary.end()));
}

TEST(ActionTable, StoresDefinitionsInIdentifierOrder) {
  ActionTable table;
  table[ActionID("play")] = ActionDefinition("playQT(File=\"a.flm\")");
  table[ActionID("Play")] = ActionDefinition("stop()");
  MemoryStream s({}, false);
  table.Save(s.stream);
  // Upper-case letters sort first; each definition is its name and its
  // parameters without envelopes.
  EXPECT_EQ(Join({1, 15, BigEndian32(11), "ActionTable", 10, BigEndian32(2),
                  15, BigEndian32(4), "Play", 15, BigEndian32(0), "", 10, BigEndian32(0),
                  15, BigEndian32(4), "play", 15, BigEndian32(6), "playQT", 10, BigEndian32(1),
                  15, BigEndian32(4), "File", 15, BigEndian32(5), "a.flm", 2}),
            s.memory.Bytes());
  EXPECT_EQ(s.memory.Bytes().size(), table.SerialisedSize());

  // Reading adds to the table present and fills the definitions in it.
  s.stream.Seek(0, SeekFrom::Start);
  ActionTable read;
  read[ActionID("play")] = ActionDefinition("old(Track=\"3\")");
  read[ActionID("other")] = ActionDefinition("x(Y=\"1\")");
  read.Load(s.stream);
  ASSERT_EQ(3u, read.size());
  EXPECT_EQ("playQT(File=\"a.flm\",Track=\"3\")", read[ActionID("play")].GetText());
  EXPECT_EQ("()", read[ActionID("Play")].GetText());
  EXPECT_EQ("x(Y=\"1\")", read[ActionID("other")].GetText());
}

TEST(ActionTable, AnEmptyTableIsItsCountAlone) {
  ActionTable table;
  EXPECT_EQ(Join({1, 15, BigEndian32(11), "ActionTable", 10, BigEndian32(0), 2}),
            Encode([&](Stream& s) { table.Save(s); }, false));
  // The subscript of an absent identifier inserts an empty definition.
  EXPECT_EQ("", table[ActionID("missing")].GetName());
  EXPECT_EQ(1u, table.size());
}

TEST(ActionDefinition, StoredAloneInItsEnvelope) {
  ActionDefinition definition("go(A=\"1\")");
  MemoryStream s;
  definition.Save(s.stream);
  EXPECT_EQ(definition.SerialisedSize(), s.memory.Bytes().size());
  s.stream.Seek(0, SeekFrom::Start);
  ActionDefinition read;
  read.Load(s.stream);
  EXPECT_EQ("go(A=\"1\")", read.GetText());
}

}  // namespace
