#pragma once
// A test program that lists FailingAllocation.cpp among its sources
// allocates through its own operator new, which can be told to fail as a
// full heap would. Libraries of their own (the movie toolbox) allocate
// elsewhere.
#include <cstddef>

namespace kxtest {

// The next allocation of exactly `size` bytes, on any thread, throws
// std::bad_alloc; the ones before and after it succeed.
void FailNextAllocationOf(std::size_t size);
// True while that failure is still waiting for its allocation.
bool AllocationFailureArmed();

// This thread's n-th allocation from now throws std::bad_alloc, while the
// object lives.
class OutOfMemoryAt {
 public:
  explicit OutOfMemoryAt(long n);
  ~OutOfMemoryAt();
  OutOfMemoryAt(const OutOfMemoryAt&) = delete;
  OutOfMemoryAt& operator=(const OutOfMemoryAt&) = delete;
  // Whether that allocation came.
  bool Happened() const;
};

}  // namespace kxtest
