// The engine's entries as the programs call them, on a seeded CD database.
// In the Windows build they go through C4DLL.DLL, imported by ordinal.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "C4Dll.h"
#include "Database.h"
#include "TempDir.h"

namespace {

class ApiTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_EQ(xbase::Code::Ok, kxdb::SeedDatabase(dir_.Path(), why)) << why;
    ASSERT_EQ(C4_OK, C4Init(&engine_, nullptr, C4_VERSION, 0, 0));
    // The two option words the programs set after initialising.
    engine_.autoOpen = 1;
    engine_.errorReport = 0;
    C4InitDone(&engine_);
  }
  void TearDown() override {
    if (engine_.state) {
      EXPECT_EQ(C4_OK, C4Release(&engine_));
    }
  }

  // Opens a table and selects its tag, as the programs do.
  C4Table* Open(const std::string& table, const char* tag) {
    C4Table* t = C4Open(&engine_, kxdb::TablePath(dir_.Path(), table).c_str());
    EXPECT_NE(nullptr, t) << table;
    if (t && tag) {
      C4Tag* g = C4FindTag(t, tag);
      EXPECT_NE(nullptr, g) << tag;
      EXPECT_EQ(C4_OK, C4SelectTag(t, g));
    }
    return t;
  }

  static std::string Trimmed(const char* text) {
    std::string s = text;
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }

  // AppendItem's steps: start, store, append numbered, flush.
  static int32_t AppendItem(C4Table* t, const char* text, const char* alias) {
    EXPECT_EQ(C4_OK, C4AppendStart(t, 1));
    C4SetNumber(C4FindField(t, "ITEMTYPE"), 4);
    C4SetText(C4FindField(t, "ITEMTEXT"), text);
    C4SetText(C4FindField(t, "ALIASROOT"), alias);
    C4SetMemo(C4FindField(t, "FILEPATH"), "films");
    EXPECT_EQ(C4_OK, C4AppendNumbered(t, C4FindField(t, "ITEM_ID")));
    const int32_t id = C4GetNumber(C4FindField(t, "ITEM_ID"));
    EXPECT_EQ(C4_OK, C4Flush(t));
    return id;
  }

  TempDir dir_;
  C4Engine engine_;
};

TEST_F(ApiTest, SeededTablesHoldTheRowsTheProgramsNeed) {
  C4Table* config = Open("GH_ConfigDB", "ITEMID");
  C4Field* id = C4FindField(config, "ITEM_ID");
  C4Field* type = C4FindField(config, "ITEMTYPE");
  C4Field* text = C4FindField(config, "ITEMTEXT");
  C4Field* alias = C4FindField(config, "AliasRoot");
  ASSERT_TRUE(id && type && text && alias);
  ASSERT_EQ(C4_OK, C4First(config));
  EXPECT_EQ(-1001, C4GetNumber(id));
  EXPECT_EQ(5, C4GetNumber(type));
  EXPECT_EQ("Wastebasket", Trimmed(C4GetText(text)));
  EXPECT_EQ("Wastebasket", Trimmed(C4GetText(alias)));
  ASSERT_EQ(C4_OK, C4Skip(config, 1));
  EXPECT_EQ(1, C4GetNumber(id));
  EXPECT_EQ(2, C4GetNumber(type));
  EXPECT_EQ("Glintharbour Films", Trimmed(C4GetMemo(alias)));
  EXPECT_EQ(C4_EOF, C4Skip(config, 1));
  EXPECT_NE(0, C4AtEnd(config));

  C4Table* drives = Open("GH_DriveDB", "ALIASROOT");
  ASSERT_EQ(C4_OK, C4Seek(drives, "Glintharbour Films"));
  EXPECT_EQ("Glintharbour Films", Trimmed(C4GetText(C4FindField(drives, "DRIVENAME"))));
  EXPECT_EQ("", Trimmed(C4GetText(C4FindField(drives, "PATH"))));
  EXPECT_EQ(1, C4Count(drives));

  for (auto [table, tag] : {std::pair{"GH_ActionDB", "ACTIONIDX"}, {"GH_Track", "TRIDX"},
                            {"GH_FunctionDB", "FIDX"}, {"GH_ParameterDB", "PIDX"}}) {
    C4Table* t = Open(table, tag);
    EXPECT_EQ(0, C4Count(t)) << table;
    EXPECT_EQ(C4_EOF, C4First(t)) << table;
  }
  EXPECT_EQ(nullptr, C4FindField(config, "NOSUCH")) << "a missing field is none, for the caller to skip";
}

TEST_F(ApiTest, FieldWidthsHoldWhatTheProgramsStore) {
  C4Table* actions = Open("GH_ActionDB", "ACTIONIDX");
  ASSERT_EQ(C4_OK, C4AppendStart(actions, 1));
  std::string longText(300, 'x');
  C4SetText(C4FindField(actions, "ACTIONTEXT"), longText.c_str());
  C4SetText(C4FindField(actions, "ALIASROOT"), longText.c_str());
  C4SetText(C4FindField(actions, "SPRITE"), longText.c_str());
  ASSERT_EQ(C4_OK, C4Append(actions));
  EXPECT_EQ(253u, std::string(C4GetText(C4FindField(actions, "ACTIONTEXT"))).size());
  EXPECT_EQ(29u, std::string(C4GetText(C4FindField(actions, "ALIASROOT"))).size());
  EXPECT_EQ(199u, std::string(C4GetText(C4FindField(actions, "SPRITE"))).size());

  C4Table* track = Open("GH_Track", "TRIDX");
  ASSERT_EQ(C4_OK, C4AppendStart(track, 1));
  C4SetText(C4FindField(track, "REC_SAVED"), "N");
  ASSERT_EQ(C4_OK, C4Append(track));
  EXPECT_EQ(51u, std::string(C4GetText(C4FindField(track, "EM_TEXT"))).size());
  EXPECT_EQ("N  ", std::string(C4GetText(C4FindField(track, "REC_SAVED"))));

  // Item texts of 499 characters come back whole.
  C4Table* config = Open("GH_ConfigDB", "ITEMID");
  std::string text(499, 't');
  int32_t id = AppendItem(config, text.c_str(), "CD");
  ASSERT_EQ(C4_OK, C4Seek(config, std::to_string(id).c_str()));
  EXPECT_EQ(text, Trimmed(C4GetText(C4FindField(config, "ITEMTEXT"))));
}

TEST_F(ApiTest, AppendsAreNumberedAfterTheHighestItem) {
  C4Table* config = Open("GH_ConfigDB", "ITEMID");
  EXPECT_EQ(2, AppendItem(config, "Film A", "CD"));
  EXPECT_EQ(3, AppendItem(config, "Film B", "CD"));
  ASSERT_EQ(C4_OK, C4Seek(config, "2"));
  EXPECT_EQ("Film A", Trimmed(C4GetText(C4FindField(config, "ITEMTEXT"))));
  EXPECT_EQ("films", std::string(C4GetMemo(C4FindField(config, "FILEPATH"))));
  EXPECT_EQ(4, C4Count(config));

  // Empty tables give their first rows number 1.
  for (auto [table, tag, field] : {std::tuple{"GH_Track", "TRIDX", "TRACKING_I"},
                                   {"GH_ActionDB", "ACTIONIDX", "ACTIONID"}}) {
    C4Table* t = Open(table, tag);
    C4Field* number = C4FindField(t, field);
    for (int32_t want : {1, 2}) {
      ASSERT_EQ(C4_OK, C4AppendStart(t, 1));
      ASSERT_EQ(C4_OK, C4AppendNumbered(t, number)) << table;
      EXPECT_EQ(want, C4GetNumber(number)) << table;
    }
  }
  // A field is numbered only on its own table.
  C4Table* track = Open("GH_Track", "TRIDX");
  ASSERT_EQ(C4_OK, C4AppendStart(config, 1));
  EXPECT_EQ(C4_BAD_ARGUMENT, C4AppendNumbered(config, C4FindField(track, "TRACKING_I")));
  EXPECT_EQ(C4_BAD_ARGUMENT, C4AppendNumbered(config, nullptr));
  EXPECT_EQ(4, C4Count(config));
}

TEST_F(ApiTest, DeletingACdTouchesOnlyItsAliasRoot) {
  // The CD deletion's walk: seek on ALIASROOT, mark, seek next; then pack.
  C4Table* config = Open("GH_ConfigDB", "ITEMID");
  for (const char* alias : {"ABC", "ABCD", "ABC", "abc", "ABC"}) AppendItem(config, "film", alias);
  C4Tag* byAlias = C4FindTag(config, "ALIASROOT");
  ASSERT_EQ(C4_OK, C4SelectTag(config, byAlias));
  int marked = 0;
  for (int c = C4Seek(config, "ABC"); c == C4_OK && !C4AtEnd(config); c = C4SeekNext(config, "ABC")) {
    EXPECT_EQ("ABC", Trimmed(C4GetText(C4FindField(config, "ALIASROOT"))));
    EXPECT_EQ(C4_OK, C4MarkDeleted(config));
    ++marked;
  }
  EXPECT_EQ(3, marked);
  ASSERT_EQ(C4_OK, C4SelectTag(config, C4FindTag(config, "ITEMID")));

  // Walks see the marked rows until the pack.
  int deleted = 0, rows = 0;
  for (int c = C4First(config); c == C4_OK; c = C4Skip(config, 1)) {
    ++rows;
    if (C4IsDeleted(config)) ++deleted;
  }
  EXPECT_EQ(7, rows);
  EXPECT_EQ(3, deleted);
  EXPECT_EQ(C4_OK, C4Pack(config));
  EXPECT_EQ(C4_OK, C4CompactMemo(config));
  EXPECT_EQ(4, C4Count(config));
  ASSERT_EQ(C4_OK, C4SelectTag(config, byAlias));
  EXPECT_EQ(C4_NOT_FOUND, C4Seek(config, "ABC"));
  EXPECT_EQ(C4_OK, C4Seek(config, "ABCD"));
  EXPECT_EQ(C4_OK, C4Seek(config, "abc"));
}

TEST_F(ApiTest, ReleaseClosesTablesAndWritesTheirChanges) {
  C4Table* drives = Open("GH_DriveDB", "ALIASROOT");
  ASSERT_EQ(C4_OK, C4Seek(drives, "Glintharbour Films"));
  ASSERT_EQ(C4_OK, C4SetText(C4FindField(drives, "PATH"), "C:\\Films"));
  ASSERT_EQ(C4_OK, C4Release(&engine_));

  ASSERT_EQ(C4_OK, C4Init(&engine_, nullptr, C4_VERSION, 0, 0));
  drives = Open("GH_DriveDB", "ALIASROOT");
  ASSERT_EQ(C4_OK, C4Seek(drives, "Glintharbour Films"));
  EXPECT_EQ("C:\\Films", Trimmed(C4GetText(C4FindField(drives, "PATH"))));
  EXPECT_EQ(C4_OK, C4Close(drives));
}

TEST_F(ApiTest, BadHandlesAndVersionsAreRefused) {
  EXPECT_EQ(C4_BAD_ARGUMENT, C4First(nullptr));
  EXPECT_EQ(C4_BAD_ARGUMENT, C4Skip(nullptr, 1));
  EXPECT_EQ(C4_BAD_ARGUMENT, C4Seek(nullptr, "1"));
  EXPECT_NE(0, C4AtEnd(nullptr));
  EXPECT_EQ(0, C4GetNumber(nullptr));
  EXPECT_STREQ("", C4GetText(nullptr));
  EXPECT_STREQ("", C4GetMemo(nullptr));
  EXPECT_EQ(C4_BAD_ARGUMENT, C4SetText(nullptr, "x"));
  EXPECT_EQ(nullptr, C4Open(&engine_, kxdb::TablePath(dir_.Path(), "NoSuchTable").c_str()));
  EXPECT_EQ(nullptr, C4Open(nullptr, "x"));

  C4Table* config = Open("GH_ConfigDB", nullptr);
  C4Table* drives = Open("GH_DriveDB", nullptr);
  EXPECT_EQ(C4_BAD_ARGUMENT, C4SelectTag(config, C4FindTag(drives, "ALIASROOT"))) << "another table's tag";
  EXPECT_EQ(C4_BAD_ARGUMENT, C4Seek(config, "1")) << "no tag selected";
  EXPECT_EQ(C4_BAD_ARGUMENT, C4SetText(C4FindField(config, "ITEMTEXT"), nullptr));

  C4Engine other;
  EXPECT_EQ(C4_BAD_VERSION, C4Init(&other, nullptr, 6400, 0, 0));
  EXPECT_EQ(nullptr, C4Open(&other, kxdb::TablePath(dir_.Path(), "GH_ConfigDB").c_str()));
  EXPECT_EQ(C4_BAD_ARGUMENT, C4Release(&other));
}

TEST_F(ApiTest, TablesOnAMissingFolderDoNotOpen) {
  // The programs' default DBPath "C:" may name nothing useful: no table, no crash.
  EXPECT_EQ(nullptr, C4Open(&engine_, kxdb::TablePath(dir_.File("missing"), "GH_ConfigDB").c_str()));
}

}  // namespace
