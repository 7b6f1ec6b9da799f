#include "Database.h"

#include <cstdio>

#include "File.h"
#include "Table.h"

namespace kxdb {
namespace {

using xbase::Code;
using xbase::FieldSpec;

FieldSpec Number(const char* name, uint32_t width = 11) { return {name, 'N', width, 0}; }
FieldSpec Text(const char* name, uint32_t width) { return {name, 'C', width, 0}; }
FieldSpec Memo(const char* name) { return {name, 'M', 10, 0}; }

// Widths: texts the programs hold in fixed buffers get the buffer's size
// less its NUL; paths get FoxPro's widest character field. The item text
// may be longer than any character field, so it is a memo.
std::vector<TableSchema> MakeSchemas() {
  return {
      {"GH_ConfigDB",
       {Number("ITEM_ID"), Number("SORTORDER"), Number("PARENT_ID"), Number("ITEMTYPE"), Number("PARENTTYPE"),
        Memo("ITEMTEXT"), Number("ICONRESID", 6), Number("LOOP"), Number("RATE"), Number("VOLUME"),
        Number("PLAY"), Number("TKLOCAL"), Number("TKGLOBAL"), Number("TKBKG"), Memo("FILEPATH"),
        Text("FILENAME", 254), Text("ALIASROOT", 99), Memo("VOLUMENAME"), Text("ORIGIN", 199)},
       {{"ITEMID", "ITEM_ID"}, {"ALIASROOT", "ALIASROOT"}}},
      {"GH_DriveDB",
       {Number("DRIVEID"), Text("DRIVENAME", 99), Text("LABEL", 99), Text("PATH", 254)},
       {{"ALIASROOT", "LABEL"}}},
      {"GH_ActionDB",
       {Number("ACTIONID"), Number("ACTIONTYPE"), Text("ACTIONTEXT", 253), Text("ALIASROOT", 29),
        Text("SPRITE", 199)},
       {{"ACTIONIDX", "ACTIONID"}}},
      {"GH_Track",
       {Number("TRACKING_I"), Number("GMID"), Number("EM_COUNT"), Text("EM_TEXT", 51), Number("EM_TEXT_CO"),
        Number("MODE_P"), Number("MODE_A"), Number("MODE_S"), Text("REC_SAVED", 3)},
       {{"TRIDX", "TRACKING_I"}}},
      {"GH_FunctionDB", {Number("FUNCID"), Text("FUNCNAME", 64)}, {{"FIDX", "FUNCID"}}},
      {"GH_ParameterDB",
       {Number("PARAMID"), Number("FUNCID"), Text("PARAMNAME", 64), Text("PARAMVALUE", 254)},
       {{"PIDX", "PARAMID"}}},
  };
}

const char* const kFilmsFolder = "Glintharbour Films";
const char* const kWastebasket = "Wastebasket";

struct Value {
  const char* field;
  int32_t number;
  const char* text;  // null for a number
};

// Every number is written, so that other tools read 0 where nothing was set.
Code AppendRow(xbase::Table& t, const std::vector<Value>& values, std::string& why) {
  Code c = t.AppendStart();
  for (size_t f = 0; f < t.Fields().size() && c == Code::Ok; ++f)
    if (t.Fields()[f].IsNumeric()) c = t.SetNumber(int(f), 0);
  for (const Value& v : values) {
    if (c != Code::Ok) break;
    int f = t.FindField(v.field);
    if (f < 0) {
      why = std::string("no field ") + v.field;
      return Code::BadArgument;
    }
    c = v.text ? t.SetText(f, v.text) : t.SetNumber(f, v.number);
  }
  if (c == Code::Ok) c = t.Append();
  if (c == Code::Ok) c = t.Flush();
  if (c != Code::Ok) why = t.LastError();
  return c;
}

// The rows the programs expect from the start: the wastebasket, the films
// folder's location, and the films folder's drive, whose empty PATH makes
// the first start ask for the folder.
Code SeedRows(const std::string& table, xbase::Table& t, std::string& why) {
  if (table == "GH_ConfigDB") {
    Code c = AppendRow(t,
                       {{"ITEM_ID", -1001, nullptr}, {"ITEMTYPE", 5, nullptr}, {"PARENTTYPE", 5, nullptr},
                        {"ITEMTEXT", 0, kWastebasket}, {"ALIASROOT", 0, kWastebasket}},
                       why);
    if (c != Code::Ok) return c;
    return AppendRow(t,
                     {{"ITEM_ID", 1, nullptr}, {"ITEMTYPE", 2, nullptr}, {"PARENTTYPE", 2, nullptr},
                      {"ITEMTEXT", 0, kFilmsFolder}, {"ALIASROOT", 0, kFilmsFolder}},
                     why);
  }
  if (table == "GH_DriveDB") {
    return AppendRow(t,
                     {{"DRIVEID", 1, nullptr}, {"DRIVENAME", 0, kFilmsFolder}, {"LABEL", 0, kFilmsFolder},
                      {"PATH", 0, ""}},
                     why);
  }
  return Code::Ok;
}

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 32 || c == 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

}  // namespace

const std::vector<TableSchema>& Schemas() {
  static const std::vector<TableSchema> schemas = MakeSchemas();
  return schemas;
}

std::string TablePath(const std::string& folder, const std::string& table) {
#ifdef _WIN32
  const char separator = '\\';
#else
  const char separator = '/';
#endif
  if (folder.empty()) return table;
  char last = folder.back();
  if (last == '/' || last == '\\') return folder + table;
  return folder + separator + table;
}

Code SeedDatabase(const std::string& folder, std::string& why) {
  xbase::FileSystem& fs = xbase::LocalFileSystem();
  for (const TableSchema& s : Schemas()) {
    for (const char* ext : {".dbf", ".fpt", ".tags"}) {
      std::string path = TablePath(folder, s.name) + ext;
      if (fs.Exists(path)) {
        why = path + " exists already; nothing was written";
        return Code::Exists;
      }
    }
  }
  for (const TableSchema& s : Schemas()) {
    std::unique_ptr<xbase::Table> table;
    Code c = xbase::Table::Create(fs, TablePath(folder, s.name), s.fields, s.tags, table, why);
    if (c == Code::Ok) c = SeedRows(s.name, *table, why);
    if (c == Code::Ok) c = table->Close();
    if (c != Code::Ok) {
      why = s.name + ": " + why;
      return c;
    }
  }
  return Code::Ok;
}

Code DumpTable(const std::string& base, const std::string& tag, std::ostream& out, std::string& why) {
  std::unique_ptr<xbase::Table> table;
  Code c = xbase::Table::Open(xbase::LocalFileSystem(), base, table, why);
  if (c != Code::Ok) return c;
  if (!tag.empty()) {
    int t = table->FindTag(tag);
    if (t < 0) {
      why = "the table has no tag " + tag;
      return Code::BadArgument;
    }
    (void)table->SelectTag(t);
  }
  uint32_t count = 0;
  c = table->Count(count);
  if (c != Code::Ok) {
    why = table->LastError();
    return c;
  }
  out << base << ": " << count << (count == 1 ? " row" : " rows") << ", in "
      << (tag.empty() ? std::string("record") : tag) << " order\n";
  const std::vector<xbase::Field>& fields = table->Fields();
  for (c = table->First(); c == Code::Ok; c = table->Skip(1)) {
    out << "row " << (*table->Row() + 1) << (table->IsDeleted() ? " (deleted):" : ":");
    for (size_t i = 0; i < fields.size(); ++i) {
      const xbase::Field& f = fields[i];
      out << ' ' << f.name << '=';
      if (f.IsNumeric()) {
        out << table->GetNumber(int(i));
      } else {
        table->ClearError();
        std::string text(xbase::TrimBlanks(table->GetText(int(i))));
        out << Quoted(text);
        if (!table->LastError().empty()) out << " (" << table->LastError() << ")";
      }
    }
    out << '\n';
  }
  if (c != Code::Eof) {
    why = table->LastError();
    return c;
  }
  return table->Close();
}

}  // namespace kxdb
