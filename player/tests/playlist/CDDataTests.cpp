// The CD data file "BINFILE.GHC": header counts, the three kinds of fixed
// records, and what a short or missing file leaves.
#include "panes/GH_CDData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void PutI32(Bytes& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(uint32_t(v) >> (8 * i));
}

void PutText(Bytes& b, size_t at, const std::string& text) { std::memcpy(b.data() + at, text.data(), text.size()); }

Bytes Header(int32_t items, int32_t actions, int32_t thirds) {
  Bytes b(552, 0);
  PutI32(b, 0, items);
  PutI32(b, 4, actions);
  PutI32(b, 8, thirds);
  b[551] = 0xAB;  // the rest of the header is kept as read
  return b;
}

// One item record, its fields at their offsets.
Bytes Item(int32_t id, int32_t type, const std::string& fileName, const std::string& alias = "ALIAS") {
  Bytes b(552, 0);
  PutI32(b, 0, id);
  PutI32(b, 4, 7);     // sort order
  PutI32(b, 8, 1);     // parent id
  PutI32(b, 12, type);
  PutI32(b, 16, 1);    // parent type: on the CD
  PutText(b, 20, "Title " + std::to_string(id));
  PutI32(b, 120, 0x00050003);  // icon: only the low 16 bits count
  PutI32(b, 124, 3);   // loop
  PutI32(b, 128, 1);   // rate
  PutI32(b, 132, 99);  // not read
  PutI32(b, 136, 1);   // play
  PutI32(b, 140, 2);   // local track
  PutI32(b, 144, 3);   // global track
  PutI32(b, 148, 4);   // background track
  PutText(b, 152, "films");
  PutText(b, 402, fileName);
  PutText(b, 462, alias);
  PutText(b, 492, "VOLUME");
  PutText(b, 522, "ORIGIN");
  return b;
}

Bytes Action(int32_t type, const std::string& text, const std::string& name) {
  Bytes b(496, 0);
  PutI32(b, 8, type);
  PutText(b, 12, text);
  PutText(b, 266, "ALIAS");
  PutText(b, 296, name);
  return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

}  // namespace

TEST(CDDataFile, ReadsFilmItemsActionsAndThirds) {
  const Bytes file = Join({Header(3, 2, 1), Item(1, 1, "cd"), Item(2, 4, "one.flm"), Item(3, 4, "two.flm", "OTHER"),
                           Action(2, "launchURL(URL=\"x\")", "Web"), Action(1, "CloseWindow", "Close"),
                           Bytes(76, 0x5A)});
  GH_CDData data;
  std::string rootAlias;
  data.Parse(file.data(), file.size(), rootAlias);
  EXPECT_EQ("ALIAS", rootAlias);  // the item numbered 1, though it is no film
  EXPECT_EQ(0xAB, data.GetHeader()[551]);
  ASSERT_EQ(2u, data.GetFilmItems().size());
  const PlaylistEntry& item = data.GetFilmItems()[0];
  EXPECT_EQ(2, item.itemId);
  EXPECT_EQ(7, item.sortOrder);
  EXPECT_EQ(1, item.parentId);
  EXPECT_EQ(4, item.itemType);
  EXPECT_EQ(1, item.parentType);
  EXPECT_EQ("Title 2", item.itemText);
  EXPECT_EQ(3, item.iconResId);
  EXPECT_EQ(3, item.loop);
  EXPECT_EQ(1, item.rate);
  EXPECT_EQ(1, item.play);
  EXPECT_EQ(2, item.tkLocal);
  EXPECT_EQ(3, item.tkGlobal);
  EXPECT_EQ(4, item.tkBkg);
  EXPECT_EQ("films", item.filePath);
  EXPECT_EQ("one.flm", item.fileName);
  EXPECT_EQ("ALIAS", item.aliasRoot);
  EXPECT_EQ("VOLUME", item.volumeName);
  EXPECT_EQ("ORIGIN", item.origin);
  EXPECT_EQ("OTHER", data.GetFilmItems()[1].aliasRoot);
  ASSERT_EQ(2u, data.GetActions().size());
  EXPECT_EQ(2, data.GetActions()[0].GetType());
  EXPECT_EQ("launchURL(URL=\"x\")", data.GetActions()[0].GetCommandText());
  EXPECT_EQ("Web", data.GetActions()[0].GetActionName());
  EXPECT_EQ("ALIAS", data.GetActions()[0].GetAliasRoot());
  ASSERT_EQ(1u, data.GetThirds().size());
  EXPECT_EQ(0x5A, data.GetThirds()[0][75]);
}

TEST(CDDataFile, CountsBoundTheRecordsAndShortFilesStopEarly) {
  struct Case {
    const char* name;
    Bytes file;
    size_t films, actions, thirds;
  };
  Bytes cutAction = Join({Header(1, 2, 0), Item(2, 4, "a.flm"), Action(2, "x()", "A")});
  cutAction.resize(cutAction.size() + 100, 1);  // a second action cut short
  const Case kCases[] = {
      {"no items: straight to the actions", Join({Header(0, 1, 0), Action(2, "a()", "A")}), 0, 1, 0},
      {"items that are no films are read and dropped", Join({Header(2, 1, 0), Item(5, 1, "x"), Item(6, 2, "y"),
                                                              Action(2, "a()", "A")}),
       0, 1, 0},
      {"more items announced than present", Join({Header(5, 1, 1), Item(2, 4, "a.flm"), Item(3, 4, "b.flm")}), 2, 0, 0},
      {"a huge count", Join({Header(0x7FFFFFFF, 0x7FFFFFFF, 0), Item(2, 4, "a.flm")}), 1, 0, 0},
      {"negative counts", Join({Header(-1, -1, -1), Item(2, 4, "a.flm")}), 0, 0, 0},
      {"an action cut short", cutAction, 1, 1, 0},
      {"a header cut short", Bytes(100, 0), 0, 0, 0},
  };
  for (const Case& c : kCases) {
    GH_CDData data;
    std::string alias = "kept";
    data.Parse(c.file.data(), c.file.size(), alias);
    EXPECT_EQ(c.films, data.GetFilmItems().size()) << c.name;
    EXPECT_EQ(c.actions, data.GetActions().size()) << c.name;
    EXPECT_EQ(c.thirds, data.GetThirds().size()) << c.name;
    EXPECT_EQ("kept", alias) << c.name;  // no item numbered 1
  }
}

TEST(CDDataFile, TextsFilledToTheBrimStayInsideTheirFields) {
  Bytes item = Item(2, 4, "");
  std::memset(item.data() + 402, 'n', 60);   // file name without its end
  std::memset(item.data() + 462, 'r', 30);   // alias root too, running into the volume name
  Bytes action = Action(2, "", "");
  std::memset(action.data() + 12, 'c', 254);
  std::memset(action.data() + 296, 'a', 200);
  const Bytes file = Join({Header(1, 1, 0), item, action});
  GH_CDData data;
  std::string alias;
  data.Parse(file.data(), file.size(), alias);
  ASSERT_EQ(1u, data.GetFilmItems().size());
  EXPECT_EQ(std::string(60, 'n'), data.GetFilmItems()[0].fileName);
  EXPECT_EQ(std::string(30, 'r'), data.GetFilmItems()[0].aliasRoot);
  EXPECT_EQ("VOLUME", data.GetFilmItems()[0].volumeName);
  ASSERT_EQ(1u, data.GetActions().size());
  EXPECT_EQ(std::string(254, 'c'), data.GetActions()[0].GetCommandText());
  EXPECT_EQ(std::string(200, 'a'), data.GetActions()[0].GetActionName());
}

TEST(CDDataFile, LoadsFromDiskAndKeepsItsContentsWhenTheFileIsMissing) {
  const std::string path = "cddata_test_binfile.ghc";
  const Bytes file = Join({Header(2, 0, 0), Item(1, 4, "root.flm", "ROOTALIAS"), Item(2, 4, "b.flm")});
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, out);
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);
  GH_CDData data;
  std::string alias;
  EXPECT_EQ(0, data.Load(path, alias));
  EXPECT_EQ("ROOTALIAS", alias);
  EXPECT_EQ(2u, data.GetFilmItems().size());
  std::remove(path.c_str());
  alias = "before";
  EXPECT_EQ(3, data.Load(path, alias));
  EXPECT_EQ("before", alias);
  EXPECT_EQ(2u, data.GetFilmItems().size());
}
