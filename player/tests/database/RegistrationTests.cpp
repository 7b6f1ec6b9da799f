// Registration of the CD under the film root: its version-3 data file or
// its version-2 description through ACCESSDB.DLL.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>
#include <tuple>

#include "CP_Win.h"
#include "DatabaseFixture.h"
#include "RegistrationCases.h"
#include "WinTestSupport.h"
#include "document/GH_Globals.h"
#include "utility/GH_Utility.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutInt32(Bytes& b, std::size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(uint32_t(v) >> (8 * i));
}

void PutText(Bytes& b, std::size_t at, std::size_t size, const std::string& text) {
  std::memcpy(b.data() + at, text.data(), std::min(size, text.size()));
}

// One item record of a version-3 data file.
struct Item {
  int32_t id;
  int32_t parent;
  int32_t type;
  std::string text;
  std::string fileName = "";
  std::string alias = "SEA_CD";
  int32_t sortOrder = 0;
};

Bytes ItemRecord(const Item& item) {
  Bytes r(552, 0);
  PutInt32(r, 0, item.id);
  PutInt32(r, 4, item.sortOrder);
  PutInt32(r, 8, item.parent);
  PutInt32(r, 12, item.type);
  PutInt32(r, 16, 1);          // parent's kind
  PutText(r, 20, 100, item.text);
  PutInt32(r, 120, 7);         // icon
  PutInt32(r, 136, 1);         // play
  PutInt32(r, 140, 3);         // local track
  PutText(r, 152, 250, "\\films");
  PutText(r, 402, 60, item.fileName);
  PutText(r, 462, 90, item.alias);
  return r;
}

Bytes ActionBytes(int32_t id, int32_t kind, const std::string& text, const std::string& alias,
                  const std::string& sprite) {
  Bytes r(496, 0);
  PutInt32(r, 0, id);
  PutInt32(r, 8, kind);
  PutText(r, 12, 254, text);
  PutText(r, 266, 30, alias);
  PutText(r, 296, 200, sprite);
  return r;
}

Bytes DataFile(const std::vector<Item>& items, const std::vector<Bytes>& actions) {
  Bytes file(552, 0);
  PutInt32(file, 0, int32_t(items.size()));
  PutInt32(file, 4, int32_t(actions.size()));
  for (const Item& item : items) {
    const Bytes r = ItemRecord(item);
    file.insert(file.end(), r.begin(), r.end());
  }
  for (const Bytes& a : actions) file.insert(file.end(), a.begin(), a.end());
  return file;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

void WriteText(const std::string& path, const std::string& text) {
  WriteFile(path, Bytes(text.begin(), text.end()));
}

class Registration : public DatabaseFixture {
protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info->name();
    std::replace(name.begin(), name.end(), '/', '_');  // a case of a table of cases
    fCD = MakeTempFolder("cd_" + name);
    FilmRoot = fCD + "\\";
    // Whatever the test drive is called: registration copies it, and the
    // alias root decides whether the CD is known.
    fLabel = GetVolumeLabel(FilmRoot);
  }
  void TearDown() override {
    RemoveTree(fCD);
    DatabaseFixture::TearDown();
  }

  // The CD's rows as "ITEM_ID PARENT_ID ITEMTEXT".
  std::vector<std::string> CDRows() {
    std::vector<std::string> rows = Rows("GH_ConfigDB", {"ITEM_ID", "PARENT_ID", "ITEMTEXT"});
    rows.erase(rows.begin(), rows.begin() + 2);  // the seed rows
    return rows;
  }

  std::string fCD;
  std::string fLabel;
};

// A CD row (the record numbered -1, which names the alias root) and its
// twelve films.
std::vector<Item> SeaCD() {
  std::vector<Item> items = {{-1, -1, 1, "Sea"}};
  for (int i = 1; i <= 12; ++i) {
    items.push_back({i + 1, 0, 4, "Film " + std::to_string(i), "f" + std::to_string(i) + ".flm"});
  }
  return items;
}

TEST_F(Registration, AVersion3CDIsRenumberedUnderItsCDRow) {
  WriteFile(fCD + "\\BinFile.GHC", DataFile(SeaCD(), {}));
  WriteFile(fCD + "\\f1.flm", Bytes(3670016, 0));
  auto db = Open();
  std::string alias;
  int32_t itemId = 0, filmCount = 0;
  ASSERT_EQ(0, db->RegisterCD(alias, itemId, filmCount));
  EXPECT_EQ("SEA_CD", alias);
  EXPECT_EQ(2, itemId) << "the seeded table's last number is 1";
  EXPECT_EQ(12, filmCount);
  db.reset();

  const std::vector<std::string> rows = CDRows();
  ASSERT_EQ(13u, rows.size());
  EXPECT_EQ("ITEM_ID=2 PARENT_ID=0 ITEMTEXT=Sea [ 12 Films ]", rows[0]);
  EXPECT_EQ("ITEM_ID=3 PARENT_ID=2 ITEMTEXT=Film 1 [ 3.50 MB]", rows[1]);
  EXPECT_EQ("ITEM_ID=4 PARENT_ID=2 ITEMTEXT=Film 2", rows[2]) << "a film whose file is missing keeps its text";
  EXPECT_EQ("ITEM_ID=14 PARENT_ID=2 ITEMTEXT=Film 12", rows[12]);
  const std::vector<std::string> labels = Rows("GH_ConfigDB", {"VOLUMENAME", "ORIGIN", "ICONRESID"});
  EXPECT_EQ("VOLUMENAME=" + fLabel + " ORIGIN= ICONRESID=7", labels[3]);
}

TEST_F(Registration, ARegisteredCDIsLeftAlone) {
  WriteFile(fCD + "\\BinFile.GHC", DataFile(SeaCD(), {}));
  auto db = Open();
  std::string alias;
  int32_t itemId = 0, filmCount = 0;
  ASSERT_EQ(0, db->RegisterCD(alias, itemId, filmCount));
  EXPECT_EQ(4, db->RegisterCD(alias, itemId, filmCount)) << "known by its alias root";
  // Known by its label: the CD row's number, alias root and film count.
  AddRow("GH_ConfigDB", {{"ITEM_ID", 60}, {"ITEMTYPE", 1}, {"ALIASROOT", 0, "SEA_CD"},
                         {"VOLUMENAME", 0, fLabel.c_str()}, {"ITEMTEXT", 0, "Sea [ 12 Films ]"}});
  alias.clear();
  itemId = filmCount = 0;
  const int32_t code = db->RegisterInsertedCD(alias, itemId, filmCount);
  if (fLabel.empty() || fLabel == "Compact Disc") {
    EXPECT_EQ(2, code) << "a drive without a label is never registered";
    EXPECT_EQ(std::make_tuple(std::string(), 0, 0), std::make_tuple(alias, itemId, filmCount));
  } else {
    EXPECT_EQ(4, code);
    EXPECT_EQ(std::make_tuple(std::string("SEA_CD"), 2, 12), std::make_tuple(alias, itemId, filmCount));
  }
  db.reset();
  EXPECT_EQ(14u, CDRows().size());
}

// Every item hangs under an item of its own CD, never under a row of the
// library that the CD's numbers happen to name.
TEST_F(Registration, EveryItemHangsUnderAnItemOfItsCD) {
  std::vector<Item> items;
  for (const kxtest::DescribedItem& d : kxtest::kTangledCD) items.push_back({d.number, d.parent, d.kind, d.text});
  WriteFile(fCD + "\\BinFile.GHC", DataFile(items, {}));
  auto db = Open();
  std::string alias;
  int32_t itemId = 0, filmCount = 0;
  ASSERT_EQ(0, db->RegisterCD(alias, itemId, filmCount));
  db.reset();
  EXPECT_EQ(kxtest::kTangledCDRows, CDRows());
}

// The two programs register at once: one registers, the other finds it done.
TEST_F(Registration, TwoRegistrationsAtOnceRegisterTheCDOnce) {
  WriteFile(fCD + "\\BinFile.GHC", DataFile(SeaCD(), {}));
  auto first = Open();
  auto second = Open();
  int32_t codes[2] = {-9, -9};
  auto registerWith = [](CDDatabase* db, int32_t* code) {
    std::string alias;
    int32_t itemId = 0, filmCount = 0;
    *code = db->RegisterCD(alias, itemId, filmCount);
  };
  std::thread a(registerWith, first.get(), &codes[0]);
  std::thread b(registerWith, second.get(), &codes[1]);
  a.join();
  b.join();
  EXPECT_EQ(4, codes[0] + codes[1]) << codes[0] << " and " << codes[1] << ": one registers, one finds it done";
  first.reset();
  second.reset();
  EXPECT_EQ(13u, CDRows().size());
}

// A registration that fails part way takes out every row it appended, says
// so once, and the next insertion registers the whole CD.
using kxtest::RegistrationFailure;
using kxtest::RegistrationFault;

class FailedRegistration : public Registration, public ::testing::WithParamInterface<RegistrationFailure> {
protected:
  void Break() {
    switch (GetParam().fault) {
      case RegistrationFault::ItemNumbersRunOut: return AddRow("GH_ConfigDB", {{"ITEM_ID", 2147483645}});
      case RegistrationFault::ActionNumbersRunOut: return AddRow("GH_ActionDB", {{"ACTIONID", 2147483646}});
      case RegistrationFault::ReadOnlyItemTable: SetReadOnly(true);
    }
  }
  void Mend() {
    switch (GetParam().fault) {
      case RegistrationFault::ItemNumbersRunOut: return RemoveRows("GH_ConfigDB", "ITEM_ID", 2147483645);
      case RegistrationFault::ActionNumbersRunOut: return RemoveRows("GH_ActionDB", "ACTIONID", 2147483646);
      case RegistrationFault::ReadOnlyItemTable: SetReadOnly(false);
    }
  }
  void SetReadOnly(bool on) {
    const std::string file = TablePath("GH_ConfigDB") + ".dbf";
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL));
  }
  static std::string Text(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) text += row + "\n";
    return text;
  }
};

TEST_P(FailedRegistration, LeavesNoRowTellsOnceAndRegistersWholeNextTime) {
  const RegistrationFailure& c = GetParam();
  const std::vector<Bytes> actions = {ActionBytes(1, 2, "playQT(File=\"f1.flm\")", "SEA_CD", "Play"),
                                      ActionBytes(2, 2, "CloseWindow", "SEA_CD", "Stop")};
  WriteFile(fCD + "\\BinFile.GHC", DataFile(SeaCD(), actions));
  Break();
  const std::string items = Text(Rows("GH_ConfigDB", {"ITEM_ID", "ITEMTEXT"}));
  const std::string bindings = Text(Rows("GH_ActionDB", {"ACTIONID", "SPRITE"}));
  std::string alias;
  int32_t itemId = 0, filmCount = 0;
  {
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    auto db = Open();
    EXPECT_EQ(1, db->RegisterCD(alias, itemId, filmCount));
    db.reset();
    EXPECT_EQ(1, boxes.Count()) << "the database says nothing more as it closes";
    const std::string told = boxes.LastText();
    EXPECT_NE(std::string::npos, told.find(std::string(c.table) + ".dbf")) << told;
    EXPECT_NE(std::string::npos, told.find(kxtest::kToldRegisteredAgain)) << told;
  }
  EXPECT_EQ(items, Text(Rows("GH_ConfigDB", {"ITEM_ID", "ITEMTEXT"}))) << "no row of the CD is left";
  EXPECT_EQ(bindings, Text(Rows("GH_ActionDB", {"ACTIONID", "SPRITE"})));

  Mend();
  auto db = Open();
  EXPECT_EQ(0, db->RegisterCD(alias, itemId, filmCount));
  db.reset();
  EXPECT_EQ(13u, CDRows().size());
  const std::vector<std::string> stored = Rows("GH_ActionDB", {"SPRITE"});
  EXPECT_EQ((std::vector<std::string>{"SPRITE=Play", "SPRITE=Stop"}), stored);
}

INSTANTIATE_TEST_SUITE_P(Registration, FailedRegistration, ::testing::ValuesIn(kxtest::kRegistrationFailures),
                         [](const ::testing::TestParamInfo<RegistrationFailure>& info) { return info.param.name; });

TEST_F(Registration, ActionRecordsAreStoredEvenWhenTheCDIsKnown) {
  const std::vector<Bytes> actions = {ActionBytes(1, 2, "playQT(File=\"f1.flm\")", "SEA_CD", "Play"),
                                      ActionBytes(2, 2, "CloseWindow", "SEA_CD", "Stop")};
  WriteFile(fCD + "\\BinFile.GHC", DataFile(SeaCD(), actions));
  AddRow("GH_ConfigDB", {{"ITEM_ID", 50}, {"ITEMTYPE", 1}, {"ALIASROOT", 0, "SEA_CD"}, {"VOLUMENAME", 0, "OTHER"}});
  auto db = Open();
  std::string alias;
  int32_t itemId = 0, filmCount = 0;
  EXPECT_EQ(4, db->RegisterCD(alias, itemId, filmCount));
  ActionRecord q{};
  q.actionType = 2;
  std::strcpy(q.aliasRoot, "SEA_CD");
  std::strcpy(q.sprite, "Stop");
  ASSERT_EQ(0, db->FindSpriteAction(q));
  EXPECT_STREQ("CloseWindow", q.actionText);
}

TEST_F(Registration, DataFilesThatGiveNoAliasRegisterNothing) {
  struct Case {
    const char* name;
    Bytes file;  // empty: no data file at all
  } const kCases[] = {
      {"no data file", {}},
      {"header cut short", Bytes(100, 0)},
      {"no alias record", DataFile({{1, 0, 1, "Sea"}}, {})},
      {"counts beyond the file", [] {
         Bytes f = DataFile({{-1, -1, 1, "Sea"}}, {});
         PutInt32(f, 0, 0x7FFFFFFF);
         PutInt32(f, 4, 0x7FFFFFFF);
         f.resize(f.size() - 1);  // the only item record is cut
         return f;
       }()},
  };
  for (const Case& c : kCases) {
    DeleteFileA((fCD + "\\BinFile.GHC").c_str());
    if (!c.file.empty()) WriteFile(fCD + "\\BinFile.GHC", c.file);
    auto db = Open();
    std::string alias = "x";
    int32_t itemId = 0, filmCount = 0;
    EXPECT_EQ(2, db->RegisterCD(alias, itemId, filmCount)) << c.name;
    EXPECT_EQ("", alias) << c.name;
    db.reset();
    EXPECT_TRUE(CDRows().empty()) << c.name;
  }
}

// This build's ACCESSDB.DLL in the Windows folder, where the registration
// loads it, for as long as the object lives; a copy left there by an
// earlier build is replaced.
class InstalledAccessDB {
public:
  InstalledAccessDB() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    fInstalled = std::string(windows) + "\\ACCESSDB.DLL";
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string built = self;
    built = built.substr(0, built.find_last_of('\\')) + "\\ACCESSDB.DLL";
    const bool there = GetFileAttributesA(fInstalled.c_str()) != INVALID_FILE_ATTRIBUTES;
    fCopied = CopyFileA(built.c_str(), fInstalled.c_str(), FALSE) != 0 && !there;
  }
  ~InstalledAccessDB() {
    if (fCopied) DeleteFileA(fInstalled.c_str());
  }
  InstalledAccessDB(const InstalledAccessDB&) = delete;
  InstalledAccessDB& operator=(const InstalledAccessDB&) = delete;

private:
  std::string fInstalled;
  bool fCopied = false;
};

TEST_F(Registration, AVersion2CDIsImportedThroughAccessDB) {
  InstalledAccessDB accessDB;
  WriteText(fCD + "\\GHICD.esk",
            "GHICD 2\n"
            "ALIAS\tOLD_CD\n"
            "ITEM\t1\t0\t0\t1\t0\tOld disc\t5\t1\t1\t10\t1\t3\t3\t0\t\\\tdisc\tX\tY\tZ\n"
            "ITEM\t2\t1\t1\t4\t1\tOld film\t5\t1\t1\t10\t1\t3\t3\t0\t\\films\told.flm\tX\tY\tZ\n");
  auto db = Open();
  std::string alias;
  int32_t itemId = 0, filmCount = 0;
  EXPECT_EQ(0, db->RegisterCD(alias, itemId, filmCount));
  EXPECT_EQ("OLD_CD", alias);
  EXPECT_EQ(1, filmCount);
  db.reset();
  EXPECT_EQ((std::vector<std::string>{"ITEM_ID=2 PARENT_ID=0 ITEMTEXT=Old disc [ 1 Films ]",
                                      "ITEM_ID=3 PARENT_ID=2 ITEMTEXT=Old film"}),
            CDRows());
  const std::vector<std::string> rows = Rows("GH_ConfigDB", {"ALIASROOT", "VOLUMENAME", "ORIGIN", "ICONRESID"});
  EXPECT_EQ("ALIASROOT=OLD_CD VOLUMENAME=" + fLabel + " ORIGIN= ICONRESID=2", rows[3]);
}

// A description that cannot be read, or that lists more items than are
// registered, is told once; a CD left unregistered keeps none of the
// actions of its version-3 file.
TEST_F(Registration, AVersion2DescriptionCutShortOrUnreadableIsToldOnce) {
  InstalledAccessDB accessDB;
  WriteFile(fCD + "\\BinFile.GHC", DataFile(SeaCD(), {ActionBytes(1, 2, "CloseWindow", "SEA_CD", "Stop")}));
  for (const kxtest::DescriptionProblem& c : kxtest::DescriptionProblems()) {
    WriteText(fCD + "\\GHICD.esk", c.description);
    const std::size_t before = CDRows().size();
    const std::vector<std::string> actions = Rows("GH_ActionDB", {"ACTIONID"});
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    auto db = Open();
    std::string alias;
    int32_t itemId = 0, filmCount = 0;
    EXPECT_EQ(c.code, db->RegisterCD(alias, itemId, filmCount)) << c.name;
    EXPECT_EQ(1, boxes.Count()) << c.name;
    EXPECT_NE(std::string::npos, boxes.LastText().find(c.told)) << c.name << ": " << boxes.LastText();
    db.reset();
    EXPECT_EQ(before + c.rows, CDRows().size()) << c.name;
    if (c.code != 0) {
      EXPECT_EQ(actions, Rows("GH_ActionDB", {"ACTIONID"})) << c.name;
    }
  }
}

TEST_F(Registration, AVersion2CDWithoutAccessDBIsRefusedWithAMessage) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  // ctest runs the case in a prefix without the library.
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((std::string(windows) + "\\ACCESSDB.DLL").c_str()))
      << "ACCESSDB.DLL is installed in this Windows folder";
  WriteText(fCD + "\\GHICD.esk", "GHICD 2\nALIAS\tOLD_CD\n");
  WriteFile(fCD + "\\BinFile.GHC", DataFile(SeaCD(), {}));  // a version-2 description wins
  kxtest::MessageBoxWatcher boxes("DB Import", IDOK);
  auto db = Open();
  std::string alias;
  int32_t itemId = 0, filmCount = 0;
  EXPECT_EQ(2, db->RegisterCD(alias, itemId, filmCount));
  ASSERT_TRUE(boxes.WaitFor(1));
  EXPECT_EQ("This version of the software does not support backwards compatibility", boxes.LastText());
  db.reset();
  EXPECT_TRUE(CDRows().empty());
}

}  // namespace
