#include "CP_Cursor.h"

#include "CP_Framework.h"

CP_Cursor::CP_Cursor(int32_t id, uint8_t restore) : fRestore(restore) { Set(id); }

CP_Cursor::~CP_Cursor() {
  if (fRestore == 1 && fPrevious) SetCursor(fPrevious);
}

void CP_Cursor::Set(int32_t id) {
  LPCSTR name = MAKEINTRESOURCEA(id);
  HCURSOR cursor = gCP_Instance ? LoadCursorA(gCP_Instance, name) : nullptr;
  if (!cursor) cursor = LoadCursorA(nullptr, name);
  if (cursor) fPrevious = SetCursor(cursor);
}
