#pragma once
// A CD database of its own for each test: the six tables seeded in a fresh
// folder, and the settings file's DBPath pointing at them.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "C4Dll.h"
#include "database/CDDatabase.h"

// One value of a row to add: a number, or a text when `text` is set.
struct Cell {
  const char* field;
  int32_t number;
  const char* text = nullptr;
};

class DatabaseFixture : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The folder of this test's tables (a Windows path, no trailing backslash).
  const std::string& Folder() const { return fFolder; }
  std::string TablePath(const std::string& table) const { return fFolder + "\\" + table; }

  // Opens the engine's object as the engine does.
  std::unique_ptr<CDDatabase> Open(const std::string& application = "Player");

  // Writes straight into a table, bypassing the object under test. Rows
  // come out in the order given; `deleted` marks the last row added.
  void AddRow(const std::string& table, const std::vector<Cell>& cells, bool deleted = false);
  // Empties a table of its seed rows.
  void EmptyTable(const std::string& table);
  // Takes the rows whose numeric `field` holds `number` out of a table.
  void RemoveRows(const std::string& table, const char* field, int32_t number);
  // Every row of a table in record order as "FIELD=value" texts of the
  // fields asked for; marked rows carry a leading '*'.
  std::vector<std::string> Rows(const std::string& table, const std::vector<std::string>& fields);

  static void WriteSetting(const std::string& key, const char* value);
  static std::string ReadSetting(const std::string& key);

private:
  std::string fFolder;
};

// A small film; with `withData`, a database of its own holding the
// preferences and the sprite bindings (sprite, command text).
void WriteFilmFile(const std::string& path, bool withData, const std::map<std::string, std::string>& preferences = {},
                   const std::vector<std::pair<std::string, std::string>>& actions = {});

// A folder that exists for the length of a test.
std::string MakeTempFolder(const std::string& name);
void RemoveTree(const std::string& folder);
