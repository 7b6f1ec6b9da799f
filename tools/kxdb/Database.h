#pragma once
// The CD database as an installation ships it: the six tables with their
// fields and tags, the rows the programs need from the start, and a dump
// of any table's rows as the engine reads them.
#include <ostream>
#include <string>
#include <vector>

#include "Format.h"
#include "Tag.h"

namespace kxdb {

struct TableSchema {
  std::string name;
  std::vector<xbase::FieldSpec> fields;
  std::vector<xbase::TagDef> tags;
};

const std::vector<TableSchema>& Schemas();

// The path of a table (without extension) in a folder.
std::string TablePath(const std::string& folder, const std::string& table);

// Creates the six tables in `folder` with their seed rows. Refuses, before
// writing anything, when any of their files exists already.
xbase::Code SeedDatabase(const std::string& folder, std::string& why);

// Prints the rows of the table at `base` in the order of `tag` (record
// order when empty), one line each, rows marked deleted flagged.
xbase::Code DumpTable(const std::string& base, const std::string& tag, std::ostream& out, std::string& why);

}  // namespace kxdb
