// The command texts bound to sprites: rows of GH_ActionDB.
#include "database/CDDatabase.h"
#include "database/TableFields.h"

using namespace tablefields;

void CDDatabase::WriteActionRecord(const ActionRecord& r) {
  C4Table* t = fActionTable;
  if (!t) return;
  SetNumber(t, "ACTIONID", r.actionID);
  SetNumber(t, "ACTIONTYPE", r.actionType);
  SetText(t, "ACTIONTEXT", BufferText(r.actionText));
  SetText(t, "ALIASROOT", BufferText(r.aliasRoot));
  SetText(t, "SPRITE", BufferText(r.sprite));
}

void CDDatabase::ReadActionRecord(ActionRecord& r) {
  C4Table* t = fActionTable;
  if (!t) return;
  GetNumber(t, "ACTIONID", r.actionID);
  GetNumber(t, "ACTIONTYPE", r.actionType);
  GetText(t, "ACTIONTEXT", r.actionText);
  GetText(t, "ALIASROOT", r.aliasRoot);
  GetText(t, "SPRITE", r.sprite);
}

int32_t CDDatabase::FindSpriteAction(ActionRecord& query) {
  C4Table* t = fActionTable;
  if (!t) return 1;
  const std::string alias = BufferText(query.aliasRoot);
  const std::string sprite = BufferText(query.sprite);
  int32_t code = C4First(t);
  while (code == 0) {
    ActionRecord row{};
    ReadActionRecord(row);
    if (row.actionType == query.actionType && BufferText(row.aliasRoot) == alias &&
        BufferText(row.sprite) == sprite) {
      ReadActionRecord(query);
      return 0;
    }
    code = C4Skip(t, 1);
  }
  return 1;
}

int32_t CDDatabase::StoreActionRecord(ActionRecord& record) { return StoreAction(record) == ActionStored::Failed; }

CDDatabase::ActionStored CDDatabase::StoreAction(ActionRecord& record) {
  C4Table* t = fActionTable;
  if (!t) return ActionStored::Failed;
  // A binding that exists already is rewritten in its own row: the number
  // the caller's record carries came from a CD file or a film and may name
  // another binding's row.
  int32_t existing = 0;
  if (FindActionRowId(BufferText(record.aliasRoot), BufferText(record.sprite), record.actionType, existing)) {
    ActionRecord update = record;
    update.actionID = existing;
    return UpdateActionRecord(update) != 0 ? ActionStored::Failed : ActionStored::Rewritten;
  }
  const int32_t started = C4AppendStart(t, 1);
  if (Failed(t, gh_library::TableStep::Write, started) || started != 0) return ActionStored::Failed;
  WriteActionRecord(record);
  const int32_t appended = AppendNumbered(t, "ACTIONID", record.actionID);
  const bool failed = Failed(t, gh_library::TableStep::Write, appended) || appended != 0;
  const bool unflushed = Failed(t, gh_library::TableStep::Write, C4Flush(t));
  return failed || unflushed ? ActionStored::Failed : ActionStored::Appended;
}

int32_t CDDatabase::UpdateActionRecord(const ActionRecord& record) {
  C4Table* t = fActionTable;
  if (!t) return 1;
  Failed(t, gh_library::TableStep::Write, C4First(t));
  if (C4Seek(t, NumberKey(record.actionID).c_str()) != 0) return 1;
  WriteActionRecord(record);
  return Failed(t, gh_library::TableStep::Write, C4Flush(t)) ? 1 : 0;
}
