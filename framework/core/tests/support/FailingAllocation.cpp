#include "FailingAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> gFailSize{0};
// While above 0, counts this thread's allocations down; the one that
// reaches 0 fails.
thread_local long tAllocationsToFailure = 0;

bool FailsNow(std::size_t size) {
  if (tAllocationsToFailure > 0 && --tAllocationsToFailure == 0) return true;
  std::size_t armed = gFailSize.load();
  return armed != 0 && size == armed && gFailSize.compare_exchange_strong(armed, 0);
}

void* Allocate(std::size_t size) {
  if (FailsNow(size)) throw std::bad_alloc();
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

}  // namespace

namespace kxtest {

void FailNextAllocationOf(std::size_t size) { gFailSize = size; }
bool AllocationFailureArmed() { return gFailSize.load() != 0; }

OutOfMemoryAt::OutOfMemoryAt(long n) { tAllocationsToFailure = n; }
OutOfMemoryAt::~OutOfMemoryAt() { tAllocationsToFailure = 0; }
bool OutOfMemoryAt::Happened() const { return tAllocationsToFailure == 0; }

}  // namespace kxtest

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
