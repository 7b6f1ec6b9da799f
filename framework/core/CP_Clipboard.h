#pragma once
// The framework-wide clipboard object: moves bytes between movable memory
// blocks and the Windows clipboard. Its constructor makes it the one the
// text commands reach; the framework's shut-down deletes it.
#include "CP_Win.h"

#include <cstdint>

class CP_HandleBlock;

class CP_Clipboard {
 public:
  CP_Clipboard();
  virtual ~CP_Clipboard();
  CP_Clipboard(const CP_Clipboard&) = delete;
  CP_Clipboard& operator=(const CP_Clipboard&) = delete;

  static CP_Clipboard* GetClipboard();

  // Puts a copy of the block's bytes on the clipboard under `format`,
  // replacing all it held. The block stays the caller's. Throws when the
  // clipboard cannot be had or refuses the data; it is then unchanged.
  virtual void PutData(CP_HandleBlock* block, uint32_t format);
  // A new block with a copy of the data of `format`, owned by the caller;
  // null while the clipboard holds no text, whatever format is asked for.
  virtual CP_HandleBlock* GetData(uint32_t format);
  virtual bool ClipboardQuery2() { return false; }

  // The name the text commands use for PutData.
  void SetData(CP_HandleBlock* block, uint32_t format, int32_t = 1) { PutData(block, format); }

 private:
  // The window that owns what this object puts on the clipboard: Windows
  // refuses data from a clipboard that was opened without an owner.
  HWND OwnerWindow();

  HWND fOwner = nullptr;
};
