// The engine's C entry points over the table core. Handles are checked
// for null and for their kind before use, and no C++ exception leaves an
// entry: the callers are C-style code across a DLL boundary.
#include "C4Dll.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Table.h"

static_assert(offsetof(C4Engine, errorReport) == 210, "the owners write the option word at byte 210");
static_assert(sizeof(C4Engine) == 256, "the owners hold the structure by value");

namespace {

constexpr uint32_t kTableMagic = 0x4334544Cu;  // "C4TL"
constexpr uint32_t kFieldMagic = 0x43344644u;  // "C4FD"
constexpr uint32_t kTagMagic = 0x43345447u;    // "C4TG"

struct EngineState {
  std::vector<std::unique_ptr<C4Table>> tables;
};

int32_t ToInt(xbase::Code code) { return int32_t(code); }

}  // namespace

struct C4Field {
  uint32_t magic = kFieldMagic;
  C4Table* table;
  int index;
  std::string text;  // what the last read of this field answered
};

struct C4Tag {
  uint32_t magic = kTagMagic;
  C4Table* table;
  int index;
};

struct C4Table {
  uint32_t magic = kTableMagic;
  EngineState* engine;
  std::unique_ptr<xbase::Table> table;
  // Made on first look-up and kept, so the owners' habit of looking a field
  // up before every read costs no memory.
  std::vector<std::unique_ptr<C4Field>> fields;
  std::vector<std::unique_ptr<C4Tag>> tags;

  ~C4Table() {
    magic = 0;
    for (auto& f : fields)
      if (f) f->magic = 0;
    for (auto& t : tags)
      if (t) t->magic = 0;
  }
};

namespace {

bool Valid(const C4Table* t) { return t && t->magic == kTableMagic && t->table; }
bool Valid(const C4Field* f) { return f && f->magic == kFieldMagic && Valid(f->table); }
EngineState* State(C4Engine* e) { return e ? static_cast<EngineState*>(e->state) : nullptr; }

// Runs `body`, answering `failed` when it throws (out of memory).
template <typename R, typename F>
R Guarded(R failed, F body) {
  try {
    return body();
  } catch (...) {
    return failed;
  }
}

C4Table* Adopt(EngineState* state, std::unique_ptr<xbase::Table> table) {
  auto handle = std::make_unique<C4Table>();
  handle->engine = state;
  handle->table = std::move(table);
  handle->fields.resize(handle->table->Fields().size());
  handle->tags.resize(handle->table->TagCount());
  state->tables.push_back(std::move(handle));
  return state->tables.back().get();
}

template <typename F>
int32_t OnTable(C4Table* t, F body) {
  if (!Valid(t)) return C4_BAD_ARGUMENT;
  return Guarded<int32_t>(C4_IO_ERROR, [&] { return ToInt(body(*t->table)); });
}

}  // namespace

extern "C" {

int32_t C4API C4Init(C4Engine* engine, const char*, int32_t version, int32_t, int32_t) {
  if (!engine) return C4_BAD_ARGUMENT;
  std::memset(engine, 0, sizeof *engine);
  engine->version = version;
  if (version != C4_VERSION) return C4_BAD_VERSION;
  return Guarded<int32_t>(C4_IO_ERROR, [&] {
    engine->state = new EngineState;
    return C4_OK;
  });
}

int32_t C4API C4InitDone(C4Engine* engine) { return State(engine) ? C4_OK : C4_BAD_ARGUMENT; }

int32_t C4API C4Release(C4Engine* engine) {
  EngineState* state = State(engine);
  if (!state) return C4_BAD_ARGUMENT;
  int32_t result = C4_OK;
  for (auto& t : state->tables) {
    int32_t c = Guarded<int32_t>(C4_IO_ERROR, [&] { return ToInt(t->table->Close()); });
    if (result == C4_OK) result = c;
  }
  delete state;
  engine->state = nullptr;
  return result;
}

C4Table* C4API C4Open(C4Engine* engine, const char* path) {
  EngineState* state = State(engine);
  if (!state || !path) return nullptr;
  return Guarded<C4Table*>(nullptr, [&]() -> C4Table* {
    std::unique_ptr<xbase::Table> table;
    std::string why;
    std::string base = path;
    // The owners give the path without extension; one given with it is taken as meant.
    if (base.size() > 4 && xbase::SameName(base.substr(base.size() - 4), ".dbf")) base.resize(base.size() - 4);
    if (xbase::Table::Open(xbase::LocalFileSystem(), base, table, why) != xbase::Code::Ok) return nullptr;
    return Adopt(state, std::move(table));
  });
}

C4Table* C4API C4Create(C4Engine* engine, const char* path, const C4FieldSpec* fields, const C4TagSpec* tags) {
  EngineState* state = State(engine);
  if (!state || !path || !fields) return nullptr;
  return Guarded<C4Table*>(nullptr, [&]() -> C4Table* {
    std::vector<xbase::FieldSpec> specs;
    for (const C4FieldSpec* f = fields; f->name; ++f) {
      if (f->width < 0 || f->decimals < 0 || f->decimals > 255) return nullptr;
      specs.push_back({f->name, f->type, uint32_t(f->width), uint8_t(f->decimals)});
    }
    std::vector<xbase::TagDef> defs;
    for (const C4TagSpec* t = tags; t && t->name; ++t) {
      if (!t->field) return nullptr;
      defs.push_back({t->name, t->field});
    }
    std::unique_ptr<xbase::Table> table;
    std::string why;
    if (xbase::Table::Create(xbase::LocalFileSystem(), path, specs, defs, table, why) != xbase::Code::Ok)
      return nullptr;
    return Adopt(state, std::move(table));
  });
}

int32_t C4API C4Close(C4Table* table) {
  if (!Valid(table)) return C4_BAD_ARGUMENT;
  EngineState* state = table->engine;
  int32_t result = Guarded<int32_t>(C4_IO_ERROR, [&] { return ToInt(table->table->Close()); });
  auto it = std::find_if(state->tables.begin(), state->tables.end(),
                         [&](const std::unique_ptr<C4Table>& t) { return t.get() == table; });
  if (it != state->tables.end()) state->tables.erase(it);
  return result;
}

C4Tag* C4API C4FindTag(C4Table* table, const char* name) {
  if (!Valid(table) || !name) return nullptr;
  return Guarded<C4Tag*>(nullptr, [&]() -> C4Tag* {
    int i = table->table->FindTag(name);
    if (i < 0) return nullptr;
    auto& slot = table->tags[size_t(i)];
    if (!slot) slot.reset(new C4Tag{kTagMagic, table, i});
    return slot.get();
  });
}

int32_t C4API C4SelectTag(C4Table* table, C4Tag* tag) {
  if (!Valid(table)) return C4_BAD_ARGUMENT;
  if (!tag) return ToInt(table->table->SelectTag(-1));
  if (tag->magic != kTagMagic || tag->table != table) return C4_BAD_ARGUMENT;
  return ToInt(table->table->SelectTag(tag->index));
}

int32_t C4API C4First(C4Table* t) { return OnTable(t, [](xbase::Table& x) { return x.First(); }); }
int32_t C4API C4Last(C4Table* t) { return OnTable(t, [](xbase::Table& x) { return x.Last(); }); }
int32_t C4API C4Skip(C4Table* t, int32_t n) { return OnTable(t, [n](xbase::Table& x) { return x.Skip(n); }); }

int32_t C4API C4AtEnd(C4Table* t) { return Valid(t) ? (t->table->AtEnd() ? 1 : 0) : 1; }
int32_t C4API C4IsDeleted(C4Table* t) { return Valid(t) && t->table->IsDeleted() ? 1 : 0; }
int32_t C4API C4Damaged(C4Table* t) { return Valid(t) && t->table->MetDamage() ? 1 : 0; }

int32_t C4API C4Seek(C4Table* t, const char* key) {
  if (!key) return C4_BAD_ARGUMENT;
  return OnTable(t, [key](xbase::Table& x) { return x.Seek(key); });
}

int32_t C4API C4SeekNext(C4Table* t, const char* key) {
  if (!key) return C4_BAD_ARGUMENT;
  return OnTable(t, [key](xbase::Table& x) { return x.SeekNext(key); });
}

int32_t C4API C4Count(C4Table* t) {
  if (!Valid(t)) return C4_BAD_ARGUMENT;
  return Guarded<int32_t>(C4_IO_ERROR, [&] {
    uint32_t count = 0;
    xbase::Code c = t->table->Count(count);
    if (c != xbase::Code::Ok) return ToInt(c);
    return count > uint32_t(INT32_MAX) ? INT32_MAX : int32_t(count);
  });
}

int32_t C4API C4AppendStart(C4Table* t, int32_t) {
  return OnTable(t, [](xbase::Table& x) { return x.AppendStart(); });
}
int32_t C4API C4Append(C4Table* t) { return OnTable(t, [](xbase::Table& x) { return x.Append(); }); }
int32_t C4API C4AppendNumbered(C4Table* t, C4Field* field) {
  if (!Valid(field) || field->table != t) return C4_BAD_ARGUMENT;
  return OnTable(t, [field](xbase::Table& x) { return x.AppendNumbered(field->index); });
}
int32_t C4API C4MarkDeleted(C4Table* t) { return OnTable(t, [](xbase::Table& x) { return x.MarkDeleted(); }); }
int32_t C4API C4Flush(C4Table* t) { return OnTable(t, [](xbase::Table& x) { return x.Flush(); }); }
int32_t C4API C4Pack(C4Table* t) { return OnTable(t, [](xbase::Table& x) { return x.Pack(); }); }
int32_t C4API C4CompactMemo(C4Table* t) { return OnTable(t, [](xbase::Table& x) { return x.CompactMemo(); }); }

C4Field* C4API C4FindField(C4Table* table, const char* name) {
  if (!Valid(table) || !name) return nullptr;
  return Guarded<C4Field*>(nullptr, [&]() -> C4Field* {
    int i = table->table->FindField(name);
    if (i < 0) return nullptr;
    auto& slot = table->fields[size_t(i)];
    if (!slot) slot.reset(new C4Field{kFieldMagic, table, i, std::string()});
    return slot.get();
  });
}

int32_t C4API C4GetNumber(C4Field* f) {
  if (!Valid(f)) return 0;
  return Guarded<int32_t>(0, [&] { return f->table->table->GetNumber(f->index); });
}

const char* C4API C4GetText(C4Field* f) {
  if (!Valid(f)) return "";
  return Guarded<const char*>("", [&] {
    f->text = f->table->table->GetText(f->index);
    return f->text.c_str();
  });
}

const char* C4API C4GetMemo(C4Field* f) {
  if (!Valid(f)) return "";
  return Guarded<const char*>("", [&] {
    f->text = f->table->table->GetMemo(f->index);
    return f->text.c_str();
  });
}

int32_t C4API C4SetNumber(C4Field* f, int32_t value) {
  if (!Valid(f)) return C4_BAD_ARGUMENT;
  return Guarded<int32_t>(C4_IO_ERROR, [&] { return ToInt(f->table->table->SetNumber(f->index, value)); });
}

int32_t C4API C4SetText(C4Field* f, const char* text) {
  if (!Valid(f) || !text) return C4_BAD_ARGUMENT;
  return Guarded<int32_t>(C4_IO_ERROR, [&] { return ToInt(f->table->table->SetText(f->index, text)); });
}

int32_t C4API C4SetMemo(C4Field* f, const char* text) {
  if (!Valid(f) || !text) return C4_BAD_ARGUMENT;
  return Guarded<int32_t>(C4_IO_ERROR, [&] { return ToInt(f->table->table->SetMemo(f->index, text)); });
}

}  // extern "C"
