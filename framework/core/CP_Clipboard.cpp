#include "CP_Clipboard.h"

namespace {
CP_Clipboard* gClipboard = nullptr;
}

CP_Clipboard::CP_Clipboard() { gClipboard = this; }

// Cleared so that a second shut-down cannot delete it again.
CP_Clipboard::~CP_Clipboard() {
  if (gClipboard == this) gClipboard = nullptr;
}

CP_Clipboard* CP_Clipboard::GetClipboard() { return gClipboard; }
