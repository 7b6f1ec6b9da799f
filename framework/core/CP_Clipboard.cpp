#include "CP_Clipboard.h"

#include "CP_Exception.h"
#include "CP_HandleBlock.h"
#include "CP_Utilities.h"

namespace {

constexpr const char* kSource = "CP_Clipboard";

CP_Clipboard* gClipboard = nullptr;

// Another program may hold the clipboard for a moment.
bool OpenWithRetries(HWND owner) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(5);
  }
  return false;
}

// The clipboard open for the length of one call.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) : fOpen(OpenWithRetries(owner)) {}
  ~ClipboardSession() {
    if (fOpen) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  bool IsOpen() const { return fOpen; }

 private:
  bool fOpen;
};

// Global memory of ours until the clipboard takes it over.
class GlobalMemory {
 public:
  explicit GlobalMemory(HGLOBAL memory) : fMemory(memory) {}
  ~GlobalMemory() {
    if (fMemory) FreeGlobalBlock(fMemory);
  }
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;
  HGLOBAL Get() const { return fMemory; }
  HGLOBAL Release() {
    HGLOBAL memory = fMemory;
    fMemory = nullptr;
    return memory;
  }

 private:
  HGLOBAL fMemory;
};

class GlobalLockScope {
 public:
  explicit GlobalLockScope(HGLOBAL memory) : fMemory(memory), fPointer(GlobalLock(memory)) {}
  ~GlobalLockScope() {
    if (fPointer) GlobalUnlock(fMemory);
  }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
  void* Get() const { return fPointer; }

 private:
  HGLOBAL fMemory;
  void* fPointer;
};

[[noreturn]] void Refused(int32_t line) {
  throw CP_PlfrmErrorException(kCP_RequestRefused, kSource, line);
}

}  // namespace

CP_Clipboard::CP_Clipboard() { gClipboard = this; }

// Cleared so that a second shut-down cannot delete it again.
CP_Clipboard::~CP_Clipboard() {
  if (fOwner) DestroyWindow(fOwner);
  if (gClipboard == this) gClipboard = nullptr;
}

CP_Clipboard* CP_Clipboard::GetClipboard() { return gClipboard; }

HWND CP_Clipboard::OwnerWindow() {
  if (!fOwner)
    fOwner = CreateWindowExA(0, "STATIC", "CP_Clipboard", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             ProgramModule(), nullptr);
  return fOwner;
}

void CP_Clipboard::PutData(CP_HandleBlock* block, uint32_t format) {
  ThrowIfNull(block, kSource, __LINE__);
  const int32_t size = block->GetSize() > 0 ? block->GetSize() : 0;
  // An empty block becomes one zero byte: Windows neither locks nor takes
  // global memory of no bytes.
  const SIZE_T allocated = size > 0 ? SIZE_T(size) : 1;
  GlobalMemory memory(AllocGlobalBlock(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, allocated));
  ThrowIfNull(memory.Get(), kSource, __LINE__);
  {
    GlobalLockScope destination(memory.Get());
    ThrowIfNull(destination.Get(), kSource, __LINE__);
    block->ReadBytes(destination.Get(), size);
  }

  ClipboardSession clipboard(OwnerWindow());
  if (!clipboard.IsOpen()) Refused(__LINE__);
  if (!EmptyClipboard()) Refused(__LINE__);
  if (!SetClipboardData(format, memory.Get())) Refused(__LINE__);
  memory.Release();  // the clipboard's now
}

CP_HandleBlock* CP_Clipboard::GetData(uint32_t format) {
  if (!IsClipboardFormatAvailable(CF_TEXT)) return nullptr;
  ClipboardSession clipboard(OwnerWindow());
  if (!clipboard.IsOpen()) return nullptr;
  HANDLE data = GetClipboardData(format);
  if (!data) return nullptr;

  const SIZE_T size = GlobalSize(data);
  if (size > SIZE_T(INT32_MAX)) return nullptr;
  GlobalLockScope source(data);
  if (!source.Get() && size > 0) return nullptr;
  auto* block = new CP_HandleBlock(int32_t(size));
  if (size > 0) {
    void* destination = block->GetPointer();
    if (!destination) {
      delete block;
      return nullptr;
    }
    CopyBytes(source.Get(), destination, int32_t(size));
    block->Unlock();
  }
  return block;
}
