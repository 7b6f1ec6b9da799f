#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../../tests/ByteFixture.h"
#include "../../tests/FaultyDataHandler.h"
#include "FilmFolder.h"
#include "store/Database.h"
#include "store/Exception.h"
#include "store/library/ActionTable.h"
#include "store/library/FilmDataReaders.h"
#include "store/library/FilmUserData.h"
#include "store/library/FilmUserDataHeader.h"
#include "store/library/LibrarySchema.h"
#include "store/library/QuickTimeFormatUtils.h"
#include "store/library/StringMaps.h"

namespace {

using namespace filmbytes;
using manager_data::ActionRecord;
using manager_data::Preferences;

// What a film's own database is made to hold.
struct FilmData {
  std::vector<std::pair<std::string, std::string>> actions;  // identifier, command text
  Preferences preferences;
  std::string preferencesRoot = kPreferencesRoot;
  bool withActions = true;
};

// Opens the film writable, fills its database and saves it. The user data
// goes before its database: it is saved while the database exists.
void AddFilmData(const std::string& name, const FilmData& data) {
  auto userData =
      std::make_unique<FilmUserData>(new FileDataHandler(name, FileDataHandler::kReadWrite), true);
  Database* db = userData->GetDatabase();
  if (data.withActions) {
    ActionTable* actions = new (db) ActionTable;
    for (const auto& a : data.actions) (*actions)[ActionID(a.first)] = ActionDefinition(a.second);
    db->AddRoot(kActionsRoot, actions);
  }
  Dictionary* preferences = new (db) Dictionary;
  for (const auto& p : data.preferences) (*preferences)[p.first] = p.second;
  db->AddRoot(data.preferencesRoot, preferences);
  userData->Save();
  userData.reset();
  delete db;
}

uint32_t U32At(const Bytes& bytes, std::size_t at) {
  return (uint32_t(bytes[at]) << 24) | (uint32_t(bytes[at + 1]) << 16) |
         (uint32_t(bytes[at + 2]) << 8) | bytes[at + 3];
}

Bytes Slice(const Bytes& bytes, std::size_t at, std::size_t count) {
  return Bytes(bytes.begin() + at, bytes.begin() + at + count);
}

bool HasUserDataHeader(const std::string& name, UserDataAtomHeader& header) {
  FileDataHandler film(name, FileDataHandler::kRead);
  return ReadFilmUserDataHeader(&film, header);
}

// A header record as a film stores it: unscrambled, nine tagged values.
Bytes HeaderRecord(uint32_t version, uint32_t date, uint32_t time) {
  Bytes values;
  for (uint32_t v : {version, 1u, 0u, 0xD8FBE668u, date, time, 7u, 8u, 9u}) {
    values = Join({values, 10, BigEndian32(v)});
  }
  return Join({1, 15, BigEndian32(18), "UserDataAtomHeader", values, 2});
}

// ---- atoms ----------------------------------------------------------------

TEST(AtomFinder, ScansAtomsForAPath) {
  const uint32_t kMoov = AtomType("moov"), kUdta = AtomType("udta");
  const Bytes inner = Atom("moov", Cat({Atom("free", Bytes(3, 0)), Atom("udta", {'x'})}));
  const int64_t kEnd = -1;  // the scan ends with the end-of-file error
  const struct {
    const char* name;
    Bytes film;
    AtomPath path;
    int64_t wantPosition;
  } kCases[] = {
      {"the first atom, without a skip", Atom("moov", Bytes(4, 0)), {kMoov}, 8},
      {"past an atom with a 64-bit size", Cat({Atom64("free", Bytes(10, 0)), Atom("moov", {})}),
       {kMoov}, 16 + 10 + 8},
      {"an empty atom moves the scan by its header", Cat({Atom("free", {}), Atom("moov", {})}),
       {kMoov}, 16},
      {"inside the outer atom", inner, {kUdta, kMoov}, 8 + 11 + 8},
      {"past the outer atom's end when the inner one is missing",
       Cat({Atom("moov", Atom("free", {})), Atom("udta", {'x'})}), {kUdta, kMoov}, 16 + 8},
      {"no such atom", Cat({Atom("free", {}), Atom("mdat", {})}), {kMoov}, kEnd},
      {"size 0 does not loop", Cat({AtomWithSize(0, "free", Bytes(8, 0)), Atom("moov", {})}),
       {kMoov}, kEnd},
      {"size 4 does not loop", Cat({AtomWithSize(4, "free", Bytes(8, 0)), Atom("moov", {})}),
       {kMoov}, kEnd},
      {"a 64-bit size below 16 does not loop", Cat({Atom64("free", {}, 8), Atom("moov", {})}),
       {kMoov}, kEnd},
      {"a 64-bit size beyond any file", Cat({Atom64("free", {}, ~uint64_t{0}), Atom("moov", {})}),
       {kMoov}, kEnd},
      {"an atom past the end of the data", Cat({AtomWithSize(100, "free", {}), Atom("moov", {})}),
       {kMoov}, kEnd},
      {"a header cut short", Bytes{0, 0, 0, 8, 'f'}, {kMoov}, kEnd},
      {"a 64-bit size cut short", Cat({BigEndian32(1), Bytes{'m', 'o', 'o', 'v', 0, 0}}), {kMoov},
       kEnd},
  };
  for (const auto& c : kCases) {
    MemoryDataHandler film(c.film);
    if (c.wantPosition == kEnd) {
      EXPECT_THROW(AtomFinder::Find(&film, c.path), EOFException) << c.name;
    } else {
      EXPECT_TRUE(AtomFinder::Find(&film, c.path)) << c.name;
      EXPECT_EQ(uint64_t(c.wantPosition), film.Tell()) << c.name;
    }
  }
  MemoryDataHandler film(inner);
  EXPECT_THROW(AtomFinder::FindOrThrow(&film, {}), Assertion);
}

TEST(AtomReader, ReadsSizesAndTypes) {
  MemoryDataHandler film(Cat({Atom64("wide", Bytes(4, 0)), Atom("moov", {})}));
  AtomReader atom(&film);
  EXPECT_EQ(AtomType("wide"), atom.GetType());
  EXPECT_EQ(20u, atom.GetSize());
  EXPECT_EQ(4, atom.GetRemaining());
  EXPECT_EQ(16u, film.Tell());
  atom.Next();
  EXPECT_EQ(AtomType("moov"), atom.GetType());
  EXPECT_EQ(20u, atom.GetStart());
  EXPECT_THROW(atom.Next(), EOFException);
}

// ---- the data block -------------------------------------------------------

class FilmBlock : public FilmFolder {};

TEST_F(FilmBlock, AFilmWithoutABlock) {
  const Bytes bytes = Film({/*userDataFirst=*/false});
  const std::string name = Write("plain", bytes);
  UserDataAtomHeader header(0, 0, 0);
  EXPECT_FALSE(HasUserDataHeader(name, header));

  FileDataHandler film(name, FileDataHandler::kRead);
  FilmUserDataHeader block(&film);
  EXPECT_FALSE(block.IsFound());
  EXPECT_EQ(bytes.size(), block.GetBlockOffset());
}

TEST_F(FilmBlock, AHandlerNotAtTheStartIsRefused) {
  const std::string name = Write("plain", Film());
  FileDataHandler film(name, FileDataHandler::kRead);
  film.Seek(4, SeekFrom::Start);
  try {
    FilmUserDataHeader block(&film);
    FAIL();
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 22 in FilmUserDataHeader", e.GetMessageText());
  }
}

TEST_F(FilmBlock, ANewBlockIsAppendedAtTheEnd) {
  const Bytes before = Film();
  const std::string name = Write("film", before);
  const std::size_t at = before.size();
  {
    FileDataHandler film(name, FileDataHandler::kReadWrite);
    FilmUserDataHeader block(&film);
    EXPECT_FALSE(block.IsFound());
    EXPECT_EQ(at + 82, block.GetDataOffset());
    EXPECT_TRUE(block.IsFound());
  }
  const Bytes written = Read(name);
  ASSERT_EQ(at + 82, written.size());
  EXPECT_EQ(before, Slice(written, 0, at));
  // The atom start, then the header record unscrambled.
  EXPECT_EQ(BlockStart(82), Slice(written, at, 12));
  EXPECT_EQ(Join({1, 15, BigEndian32(18), "UserDataAtomHeader", 10, BigEndian32(1), 10,
                  BigEndian32(1), 10, BigEndian32(0), 10, BigEndian32(0xD8FBE668)}),
            Slice(written, at + 12, 44));
}

TEST_F(FilmBlock, TheSavedDatabaseGrowsTheBlockToTheEndOfTheFile) {
  const Bytes before = Film();
  const std::string name = Write("film", before);
  const std::size_t at = before.size();
  {
    auto userData = std::make_unique<FilmUserData>(
        new FileDataHandler(name, FileDataHandler::kReadWrite), true);
    std::unique_ptr<Database> db(userData->GetDatabase());
    EXPECT_EQ(db.get(), userData->GetDatabase());
    EXPECT_EQ(at + 82, db->GetDatabaseOffset());
    userData.reset();  // saves while the database exists
  }
  const Bytes after = Read(name);
  EXPECT_EQ(after.size() - at, U32At(after, at));

  UserDataAtomHeader header(0, 0, 0);
  ASSERT_TRUE(HasUserDataHeader(name, header));
  EXPECT_EQ(1u, header.GetUserDataVersion());
  EXPECT_EQ(Database::kMagic, header.GetMagic());
  EXPECT_NE(0u, header.GetCreationDate());
}

TEST_F(FilmBlock, SavingAgainKeepsTheHeaderAndReachesTheEnd) {
  const std::string name = Write("film", Film());
  const std::size_t at = Film().size();
  AddFilmData(name, {{{"a", "go()"}}, {{"name", "First"}}});
  const Bytes first = Read(name);
  EXPECT_EQ(first.size() - at, U32At(first, at));
  // A larger object than before: the database grows at the end of the file.
  AddFilmData(name, {{{"b", "stop()"}}, {{"name", std::string(3000, 'x')}}, "Other"});
  const Bytes second = Read(name);
  EXPECT_GT(second.size(), first.size());
  EXPECT_EQ(second.size() - at, U32At(second, at));
  // The header record, creation date included, was written once.
  EXPECT_EQ(Slice(first, at + 4, 78), Slice(second, at + 4, 78));
}

TEST(UserDataAtomHeader, TheFirstWriteDatesTheHeaderAndLaterOnesKeepIt) {
  UserDataAtomHeader made(5, 6, 7);
  EXPECT_EQ(70u, made.SerialisedSize());
  const Bytes once = Encode([&](Stream& s) { made.Save(s); }, false);
  EXPECT_EQ(70u, once.size());
  EXPECT_NE(0u, made.GetCreationDate());
  EXPECT_EQ(once, Encode([&](Stream& s) { made.Save(s); }, false));

  // A stored date of 1 January 2000 survives reading and writing.
  MemoryStream s(HeaderRecord(1, 2451545, 3725), false);
  UserDataAtomHeader read(0, 0, 0);
  read.Load(s.stream);
  EXPECT_EQ(HeaderRecord(1, 2451545, 3725), Encode([&](Stream& out) { read.Save(out); }, false));
}

TEST(UserDataAtomHeader, Dump) {
  const struct {
    uint32_t version;
    std::string want;
  } kCases[] = {
      {0, "User data version:          0\n"
          "Encryption version:         1\n"
          "no more information available\n"
          "this is an older type movie\n"},
      {1, "User data version:          1\n"
          "Encryption version:         1\n"
          "Creation date:              1 Jan 2000\n"
          "Creation time:              01:02:05\n"
          "Author ID:                  7\n"
          "Sponsor ID:                 8\n"
          "Free space:                 9\n"},
  };
  for (const auto& c : kCases) {
    MemoryStream s(HeaderRecord(c.version, 2451545, 3725), false);
    UserDataAtomHeader header(0, 0, 0);
    header.Load(s.stream);
    std::ostringstream out;
    header.Dump(out);
    EXPECT_EQ(c.want, out.str()) << c.version;
  }
}

// The system's films put their user data before 'mvhd'; a movie that starts
// with 'mvhd' or 'cmov' counts as carrying no block, even when one exists.
TEST_F(FilmBlock, TheFirstAtomOfTheMovieDecides) {
  const struct {
    const char* name;
    Bytes film;
    bool want;
  } kCases[] = {
      {"user data first", Film(), true},
      {"'mvhd' first", Film({/*userDataFirst=*/false}), false},
      {"'cmov' first", Cat({Atom("mdat", {}), Atom("moov", Atom("cmov", Bytes(8, 0)))}), false},
      {"an empty movie atom", Atom("moov", {}), true},
  };
  for (const auto& c : kCases) {
    const std::string name = Write(std::to_string(&c - kCases), c.film);
    AddFilmData(name, {});
    UserDataAtomHeader header(0, 0, 0);
    EXPECT_EQ(c.want, HasUserDataHeader(name, header)) << c.name;
    FileDataHandler film(name, FileDataHandler::kRead);
    EXPECT_TRUE(FilmUserDataHeader(&film).IsFound()) << c.name;
  }
}

TEST_F(FilmBlock, DamagedOrForeignFilmsHaveNoBlock) {
  const Bytes film = Film();
  const struct {
    const char* name;
    Bytes bytes;
  } kCases[] = {
      {"empty file", {}},
      {"text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'}},
      {"cut inside the movie", Slice(film, 0, film.size() - 20)},
      {"size 0 before the movie", Cat({AtomWithSize(0, "free", Bytes(8, 0)), film})},
      {"size 4 before the movie", Cat({AtomWithSize(4, "free", Bytes(8, 0)), film})},
      {"size 0 before the block", Cat({film, AtomWithSize(0, "free", Bytes(8, 0)),
                                       BlockStart(82), HeaderRecord(1, 1, 1)})},
      {"size 4 before the block", Cat({film, AtomWithSize(4, "free", Bytes(8, 0)),
                                       BlockStart(82), HeaderRecord(1, 1, 1)})},
      {"a block cut inside its header", Cat({film, BlockStart(82), Slice(HeaderRecord(1, 1, 1), 0, 30)})},
      {"a block cut inside the class name",
       Cat({film, BlockStart(82), Slice(HeaderRecord(1, 1, 1), 0, 10)})},
      {"a block without its word", Cat({film, Atom("udta", {})})},
  };
  for (const auto& c : kCases) {
    const std::string name = Write(std::to_string(&c - kCases), c.bytes);
    UserDataAtomHeader header(0, 0, 0);
    EXPECT_FALSE(HasUserDataHeader(name, header)) << c.name;
  }
}

TEST_F(FilmBlock, BlocksAfterForeignAndWideAtomsAreFound) {
  const Bytes film = Film();
  const Bytes block = Cat({BlockStart(82), HeaderRecord(1, 2451545, 0)});
  const struct {
    const char* name;
    Bytes bytes;
    std::size_t at;
  } kCases[] = {
      {"after another 'udta'", Cat({film, Atom("udta", Bytes(6, 'z')), block}), film.size() + 14},
      {"after a 64-bit atom", Cat({Atom64("wide", Bytes(5, 0)), film, block}), 21 + film.size()},
      {"with a 64-bit size itself",
       Cat({film, Atom64("udta", Cat({Bytes{'f', 'l', 'm', '_'}, HeaderRecord(1, 2451545, 0)}))}),
       film.size()},
  };
  for (const auto& c : kCases) {
    const std::string name = Write(std::to_string(&c - kCases), c.bytes);
    UserDataAtomHeader header(0, 0, 0);
    EXPECT_TRUE(HasUserDataHeader(name, header)) << c.name;
    EXPECT_EQ(2451545u, header.GetCreationDate()) << c.name;
    FileDataHandler handler(name, FileDataHandler::kRead);
    FilmUserDataHeader found(&handler);
    EXPECT_EQ(c.at, found.GetBlockOffset()) << c.name;
  }
}

// A block with atoms behind it would swallow them when its size is set to
// reach the end of the file: such a film is not written at all.
TEST_F(FilmBlock, ABlockThatIsNotLastIsNotWritten) {
  const std::string name = Write("film", Film());
  AddFilmData(name, {{{"a", "go()"}}, {}});
  {
    std::FILE* f = std::fopen(name.c_str(), "ab");
    ASSERT_NE(nullptr, f);
    const Bytes behind = Atom("free", Bytes(8, 0));
    std::fwrite(behind.data(), 1, behind.size(), f);
    std::fclose(f);
  }
  const Bytes before = Read(name);
  {
    FilmUserData userData(new FileDataHandler(name, FileDataHandler::kReadWrite), true);
    EXPECT_THROW(userData.GetDatabase(), DatabaseException);
  }
  EXPECT_EQ(before, Read(name));
  // Reading it is still fine.
  std::vector<ActionRecord> records;
  manager_data::ImportFilmActions(name, records);
  EXPECT_EQ(1u, records.size());
}

TEST(FilmUserData, AFailedSaveInTheDestructorIsSwallowed) {
  const Bytes film = Film();
  // Room for the new block and the empty database, not for a large object.
  std::size_t room = 0;
  {
    auto* memory = new MemoryDataHandler(film);
    FilmUserData userData(memory, false);
    std::unique_ptr<Database> db(userData.GetDatabase());
    room = memory->Bytes().size();
  }
  auto* memory = new MemoryDataHandler(film, room + 16);
  auto userData = std::make_unique<FilmUserData>(memory, true);
  std::unique_ptr<Database> db(userData->GetDatabase());
  Dictionary* preferences = new (db.get()) Dictionary;
  (*preferences)["name"] = std::string(4000, 'x');
  db->AddRoot(kPreferencesRoot, preferences);
  EXPECT_THROW(userData->Save(), WriteError);
  EXPECT_NO_THROW(userData.reset());
}

// A film with a data block whose preferences name it "First".
Bytes FilmWithData() {
  MemoryDataHandler memory(Film());
  {
    auto userData = std::make_unique<FilmUserData>(
        new FaultyDataHandler(memory, 0, FaultyDataHandler::Mode::Refuse), true);
    std::unique_ptr<Database> db(userData->GetDatabase());
    Dictionary* preferences = new (db.get()) Dictionary;
    (*preferences)["name"] = "First";
    db->AddRoot(kPreferencesRoot, preferences);
    userData.reset();  // saves while the database exists
  }
  return memory.Bytes();
}

// Grows the preferences past their block (making them where there are
// none) and adds a root.
void ChangeFilm(Database& db) {
  auto* preferences = dynamic_cast<Dictionary*>(db.GetRoot(kPreferencesRoot));
  if (!preferences) {
    preferences = new (&db) Dictionary;
    db.AddRoot(kPreferencesRoot, preferences);
  }
  (*preferences)["name"] = std::string(3000, 'y');
  preferences->SetModified(true);
  db.AddRoot("Other", new (&db) Dictionary);
}

// What a film reads back as: "old" (the preferences name it "First", or it
// has none where it had no data), "new" (after ChangeFilm), or what is
// wrong with it. Its block, when it has one, must end the film: nothing but
// zeros behind it, and no size past the end of the file.
std::string FilmContent(const Bytes& film, bool hadData) {
  const std::size_t blockAt = Film().size();
  if (film.size() > blockAt) {
    const uint64_t blockEnd = blockAt + U32At(film, blockAt);
    if (blockEnd > film.size()) return "the block passes the end of the film";
    for (std::size_t i = blockEnd; i < film.size(); ++i) {
      if (film[i] != 0) return "bytes behind the block";
    }
  }
  try {
    UserDataAtomHeader header(0, 0, 0);
    MemoryDataHandler probe(film);
    if (!ReadFilmUserDataHeader(&probe, header)) return hadData ? "the block was lost" : "old";
    FilmUserData userData(new MemoryDataHandler(film), false);
    std::unique_ptr<Database> db(userData.GetDatabase());
    auto* preferences = dynamic_cast<Dictionary*>(db->GetRoot(kPreferencesRoot));
    if (db->GetRoot("Other")) {
      return preferences && (*preferences)["name"] == std::string(3000, 'y') ? "new"
                                                                              : "not quite new";
    }
    if (!hadData) return preferences ? "preferences from nowhere" : "old";
    return preferences && (*preferences)["name"] == "First" ? "old" : "not quite old";
  } catch (const std::exception& e) {
    return std::string("reading failed: ") + e.what();
  }
}

// Opens the film writable, changes it and saves it; answers the writes
// that took. The user data goes first: it saves again while the database
// exists.
int ChangeAndSaveFilm(MemoryDataHandler& memory) {
  std::unique_ptr<Database> db;
  auto* film = new FaultyDataHandler(memory, 0, FaultyDataHandler::Mode::Refuse);
  FilmUserData userData(film, true);
  db.reset(userData.GetDatabase());
  ChangeFilm(*db);
  userData.Save();
  return film->Writes();
}

int WritesOfTheFilmSave(const Bytes& old, bool hadData) {
  MemoryDataHandler memory(old);
  const int writes = ChangeAndSaveFilm(memory);
  EXPECT_EQ("new", FilmContent(memory.Bytes(), hadData));
  return writes;
}

struct FilmFault {
  bool hadData;
  FaultyDataHandler::Mode mode;
};

void PrintTo(const FilmFault& fault, std::ostream* out) {
  *out << (fault.hadData ? "with data, " : "without data, ") << ModeName(fault.mode);
}

class FailingFilmSaves : public ::testing::TestWithParam<FilmFault> {};

// For every write of a save (for a film without data, of giving it its
// block too) failing in this way: the failure is reported, the film reads
// as before or after, it can be opened for writing and saved, and the same
// film data saves whole once the disk is well again.
TEST_P(FailingFilmSaves, EveryFailedSaveLeavesTheFilmBeforeOrAfter) {
  const bool hadData = GetParam().hadData;
  const FaultyDataHandler::Mode mode = GetParam().mode;
  const Bytes old = hadData ? FilmWithData() : Film();
  ASSERT_EQ("old", FilmContent(old, hadData));
  const int writes = WritesOfTheFilmSave(old, hadData);
  for (int n = 1; n <= writes; ++n) {
    const std::string where = "write " + std::to_string(n);
    MemoryDataHandler memory(old);
    auto* faulty = new FaultyDataHandler(memory, n, mode);
    std::unique_ptr<Database> db;
    auto userData = std::make_unique<FilmUserData>(faulty, true);
    try {
      db.reset(userData->GetDatabase());
      ChangeFilm(*db);
      userData->Save();
      ADD_FAILURE() << where << ": no failure reported";
    } catch (const WriteError&) {
    }
    const std::string after = FilmContent(memory.Bytes(), hadData);
    EXPECT_TRUE(after == "old" || after == "new") << where << ": " << after;

    MemoryDataHandler reopened(memory.Bytes());
    EXPECT_NO_THROW(ChangeAndSaveFilm(reopened)) << where << ", reopened";
    EXPECT_EQ("new", FilmContent(reopened.Bytes(), hadData)) << where << ", reopened";

    faulty->Heal();
    if (db) {
      EXPECT_NO_THROW(userData->Save()) << where;
      EXPECT_EQ("new", FilmContent(memory.Bytes(), hadData)) << where << ", saved again";
    }
    userData.reset();
  }
}

std::vector<FilmFault> AllFilmFaults() {
  std::vector<FilmFault> faults;
  for (bool hadData : {true, false}) {
    for (auto mode : kAllFaults) faults.push_back({hadData, mode});
  }
  return faults;
}

INSTANTIATE_TEST_SUITE_P(, FailingFilmSaves, ::testing::ValuesIn(AllFilmFaults()),
                         [](const ::testing::TestParamInfo<FilmFault>& info) {
                           return std::string(info.param.hadData ? "WithData" : "WithoutData") +
                                  ModeName(info.param.mode);
                         });

// The caller was told of the failure; the film stays as the failure left it.
TEST(FilmUserData, NoSaveFollowsAFailedOneOnDestruction) {
  const Bytes old = FilmWithData();
  MemoryDataHandler memory(old);
  {
    auto* faulty = new FaultyDataHandler(memory, 1, FaultyDataHandler::Mode::Once);
    auto userData = std::make_unique<FilmUserData>(faulty, true);
    std::unique_ptr<Database> db(userData->GetDatabase());
    ChangeFilm(*db);
    EXPECT_THROW(userData->Save(), WriteError);
    userData.reset();
  }
  EXPECT_EQ("old", FilmContent(memory.Bytes(), true));
}

// A film given its block is whole before its first save: the block reaches
// the end of the file over the new database, and the film opens for writing
// again.
TEST(FilmUserData, ANewBlockCoversItsDatabase) {
  MemoryDataHandler memory(Film());
  std::unique_ptr<Database> db;
  FilmUserData userData(new FaultyDataHandler(memory, 0, FaultyDataHandler::Mode::Refuse), true);
  db.reset(userData.GetDatabase());
  // As a program that ended before its first save leaves the film.
  const Bytes unsaved = memory.Bytes();
  EXPECT_EQ(unsaved.size() - Film().size(), U32At(unsaved, Film().size()));
  MemoryDataHandler reopened(unsaved);
  EXPECT_NO_THROW(ChangeAndSaveFilm(reopened));
  EXPECT_EQ("new", FilmContent(reopened.Bytes(), false));
}

// What saves that stopped half way left behind a film's block: zeros of a
// growth the block was never sized over, or a new block's database that
// no save sized it over. Both are the block's own; the film opens for
// writing and its next save covers them.
TEST(FilmUserData, WhatAnUnfinishedSaveLeftBehindTheBlockIsTheBlocks) {
  Bytes unsized;
  {
    MemoryDataHandler memory(Film());
    memory.Seek(0, SeekFrom::Start);
    FilmUserDataHeader block(&memory);
    memory.Seek(static_cast<int64_t>(block.GetDataOffset()), SeekFrom::Start);
    std::unique_ptr<Database> db(Database::Create(new StreamDataHandler(&memory), "Database",
                                                  FilmUserData::kObjectCapacity,
                                                  FilmUserData::kRootsCapacity));
    unsized = memory.Bytes();
  }
  ASSERT_EQ(82u, U32At(unsized, Film().size()));
  const struct { const char* name; Bytes film; bool hadData; } kCases[] = {
      {"zeros of a growth", Cat({FilmWithData(), Bytes(5000, 0)}), true},
      {"a database no save sized the block over", unsized, false},
  };
  for (const auto& c : kCases) {
    MemoryDataHandler memory(c.film);
    EXPECT_NO_THROW(ChangeAndSaveFilm(memory)) << c.name;
    EXPECT_EQ("new", FilmContent(memory.Bytes(), c.hadData)) << c.name;
  }
}

// Zeros that end a film without a block are what an unfinished write of
// one left: the block goes where they begin, where the walk finds it.
TEST_F(FilmBlock, ZerosEndingAFilmMakeRoomForItsBlock) {
  const Bytes film = Film();
  const std::string name = Write("film", Cat({film, Bytes(40, 0)}));
  {
    FileDataHandler handler(name, FileDataHandler::kRead);
    EXPECT_EQ(film.size(), FilmUserDataHeader(&handler).GetBlockOffset());
  }
  AddFilmData(name, {{{"a", "go()"}}, {{"name", "Zeros"}}});
  Preferences preferences;
  EXPECT_TRUE(manager_data::ReadStoredPreferences(name, preferences));
  EXPECT_EQ("Zeros", preferences["name"]);
  EXPECT_EQ(Read(name).size() - film.size(), U32At(Read(name), film.size()));
}

// ---- the library manager's readers -----------------------------------------

class FilmReaders : public FilmFolder {};

TEST_F(FilmReaders, ImportFilmActionsInIdentifierOrder) {
  const std::string name = Write("film", Film());
  AddFilmData(name, {{{"sprite2", "stop()"},
                      {"Sprite3", "launchURL(URL=\"http://example.com/\")"},
                      {"sprite1", "playQT(Track=\"2\",File=\"a.flm\")"}},
                     {}});
  std::vector<ActionRecord> records(1);  // appended to, not replaced
  manager_data::ImportFilmActions(name, records);
  ASSERT_EQ(4u, records.size());
  const std::vector<std::pair<std::string, std::string>> want = {
      {"Sprite3", "launchURL(URL=\"http://example.com/\")"},
      {"sprite1", "playQT(File=\"a.flm\",Track=\"2\")"},
      {"sprite2", "()"},
  };
  for (std::size_t i = 0; i < want.size(); ++i) {
    const ActionRecord& r = records[i + 1];
    EXPECT_EQ(want[i].first, r.sprite);
    EXPECT_EQ(want[i].second, r.actionText);
    EXPECT_EQ(0, r.actionID + r.reserved + r.actionType);
    EXPECT_EQ('\0', r.aliasRoot[0]);
  }
}

TEST_F(FilmReaders, LongTextsAreCutToTheirFields) {
  const std::string name = Write("film", Film());
  const std::string id(250, 'i');
  const std::string value(400, 'v');
  AddFilmData(name, {{{id, "go(A=\"" + value + "\")"}}, {}});
  std::vector<ActionRecord> records;
  manager_data::ImportFilmActions(name, records);
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ(std::string(199, 'i'), records[0].sprite);
  EXPECT_EQ(("go(A=\"" + value).substr(0, 253), records[0].actionText);
}

TEST_F(FilmReaders, FilmsWithoutUserDataGiveNothing) {
  const Bytes film = Film();
  const struct {
    const char* name;
    Bytes bytes;
  } kCases[] = {
      {"no block", film},
      {"a header of the older kind",
       Cat({film, BlockStart(82 + 0), HeaderRecord(0, 0, 0)})},
      {"'mvhd' first", Film({/*userDataFirst=*/false})},
  };
  for (const auto& c : kCases) {
    const std::string name = Write(std::to_string(&c - kCases), c.bytes);
    std::vector<ActionRecord> records;
    manager_data::ImportFilmActions(name, records);
    EXPECT_TRUE(records.empty()) << c.name;
    Preferences preferences{{"kept", "1"}};
    EXPECT_FALSE(manager_data::ReadStoredPreferences(name, preferences)) << c.name;
    EXPECT_EQ((Preferences{{"kept", "1"}}), preferences) << c.name;
  }
}

TEST_F(FilmReaders, AMissingFileIsAnOpenError) {
  std::vector<ActionRecord> records;
  EXPECT_THROW(manager_data::ImportFilmActions(Name("missing"), records), FileOpenError);
  Preferences preferences;
  EXPECT_THROW(manager_data::ReadStoredPreferences(Name("missing"), preferences), FileOpenError);
}

TEST_F(FilmReaders, StoredPreferencesReplaceOnlyTheirKeys) {
  const std::string name = Write("film", Film());
  AddFilmData(name, {{}, {{"name", "Stored"}, {"Custom", "x"}}});
  Preferences preferences{{"name", "old"}, {"other", "kept"}};
  EXPECT_TRUE(manager_data::ReadStoredPreferences(name, preferences));
  EXPECT_EQ((Preferences{{"Custom", "x"}, {"name", "Stored"}, {"other", "kept"}}), preferences);
}

TEST_F(FilmReaders, RootsAreTakenByExactNameAndClass) {
  const std::string lower = Write("lower", Film());
  AddFilmData(lower, {{{"a", "go()"}}, {{"name", "x"}}, "preferences"});
  Preferences preferences;
  EXPECT_TRUE(manager_data::ReadStoredPreferences(lower, preferences));
  EXPECT_TRUE(preferences.empty());

  // "Actions" holding a dictionary gives no actions.
  const std::string wrong = Write("wrong", Film());
  FilmData data;
  data.withActions = false;
  data.preferencesRoot = kActionsRoot;
  data.preferences = {{"a", "b"}};
  AddFilmData(wrong, data);
  std::vector<ActionRecord> records;
  manager_data::ImportFilmActions(wrong, records);
  EXPECT_TRUE(records.empty());

  FilmUserData userData(new FileDataHandler(wrong, FileDataHandler::kRead), false);
  std::unique_ptr<Database> db(userData.GetDatabase());
  EXPECT_FALSE(RootRef<ActionTable>(db.get(), kActionsRoot));
  EXPECT_TRUE(RootRef<Dictionary>(db.get(), kActionsRoot));
  EXPECT_FALSE(RootRef<Dictionary>(db.get(), kPreferencesRoot));
}

TEST(FilmDefaults, StoresItemsThenTheFixedDefaults) {
  const Preferences kFixed = {{"AliasRoot", ""}, {"Origin", ""},   {"TrkBackground", "0"},
                              {"TrkGlobal", "3"}, {"TrkLocal", "3"}, {"version", "2"}};
  Preferences withItems{{"TrkLocal", "9"}, {"other", "kept"}};
  manager_data::StoreFilmDefaults(withItems, std::string("Tiny"), std::string("(c)"));
  Preferences want = kFixed;
  want["name"] = "Tiny";
  want["copyright"] = "(c)";
  want["other"] = "kept";
  EXPECT_EQ(want, withItems);

  Preferences without;
  manager_data::StoreFilmDefaults(without, std::nullopt, std::nullopt);
  EXPECT_EQ(kFixed, without);
}

TEST(FilmDefaults, ItemTextEndsAtTheFirstZero) {
  EXPECT_EQ("abc", manager_data::UserDataItemText("abc\0def", 7));
  EXPECT_EQ("abcdef", manager_data::UserDataItemText("abcdef", 6));
  EXPECT_EQ("", manager_data::UserDataItemText("", 0));
}

TEST_F(FilmReaders, FileExists) {
  EXPECT_TRUE(manager_data::FileExists(Write("here", Bytes{1})));
  EXPECT_FALSE(manager_data::FileExists(Name("absent")));
}

// ---- the reference film ------------------------------------------------------

// A film's first write dates its header record and names its database by the
// clock. The reference film is written in two steps: an empty block first,
// whose date, time, free space and database identity are then replaced by
// fixed ones, which every later write keeps. The identity is replaced in the
// Database object the header points at: a save writes it beside the copy
// made when the block was.
void FixTheFirstWrite(const Bytes& film, Bytes& bytes) {
  const std::size_t record = film.size() + 12, header = film.size() + 82;
  ASSERT_EQ(Join({1, 15, BigEndian32(18), "UserDataAtomHeader"}), Slice(bytes, record, 24));
  const std::size_t database = header + U32At(bytes, header + 1);
  ASSERT_EQ(Bytes({1, 15, 0, 0, 0, 8}), Slice(bytes, database + 22, 6));
  const struct { std::size_t at; uint32_t value; } kFixed[] = {
      {record + 24 + 4 * 5 + 1, 2451545},  // 1 January 2000
      {record + 24 + 5 * 5 + 1, 3725},     // 01:02:05
      {record + 24 + 8 * 5 + 1, 9},        // free space
      {database + 22 + 15, 0x7E57F11Du},   // the database's identity
  };
  for (const auto& f : kFixed) {
    const Bytes value = BigEndian32(f.value);
    std::copy(value.begin(), value.end(), bytes.begin() + static_cast<std::ptrdiff_t>(f.at));
  }
}

void ExpectTheReferenceFilm(const std::string& name) {
  UserDataAtomHeader header(0, 0, 0);
  ASSERT_TRUE(HasUserDataHeader(name, header));
  EXPECT_EQ(2451545u, header.GetCreationDate());
  EXPECT_EQ(3725u, header.GetCreationTime());
  EXPECT_EQ(9u, header.GetFreeSpace());
  std::vector<ActionRecord> records;
  manager_data::ImportFilmActions(name, records);
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ("sprite1", std::string(records[0].sprite));
  EXPECT_EQ("playQT(File=\"a.flm\",Track=\"2\")", std::string(records[0].actionText));
  EXPECT_EQ("sprite2", std::string(records[1].sprite));
  Preferences preferences;
  EXPECT_TRUE(manager_data::ReadStoredPreferences(name, preferences));
  EXPECT_EQ((Preferences{{"TrkLocal", "3"}, {"name", "Reference"}}), preferences);
}

TEST_F(FilmBlock, TheReferenceFilmIsWrittenAndReadByEveryBuild) {
  const std::string fixture = std::string(KX_FIXTURES) + "/film-data.flm";
  const Bytes film = Film({true, "Tiny film", "(c) Glintharbour", /*track=*/true});
  const std::string name = Write("film", film);
  {
    auto userData = std::make_unique<FilmUserData>(
        new FileDataHandler(name, FileDataHandler::kReadWrite), true);
    std::unique_ptr<Database> db(userData->GetDatabase());
    userData.reset();  // saves while the database exists
  }
  Bytes empty = Read(name);
  FixTheFirstWrite(film, empty);
  Write("film", empty);
  AddFilmData(name, {{{"sprite1", "playQT(Track=\"2\",File=\"a.flm\")"}, {"sprite2", "stop()"}},
                     {{"name", "Reference"}, {"TrkLocal", "3"}}});
  kxfixture::ExpectSameBytes(fixture, Read(name));
  ExpectTheReferenceFilm(Write("stored", kxfixture::Reference(fixture)));
}

// Written when a save rewrote each object in its block and the header
// before the Database object: such films are still read, and written.
TEST_F(FilmBlock, AFilmSavedInPlaceIsReadAndWritten) {
  const std::string name =
      Write("film", kxfixture::Reference(std::string(KX_FIXTURES) + "/film-data-in-place.flm"));
  ExpectTheReferenceFilm(name);
  AddFilmData(name, {{{"sprite3", "stop()"}}, {{"name", std::string(500, 'r')}}, "Other"});
  std::vector<ActionRecord> records;
  manager_data::ImportFilmActions(name, records);
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ("sprite3", std::string(records[0].sprite));
  Preferences preferences;
  EXPECT_TRUE(manager_data::ReadStoredPreferences(name, preferences));
  EXPECT_EQ((Preferences{{"TrkLocal", "3"}, {"name", "Reference"}}), preferences);
  const std::size_t blockAt = Film({true, "Tiny film", "(c) Glintharbour", true}).size();
  const Bytes after = Read(name);
  EXPECT_EQ(after.size() - blockAt, U32At(after, blockAt));
}

}  // namespace
