// Registering a film CD from its version-3 data file or, through
// ACCESSDB.DLL, from its version-2 description.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "CDDatabase.h"
#include "CDDataFile.h"
#include "CDRegistration.h"
#include "DatabaseTestSupport.h"
#include "GH_Globals.h"
#include "GH_MainWindow.h"
#include "RegistrationCases.h"
#include "WinTestSupport.h"

namespace {

using namespace dbtest;
using namespace cdimport;
using namespace cdfile;

// ---- the record readers ----------------------------------------------------

TEST(RegistrationRecords, ImportBufferCountIsHeldToItsHundredRecords) {
  Bytes buffer(kV2BufferSize, 0);
  for (auto [stored, used] : {std::pair<int32_t, int32_t>{3, 3}, {100, 100}, {101, 100}, {70000, 100}, {-5, 0}}) {
    PutI32(buffer, 0, stored);
    EXPECT_EQ(used, Version2RecordCount(buffer.data())) << stored;
  }
  // An alias root that fills its field reads no further.
  std::memset(buffer.data() + kV2AliasOffset, 'a', kV2AliasSize + 50);
  EXPECT_EQ(std::string(kV2AliasSize, 'a'), Version2AliasRoot(buffer.data()));
}

TEST(RegistrationRecords, Version3TextsStopAtTheirFields) {
  Bytes record(kV3ItemSize, 'z');
  PutI32(record, 0, -1);
  bool isAlias = false;
  PlaylistEntry e = ConvertVersion3Record(record.data(), "VOL", isAlias);
  EXPECT_TRUE(isAlias);
  EXPECT_EQ(std::string(100, 'z'), e.ITEMTEXT);
  EXPECT_EQ(std::string(250, 'z'), e.FILEPATH);
  EXPECT_EQ(std::string(60, 'z'), e.FileName);
  EXPECT_EQ(std::string(90, 'z'), e.AliasRoot);
  EXPECT_EQ("VOL", e.VOLUMENAME);
  EXPECT_EQ(kV3HeaderSize, 552u);
  EXPECT_EQ(0, ReadVersion3Header(Header(3, 4).data(), kV3HeaderSize - 1).items) << "a header cut short";
}

// ---- registering -----------------------------------------------------------

class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fDrive.Ready());
    fSavedDrive = cdDriveRoot;
    cdDriveRoot = fDrive.Root();
    fVolume = GetVolumeName(cdDriveRoot);
    ASSERT_EQ("OCEAN", fVolume);
  }
  void TearDown() override { cdDriveRoot = fSavedDrive; }

  void WriteOnCD(const std::string& name, const Bytes& bytes) {
    WriteFile(cdDriveRoot + name, std::string(bytes.begin(), bytes.end()));
  }
  PlaylistEntries Items() {
    PlaylistEntries items;
    EXPECT_EQ(0, fDb.LoadItems(items));
    return items;
  }
  // The rows after the shipped ones as "ITEM_ID PARENT_ID ITEMTEXT".
  std::vector<std::string> CDRows() {
    std::vector<std::string> rows;
    for (const PlaylistEntry& e : Items()) {
      if (e.ITEM_ID == kWastebasketId || e.ITEM_ID == 1) continue;
      rows.push_back("ITEM_ID=" + std::to_string(e.ITEM_ID) + " PARENT_ID=" + std::to_string(e.PARENT_ID) +
                     " ITEMTEXT=" + e.ITEMTEXT);
    }
    return rows;
  }

  TableFolder fFolder{Seed::Installation};
  CDDatabase fDb{"Config Tool"};
  TestCDDrive fDrive{"OCEAN"};
  std::string fSavedDrive;
  std::string fVolume;
};

// The file announces three items and two actions but ends inside the
// second action: the whole records are used.
Bytes OceanCD() {
  return Cat({Header(3, 2), Item(-1, -1, kItemCD, "Ocean", "", "Ocean CD"),
              Item(2, 0, kItemFilm, "Sea", "sea.flm", "Ocean CD"), Item(3, 2, kItemFilm, "Moon", "moon.flm", "Ocean CD"),
              ActionBytes(9, "playQT(File=\"sea.flm\")", "Ocean CD", "seaButton"),
              Bytes(100, 'x')});
}

TEST_F(Registration, AVersion3CDIsNumberedAfterTheLastItemAndRegisteredOnce) {
  WriteOnCD("BinFile.GHC", OceanCD());
  WriteOnCD("sea.flm", Bytes(1572864, 0));

  std::string alias;
  int32_t cdItemId = -7, filmCount = -7;
  ASSERT_EQ(0, fDb.RegisterCD(alias, cdItemId, filmCount));
  EXPECT_EQ("Ocean CD", alias);
  EXPECT_EQ(2, cdItemId) << "after the shipped rows -1001 and 1";
  EXPECT_EQ(2, filmCount) << "item records less one";

  const PlaylistEntries items = Items();
  ASSERT_EQ(5u, items.size());
  const PlaylistEntry& cd = items[2];
  const PlaylistEntry& sea = items[3];
  const PlaylistEntry& moon = items[4];
  EXPECT_EQ("Ocean [ 2 Films ]", cd.ITEMTEXT);
  EXPECT_EQ(0, cd.PARENT_ID);
  EXPECT_EQ("Sea [ 1.50 MB]", sea.ITEMTEXT);
  EXPECT_EQ(2, sea.PARENT_ID) << "parent 0 hangs under the first record";
  EXPECT_EQ("Moon", moon.ITEMTEXT) << "no file on the CD, no size";
  EXPECT_EQ(3, moon.PARENT_ID) << "parent 2 is the second record";
  EXPECT_EQ(3, sea.ICONRESID);
  EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}),
            (std::vector<int32_t>{sea.LOOP, sea.RATE, sea.VOLUME, sea.PLAY, sea.TKLOCAL, sea.TKGLOBAL, sea.TKBKG}));
  EXPECT_EQ("films", sea.FILEPATH);
  EXPECT_EQ("sea.flm", sea.FileName);
  EXPECT_EQ(fVolume, sea.VOLUMENAME);
  EXPECT_EQ("", sea.ORIGIN);

  const std::vector<RawRow> actions = RawRows(fFolder.Path(), "GH_ActionDB");
  ASSERT_EQ(1u, actions.size()) << "only the whole action record";
  EXPECT_EQ("1", actions[0].fields.at("ACTIONID"));
  EXPECT_EQ("seaButton", actions[0].fields.at("SPRITE"));

  // The same CD again: found by its volume name, with the count taken back
  // out of its text.
  alias.clear();
  cdItemId = filmCount = 0;
  EXPECT_EQ(4, fDb.RegisterCD(alias, cdItemId, filmCount));
  EXPECT_EQ("Ocean CD", alias);
  EXPECT_EQ(2, cdItemId);
  EXPECT_EQ(2, filmCount);
  EXPECT_EQ(5u, Items().size());
}

// Every item hangs under an item of its own CD, never under a row of the
// library that the CD's numbers happen to name.
TEST_F(Registration, EveryItemHangsUnderAnItemOfItsCD) {
  Bytes file = Header(int32_t(kxtest::kTangledCD.size()), 0);
  for (const kxtest::DescribedItem& d : kxtest::kTangledCD) {
    const Bytes item = Item(d.number, d.parent, d.kind, d.text, "", "Sea CD");
    file.insert(file.end(), item.begin(), item.end());
  }
  WriteOnCD("BinFile.GHC", file);
  std::string alias;
  int32_t cdItemId = 0, filmCount = 0;
  ASSERT_EQ(0, fDb.RegisterCD(alias, cdItemId, filmCount));
  EXPECT_EQ(kxtest::kTangledCDRows, CDRows());
}

// The two programs register at once: one registers, the other finds it done.
TEST_F(Registration, TwoRegistrationsAtOnceRegisterTheCDOnce) {
  WriteOnCD("BinFile.GHC", OceanCD());
  CDDatabase other("Config Tool");
  int32_t codes[2] = {-9, -9};
  auto registerWith = [](CDDatabase* db, int32_t* code) {
    std::string alias;
    int32_t cdItemId = 0, filmCount = 0;
    *code = db->RegisterCD(alias, cdItemId, filmCount);
  };
  std::thread a(registerWith, &fDb, &codes[0]);
  std::thread b(registerWith, &other, &codes[1]);
  a.join();
  b.join();
  EXPECT_EQ(4, codes[0] + codes[1]) << codes[0] << " and " << codes[1] << ": one registers, one finds it done";
  EXPECT_EQ(3u, CDRows().size());
  EXPECT_EQ(1u, RawRows(fFolder.Path(), "GH_ActionDB").size());
}

// An alias root already in the table stops the registration after the
// actions were stored.
TEST_F(Registration, AKnownAliasRootAddsActionsButNoItems) {
  PlaylistEntry location;
  location.ITEMTYPE = kItemLocation;
  location.AliasRoot = "Ocean CD";
  ASSERT_FALSE(fDb.AppendItem(location, true));
  WriteOnCD("BinFile.GHC", OceanCD());

  std::string alias;
  int32_t cdItemId = 0, filmCount = 0;
  EXPECT_EQ(4, fDb.RegisterCD(alias, cdItemId, filmCount));
  EXPECT_EQ("Ocean CD", alias);
  EXPECT_EQ(3u, Items().size());
  EXPECT_EQ(1u, RawRows(fFolder.Path(), "GH_ActionDB").size());
}

TEST_F(Registration, ACDWithoutDataFileOrAliasRootHasNothingToRegister) {
  std::string alias = "old";
  int32_t cdItemId = 0, filmCount = 0;
  EXPECT_EQ(2, fDb.RegisterCD(alias, cdItemId, filmCount));
  EXPECT_EQ("", alias);

  WriteOnCD("BinFile.GHC", Cat({Header(1, 0), Item(1, 0, kItemCD, "No alias", "", "")}));
  EXPECT_EQ(2, fDb.RegisterCD(alias, cdItemId, filmCount));
  EXPECT_EQ(2u, Items().size());
}

// A drive without a data disc: Windows names it "Compact Disc", or gives
// no name at all.
TEST(RegistrationVolume, ADriveWithoutNameOrNamedCompactDiscHasNothingToRegister) {
  TableFolder folder(Seed::Installation);
  CDDatabase db("Config Tool");
  for (const char* label : {"Compact Disc", ""}) {
    TestCDDrive drive(label);
    ASSERT_TRUE(drive.Ready());
    cdDriveRoot = drive.Root();
    WriteFile(cdDriveRoot + "BinFile.GHC", "");
    std::string alias = "old";
    int32_t cdItemId = 5, filmCount = 5;
    EXPECT_EQ(2, db.RegisterCD(alias, cdItemId, filmCount)) << label;
    EXPECT_EQ("", alias);
    EXPECT_EQ(0, cdItemId);
    EXPECT_EQ(0, filmCount);
  }
  cdDriveRoot.clear();
}

// ACCESSDB.DLL is loaded from the Windows directory: this build's, not one
// an earlier build left there.
void InstallAccessDb() {
  char self[MAX_PATH] = {}, windows[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string source = self;
  source = source.substr(0, source.find_last_of('\\') + 1) + "ACCESSDB.DLL";
  GetWindowsDirectoryA(windows, MAX_PATH);
  CopyFileA(source.c_str(), (std::string(windows) + "\\ACCESSDB.DLL").c_str(), FALSE);
}

// A registration that fails part way takes out every row it appended, says
// so once, and the next insertion registers the whole CD.
using kxtest::RegistrationFailure;
using kxtest::RegistrationFault;

class FailedRegistration : public Registration, public ::testing::WithParamInterface<RegistrationFailure> {
 protected:
  void Break() {
    switch (GetParam().fault) {
      case RegistrationFault::ItemNumbersRunOut: return AddNumbered(fDb.ConfigTable(), "ITEM_ID", 2147483645);
      case RegistrationFault::ActionNumbersRunOut: return AddNumbered(fDb.ActionTable(), "ACTIONID", 2147483646);
      case RegistrationFault::ReadOnlyItemTable: SetReadOnly(true);
    }
  }
  void Mend() {
    switch (GetParam().fault) {
      case RegistrationFault::ItemNumbersRunOut: return RemoveNumbered(fDb.ConfigTable(), 2147483645);
      case RegistrationFault::ActionNumbersRunOut: return RemoveNumbered(fDb.ActionTable(), 2147483646);
      case RegistrationFault::ReadOnlyItemTable: SetReadOnly(false);
    }
  }
  static void AddNumbered(C4Table* table, const char* field, int32_t number) {
    ASSERT_EQ(C4_OK, C4AppendStart(table, 1));
    ASSERT_EQ(C4_OK, C4SetNumber(C4FindField(table, field), number));
    ASSERT_EQ(C4_OK, C4Append(table));
  }
  // On the table's selected tag, which orders by the number.
  static void RemoveNumbered(C4Table* table, int32_t number) { dbtest::RemoveRow(table, std::to_string(number)); }
  void SetReadOnly(bool on) {
    const std::string file = fFolder.Path() + "\\GH_ConfigDB.dbf";
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL));
  }
  // A table's rows in record order, marked ones with a '*'.
  std::string Numbers(const char* table, const char* field) {
    std::string numbers;
    for (const RawRow& row : RawRows(fFolder.Path(), table))
      numbers += (row.deleted ? "*" : "") + row.fields.at(field) + " ";
    return numbers;
  }
};

TEST_P(FailedRegistration, LeavesNoRowTellsOnceAndRegistersWholeNextTime) {
  const RegistrationFailure& c = GetParam();
  WriteOnCD("BinFile.GHC", Cat({Header(3, 2), Item(-1, -1, kItemCD, "Ocean", "", "Ocean CD"),
                                Item(2, 0, kItemFilm, "Sea", "sea.flm", "Ocean CD"),
                                Item(3, 2, kItemFilm, "Moon", "moon.flm", "Ocean CD"),
                                ActionBytes(9, "playQT(File=\"sea.flm\")", "Ocean CD", "seaButton"),
                                ActionBytes(8, "CloseWindow", "Ocean CD", "stopButton")}));
  Break();
  const std::string items = Numbers("GH_ConfigDB", "ITEM_ID");
  const std::string actions = Numbers("GH_ActionDB", "ACTIONID");
  std::string alias;
  int32_t cdItemId = 0, filmCount = 0;
  {
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    {
      CDDatabase db("Config Tool");
      EXPECT_EQ(1, db.RegisterCD(alias, cdItemId, filmCount));
    }
    EXPECT_EQ(1, boxes.Count()) << "the database says nothing more as it closes";
    const std::string told = boxes.LastText();
    EXPECT_NE(std::string::npos, told.find(std::string(c.table) + ".dbf")) << told;
    EXPECT_NE(std::string::npos, told.find(kxtest::kToldRegisteredAgain)) << told;
  }
  EXPECT_EQ(items, Numbers("GH_ConfigDB", "ITEM_ID")) << "no row of the CD is left";
  EXPECT_EQ(actions, Numbers("GH_ActionDB", "ACTIONID"));

  Mend();
  CDDatabase db("Config Tool");
  EXPECT_EQ(0, db.RegisterCD(alias, cdItemId, filmCount));
  EXPECT_EQ(3u, CDRows().size());
  EXPECT_EQ("1 2 ", Numbers("GH_ActionDB", "ACTIONID"));
}

INSTANTIATE_TEST_SUITE_P(Registration, FailedRegistration, ::testing::ValuesIn(kxtest::kRegistrationFailures),
                         [](const ::testing::TestParamInfo<RegistrationFailure>& info) { return info.param.name; });

// A CD with both files is registered from its version-2 description; the
// actions of its version-3 file are stored all the same.
TEST_F(Registration, AVersion2CDTakesItsItemsFromTheImportLibrary) {
  InstallAccessDb();
  WriteOnCD("GHICD.esk",
            [] {
              const std::string text =
                  "GHICD 2\r\nALIAS\tOld CD\r\n"
                  "ITEM\t1\t0\t-1\t1\t1\tOld times\t7\t0\t0\t0\t0\t0\t0\t0\t\t\tother alias\tother volume\torigin\r\n"
                  "ITEM\t2\t0\t1\t4\t1\tOld film\t7\t1\t1\t10\t1\t2\t3\t4\tfolder\told.flm\r\n";
              return Bytes(text.begin(), text.end());
            }());
  WriteOnCD("BinFile.GHC", OceanCD());

  std::string alias;
  int32_t cdItemId = 0, filmCount = 0;
  ASSERT_EQ(0, fDb.RegisterCD(alias, cdItemId, filmCount));
  EXPECT_EQ("Old CD", alias);
  EXPECT_EQ(1, filmCount);
  const PlaylistEntries items = Items();
  ASSERT_EQ(4u, items.size());
  EXPECT_EQ("Old times [ 1 Films ]", items[2].ITEMTEXT);
  EXPECT_EQ(cdItemId, items[2].ITEM_ID);
  EXPECT_EQ("Old film", items[3].ITEMTEXT);
  EXPECT_EQ(items[2].ITEM_ID, items[3].PARENT_ID);
  for (const PlaylistEntry* e : {&items[2], &items[3]}) {
    EXPECT_EQ("Old CD", e->AliasRoot);
    EXPECT_EQ(fVolume, e->VOLUMENAME);
    EXPECT_EQ("", e->ORIGIN);
    EXPECT_EQ(2, e->ICONRESID);
  }
  EXPECT_EQ("folder", items[3].FILEPATH);
  EXPECT_EQ(4, items[3].TKBKG);
  EXPECT_EQ(1u, RawRows(fFolder.Path(), "GH_ActionDB").size());
}

// A description that cannot be read, or that lists more items than are
// registered, is told once; a CD left unregistered keeps none of the
// actions of its version-3 file.
TEST_F(Registration, AVersion2DescriptionCutShortOrUnreadableIsToldOnce) {
  InstallAccessDb();
  WriteOnCD("BinFile.GHC", OceanCD());
  for (const kxtest::DescriptionProblem& c : kxtest::DescriptionProblems()) {
    WriteOnCD("GHICD.esk", Bytes(c.description.begin(), c.description.end()));
    const size_t before = CDRows().size();
    const size_t actions = RawRows(fFolder.Path(), "GH_ActionDB").size();
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    std::string alias;
    int32_t cdItemId = 0, filmCount = 0;
    EXPECT_EQ(c.code, fDb.RegisterCD(alias, cdItemId, filmCount)) << c.name;
    EXPECT_EQ(1, boxes.Count()) << c.name;
    EXPECT_NE(std::string::npos, boxes.LastText().find(c.told)) << c.name << ": " << boxes.LastText();
    EXPECT_EQ(before + c.rows, CDRows().size()) << c.name;
    if (c.code != 0) {
      EXPECT_EQ(actions, RawRows(fFolder.Path(), "GH_ActionDB").size()) << c.name;
    }
  }
}

}  // namespace
