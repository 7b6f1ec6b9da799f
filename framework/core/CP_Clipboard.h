#pragma once
// The framework-wide clipboard object: its constructor makes it the one the
// text commands reach; the framework's shut-down deletes it.
class CP_Clipboard {
 public:
  CP_Clipboard();
  virtual ~CP_Clipboard();
  CP_Clipboard(const CP_Clipboard&) = delete;
  CP_Clipboard& operator=(const CP_Clipboard&) = delete;

  static CP_Clipboard* GetClipboard();

  virtual bool ClipboardQuery2() { return false; }
};
