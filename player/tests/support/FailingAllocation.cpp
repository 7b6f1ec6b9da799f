#include "FailingAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> gFailSize{0};

void* Allocate(std::size_t size) {
  std::size_t armed = gFailSize.load();
  if (armed != 0 && size == armed && gFailSize.compare_exchange_strong(armed, 0)) throw std::bad_alloc();
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

}  // namespace

namespace kxtest {

void FailNextAllocationOf(std::size_t size) { gFailSize = size; }
bool AllocationFailureArmed() { return gFailSize.load() != 0; }

}  // namespace kxtest

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
