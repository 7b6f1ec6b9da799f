#pragma once
// Shows a cursor, and when asked puts the one it replaced back as it goes.
#include "CP_Win.h"

#include <cstdint>

class CP_Cursor {
 public:
  // `id` names a cursor resource of the program, else a system cursor
  // (IDC_ARROW is 32512).
  CP_Cursor(int32_t id, uint8_t restore);
  virtual ~CP_Cursor();
  CP_Cursor(const CP_Cursor&) = delete;
  CP_Cursor& operator=(const CP_Cursor&) = delete;

  // A cursor that neither the program nor the system has changes nothing.
  void Set(int32_t id);

 private:
  uint8_t fRestore;
  HCURSOR fPrevious = nullptr;
};
