// The scan's one-open reader of a film file reads what the readers that go
// by the path read: the same size label, preferences and actions, and the
// same failures, whatever the film holds.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

#include "CP_Framework.h"
#include "DatabaseTestSupport.h"
#include "FilmBytes.h"
#include "FilmFileReader.h"
#include "GH_FilmsFolder.h"
#include "TempDir.h"
#include "store/Exception.h"

namespace {

using Actions = std::vector<std::pair<std::string, std::string>>;

// What one reader made of a film: its answer, or the failure's kind.
struct Read {
  manager_data::Preferences preferences;
  std::string preferencesFailure;
  std::vector<std::pair<std::string, std::string>> actions;
  std::string actionsFailure;
};

// Damaged data makes a reader write a new database over it, which fails as
// a write to the film's file for the path readers and as a write to the
// pages read for this one: the same refusal.
template <typename Work>
std::string FailureOf(Work work) {
  try {
    work();
  } catch (const WriteError&) {
    return "write refused";
  } catch (const std::exception& failure) {
    return typeid(failure).name();
  }
  return std::string();
}

std::vector<std::pair<std::string, std::string>> Pairs(const std::vector<ActionRecord>& records) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const ActionRecord& r : records) pairs.emplace_back(r.sprite, r.actionText);
  return pairs;
}

Read ByPath(const std::string& path) {
  Read read;
  read.preferencesFailure = FailureOf([&] { manager_data::ReadFilmPreferences(path, read.preferences); });
  std::vector<ActionRecord> records;
  read.actionsFailure = FailureOf([&] { manager_data::ImportFilmActions(path, records); });
  read.actions = Pairs(records);
  return read;
}

Read ByReader(FilmFileReader& reader) {
  Read read;
  read.preferencesFailure = FailureOf([&] { reader.ReadPreferences(read.preferences); });
  std::vector<ActionRecord> records;
  read.actionsFailure = FailureOf([&] { reader.ReadActions(records); });
  read.actions = Pairs(records);
  return read;
}

// The film's bytes cut to their first `size`.
void Cut(const std::string& path, size_t size) {
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  dbtest::WriteFile(path, bytes.substr(0, size));
}

TEST(FilmFileReader, ReadsWhatThePathReadersRead) {
  ASSERT_EQ(0, InitQuickTime()) << "films without data of their own are read through the toolbox";
  TempDir folder;
  Actions many;
  for (int n = 0; n < 40; ++n) many.emplace_back("sprite" + std::to_string(n), "playQT(Track=\"" + std::to_string(n) + "\")");
  const std::map<std::string, std::string> large = {{"name", "Large"}, {"notes", std::string(40000, 'n')}};

  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;  // writes the film at the path
  };
  const Case cases[] = {
      {"data and actions",
       [](const std::string& p) {
         dbtest::WriteFilm(p, {{"name", "Sea"}, {"TrkLocal", "2"}}, {{"button", "playQT(Track=\"2\")"}});
       }},
      // The data block reaches over many of the reader's pages.
      {"data over many pages", [&](const std::string& p) { dbtest::WriteFilm(p, large, many); }},
      {"no data of its own",
       [](const std::string& p) {
         const Bytes film = filmbytes::Film({true, "Plain", "(c) Harbour", true});
         dbtest::WriteFile(p, std::string(film.begin(), film.end()));
       }},
      {"data cut short",
       [&](const std::string& p) {
         dbtest::WriteFilm(p, large, many);
         Cut(p, 30000);
       }},
      {"data damaged",
       [](const std::string& p) {
         dbtest::WriteFilm(p, {{"name", "Sea"}}, {{"button", "stop()"}});
         std::fstream file(p, std::ios::in | std::ios::out | std::ios::binary);
         std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
         const size_t at = bytes.find("|XB_[HU");  // the database's signature
         ASSERT_NE(std::string::npos, at);
         file.seekp(std::streamoff(at));
         file.write("Broken!", 7);
       }},
      {"not there", [](const std::string&) {}},
      {"empty", [](const std::string& p) { dbtest::WriteFile(p, ""); }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File("film" + std::to_string(++n) + ".flm");
    c.make(path);
    const Read want = ByPath(path);
    FilmFileReader reader(path);
    EXPECT_EQ(FormatFilmSize(path), reader.SizeText());
    const Read got = ByReader(reader);
    EXPECT_EQ(want.preferences, got.preferences);
    EXPECT_EQ(want.preferencesFailure, got.preferencesFailure);
    EXPECT_EQ(want.actions, got.actions);
    EXPECT_EQ(want.actionsFailure, got.actionsFailure);
    // Read again from the pages already read: the same once more.
    const Read again = ByReader(reader);
    EXPECT_EQ(want.actions, again.actions);
    EXPECT_EQ(want.preferences, again.preferences);
  }
}

// The reader lets go of the file for a deletion; what it reads afterwards
// comes by the path.
TEST(FilmFileReader, LetsGoOfTheFileWhenClosed) {
  TempDir folder;
  const std::string path = folder.File("sea.flm");
  dbtest::WriteFilm(path, {{"name", "Sea"}}, {{"button", "stop()"}});
  FilmFileReader reader(path);
  EXPECT_FALSE(DeleteFileA(path.c_str())) << "held open while it reads";
  reader.Close();
  EXPECT_TRUE(DeleteFileA(path.c_str()));
  std::vector<ActionRecord> records;
  EXPECT_ANY_THROW(reader.ReadActions(records)) << "the file is gone";
}

}  // namespace
