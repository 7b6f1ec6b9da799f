// Registering a film CD from its version-3 data file or, through
// ACCESSDB.DLL, from its version-2 description.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "CDDatabase.h"
#include "CDDataFile.h"
#include "CDRegistration.h"
#include "DatabaseTestSupport.h"
#include "GH_Globals.h"
#include "GH_MainWindow.h"

namespace {

using namespace dbtest;
using namespace cdimport;
using namespace cdfile;

// ---- the record readers ----------------------------------------------------

TEST(RegistrationRecords, RenumberingHangsItemsUnderTheirNewParents) {
  struct Case {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> in;  // item number, parent; kind 4 unless number is -1
    std::vector<int32_t> parents;                 // after renumbering from 10
  };
  const Case cases[] = {
      {"positions from 1", {{1, -1}, {2, 1}, {3, 2}}, {0, 11, 12}},
      {"parent 0 is the first record", {{1, -1}, {2, 0}}, {0, 11}},
      {"a CD record is top level", {{-1, 2}, {2, 1}}, {0, 1}},
      {"a parent nobody has stays", {{1, -1}, {2, 7}}, {0, 7}},
      {"a number beyond the list names its record", {{1, -1}, {9, 1}, {3, 9}}, {0, 11, 12}},
  };
  for (const Case& c : cases) {
    PlaylistEntries items;
    for (const auto& p : c.in) {
      PlaylistEntry e;
      e.ITEM_ID = p.first;
      e.PARENT_ID = p.second;
      e.ITEMTYPE = p.first == -1 ? kItemCD : kItemFilm;
      items.push_back(e);
    }
    RenumberItems(items, 10);
    for (size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(11 + int32_t(i), items[i].ITEM_ID) << c.name;
      EXPECT_EQ(c.parents[i], items[i].PARENT_ID) << c.name << " record " << i;
    }
  }
}

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

// ACCESSDB.DLL is loaded from the Windows directory.
void InstallAccessDb() {
  char self[MAX_PATH] = {}, windows[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string source = self;
  source = source.substr(0, source.find_last_of('\\') + 1) + "ACCESSDB.DLL";
  GetWindowsDirectoryA(windows, MAX_PATH);
  CopyFileA(source.c_str(), (std::string(windows) + "\\ACCESSDB.DLL").c_str(), TRUE);
}

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

}  // namespace
