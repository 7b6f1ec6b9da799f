// The command texts bound to sprites in GH_ActionDB.
#include <cstring>

#include "DatabaseFixture.h"

namespace {

using Actions = DatabaseFixture;

ActionRecord Binding(int32_t kind, const char* alias, const char* sprite, const char* text = "") {
  ActionRecord r{};
  r.actionType = kind;
  std::strcpy(r.aliasRoot, alias);
  std::strcpy(r.sprite, sprite);
  std::strcpy(r.actionText, text);
  return r;
}


class ActionsWithRows : public Actions {
protected:
  void SetUp() override {
    Actions::SetUp();
    // Record order differs from ACTIONID order on purpose.
    AddRow("GH_ActionDB", {{"ACTIONID", 5}, {"ACTIONTYPE", 2}, {"ALIASROOT", 0, "SEA"}, {"SPRITE", 0, "Play"},
                           {"ACTIONTEXT", 0, "playQT(File=\"five.flm\")"}});
    AddRow("GH_ActionDB", {{"ACTIONID", 3}, {"ACTIONTYPE", 2}, {"ALIASROOT", 0, "SEA"}, {"SPRITE", 0, "Play"},
                           {"ACTIONTEXT", 0, "playQT(File=\"three.flm\")"}});
    AddRow("GH_ActionDB", {{"ACTIONID", 4}, {"ACTIONTYPE", 1}, {"ALIASROOT", 0, "SEA"}, {"SPRITE", 0, "Stop"},
                           {"ACTIONTEXT", 0, "CloseWindow"}});
    AddRow("GH_ActionDB", {{"ACTIONID", 6}, {"ACTIONTYPE", 2}, {"ALIASROOT", 0, "SEA"}, {"SPRITE", 0, "Blank"}});
    AddRow("GH_ActionDB", {{"ACTIONID", 7}, {"ACTIONTYPE", 2}, {"ALIASROOT", 0, "SEA"}, {"SPRITE", 0, "Old"},
                           {"ACTIONTEXT", 0, "launchURL(URL=\"x\")"}}, /*deleted=*/true);
  }
};

TEST_F(ActionsWithRows, FindSpriteActionTakesTheFirstExactMatchInNumberOrder) {
  auto db = Open();
  struct Case {
    const char* name;
    ActionRecord query;
    int32_t want;
    const char* text;
    int32_t id;
  } const kCases[] = {
      {"lower number wins", Binding(2, "SEA", "Play"), 0, "playQT(File=\"three.flm\")", 3},
      {"kind counts", Binding(1, "SEA", "Stop"), 0, "CloseWindow", 4},
      {"other kind", Binding(2, "SEA", "Stop"), 1, "", 0},
      {"sprite case counts", Binding(2, "SEA", "play"), 1, "", 0},
      {"alias case counts", Binding(2, "sea", "Play"), 1, "", 0},
      {"query blanks never match", Binding(2, "SEA", "Play "), 1, "", 0},
      {"found with an empty text", Binding(2, "SEA", "Blank"), 0, "", 6},
      {"deleted rows are not passed over", Binding(2, "SEA", "Old"), 0, "launchURL(URL=\"x\")", 7},
  };
  for (const Case& c : kCases) {
    ActionRecord q = c.query;
    EXPECT_EQ(c.want, db->FindSpriteAction(q)) << c.name;
    EXPECT_STREQ(c.text, q.actionText) << c.name;
    EXPECT_EQ(c.id, q.actionID) << c.name;
  }
}

TEST_F(ActionsWithRows, ActionExistsComparesAliasSpriteAndKindExactly) {
  auto db = Open();
  EXPECT_EQ(0, db->ActionExists("SEA", "Play", 2));
  EXPECT_EQ(1, db->ActionExists("SEA", "Play", 1));
  EXPECT_EQ(1, db->ActionExists("SEA", "Play ", 2));
  EXPECT_EQ(1, db->ActionExists("SEA", "PLAY", 2));
}

TEST_F(Actions, FindOnAnEmptyTableLeavesTheQueryAlone) {
  EmptyTable("GH_ActionDB");
  auto db = Open();
  ActionRecord q = Binding(2, "SEA", "Play");
  EXPECT_EQ(1, db->FindSpriteAction(q));
  EXPECT_STREQ("", q.actionText);
  EXPECT_EQ(1, db->ActionExists("", "", 0)) << "an empty table holds no binding, not even an empty one";
}

TEST_F(Actions, StoringANewBindingAppendsItUnderTheNextNumber) {
  EmptyTable("GH_ActionDB");
  auto db = Open();
  ActionRecord first = Binding(1, "Glintharbour Films", "Play", "playQT(File=\"a.flm\")");
  first.actionID = 77;  // replaced
  EXPECT_EQ(0, db->StoreActionRecord(first));
  EXPECT_EQ(1, first.actionID);
  ActionRecord second = Binding(1, "Glintharbour Films", "Stop", "CloseWindow");
  EXPECT_EQ(0, db->StoreActionRecord(second));
  EXPECT_EQ(2, second.actionID);
  db.reset();
  EXPECT_EQ((std::vector<std::string>{"ACTIONID=1 SPRITE=Play ACTIONTEXT=playQT(File=\"a.flm\")",
                                      "ACTIONID=2 SPRITE=Stop ACTIONTEXT=CloseWindow"}),
            Rows("GH_ActionDB", {"ACTIONID", "SPRITE", "ACTIONTEXT"}));
}

// A binding that exists is rewritten in its own row. The record's own
// number (from a CD file or a film) names some other row, or none, and
// must not be overwritten.
TEST_F(ActionsWithRows, StoringAKnownBindingRewritesItsOwnRow) {
  auto db = Open();
  ActionRecord again = Binding(1, "SEA", "Stop", "launchURL(URL=\"new\")");
  again.actionID = 5;  // the CD file's number: row 5 is another binding
  EXPECT_EQ(0, db->StoreActionRecord(again));
  db.reset();
  EXPECT_EQ((std::vector<std::string>{"ACTIONID=5 SPRITE=Play ACTIONTEXT=playQT(File=\"five.flm\")",
                                      "ACTIONID=3 SPRITE=Play ACTIONTEXT=playQT(File=\"three.flm\")",
                                      "ACTIONID=4 SPRITE=Stop ACTIONTEXT=launchURL(URL=\"new\")",
                                      "ACTIONID=6 SPRITE=Blank ACTIONTEXT=",
                                      "*ACTIONID=7 SPRITE=Old ACTIONTEXT=launchURL(URL=\"x\")"}),
            Rows("GH_ActionDB", {"ACTIONID", "SPRITE", "ACTIONTEXT"}));
}

TEST_F(ActionsWithRows, UpdateRewritesTheRowOfTheNumber) {
  auto db = Open();
  ActionRecord r = Binding(2, "SEA", "Blank", "playQT(File=\"six.flm\")");
  r.actionID = 6;
  EXPECT_EQ(0, db->UpdateActionRecord(r));
  r.actionID = 60;
  EXPECT_EQ(1, db->UpdateActionRecord(r));
  ActionRecord q = Binding(2, "SEA", "Blank");
  ASSERT_EQ(0, db->FindSpriteAction(q));
  EXPECT_STREQ("playQT(File=\"six.flm\")", q.actionText);
}

TEST_F(Actions, LongTextsAreCutToTheirBuffers) {
  const std::string longText(300, 'x');
  AddRow("GH_ActionDB", {{"ACTIONID", 9}, {"ACTIONTYPE", 2}, {"ALIASROOT", 0, "SEA"}, {"SPRITE", 0, "Play"},
                         {"ACTIONTEXT", 0, longText.c_str()}});
  auto db = Open();
  ActionRecord q = Binding(2, "SEA", "Play");
  ASSERT_EQ(0, db->FindSpriteAction(q));
  EXPECT_EQ(std::string(253, 'x'), BufferText(q.actionText));
}

TEST_F(Actions, NoTableStoresNothing) {
  WriteSetting("DBPath", (Folder() + "\\missing").c_str());
  auto db = Open();
  ActionRecord r = Binding(2, "SEA", "Play", "text");
  EXPECT_EQ(1, db->FindSpriteAction(r));
  EXPECT_STREQ("text", r.actionText);
  EXPECT_EQ(1, db->StoreActionRecord(r));
  EXPECT_EQ(1, db->UpdateActionRecord(r));
}

}  // namespace
