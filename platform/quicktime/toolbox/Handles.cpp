// Relocatable memory blocks: a handle points to a master pointer, which
// points to the data. The block remembers its size.
#include "Toolbox.h"

#include <cstdlib>
#include <cstring>

using qtb::SetError;
using qtb::Toolbox;

namespace {

// The master pointer comes first, so a handle is the block's address.
struct HandleBlock {
  char* master = nullptr;
  int32_t size = 0;
};

HandleBlock* BlockOf(Handle h) { return reinterpret_cast<HandleBlock*>(h); }

}  // namespace

namespace qtb {

// Handles still alive when the library goes are freed with it.
Toolbox::~Toolbox() {
  for (Handle h : handles) {
    HandleBlock* block = BlockOf(h);
    std::free(block->master);
    delete block;
  }
}

bool ResizeHandle(Handle h, int32_t size) {
  if (size < 0) return false;
  HandleBlock* block = BlockOf(h);
  // Never a null master pointer, even for an empty block.
  char* data = static_cast<char*>(std::realloc(block->master, size_t(size) + 1));
  if (!data) return false;
  if (size > block->size) std::memset(data + block->size, 0, size_t(size - block->size));
  block->master = data;
  block->size = size;
  return true;
}

}  // namespace qtb

Handle NewHandle(int32_t byteCount) {
  return qtb::Guard<Handle>(nullptr, [&]() -> Handle {
    if (byteCount < 0) {
      SetError(paramErr);
      return nullptr;
    }
    auto* block = new HandleBlock;
    block->master = static_cast<char*>(std::calloc(size_t(byteCount) + 1, 1));
    if (!block->master) {
      delete block;
      SetError(memFullErr);
      return nullptr;
    }
    block->size = byteCount;
    Handle h = &block->master;
    try {
      Toolbox::Get().handles.insert(h);
    } catch (...) {
      std::free(block->master);
      delete block;
      throw;
    }
    SetError(noErr);
    return h;
  });
}

int32_t GetHandleSize(Handle h) {
  if (!h || !Toolbox::Get().handles.count(h)) {
    SetError(nilHandleErr);
    return 0;
  }
  SetError(noErr);
  return BlockOf(h)->size;
}

void DisposeHandle(Handle h) {
  if (!h || !Toolbox::Get().handles.erase(h)) {
    SetError(nilHandleErr);
    return;
  }
  HandleBlock* block = BlockOf(h);
  std::free(block->master);
  delete block;
  SetError(noErr);
}
