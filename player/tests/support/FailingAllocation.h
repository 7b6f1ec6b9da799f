#pragma once
// A test program that links FailingAllocation.cpp allocates through its own
// operator new, which can be told to fail once, as a full heap would.
#include <cstddef>

namespace kxtest {

// The next allocation of exactly `size` bytes made by this program's own
// code throws std::bad_alloc; the ones before and after it succeed.
// Libraries of their own (the movie toolbox) allocate elsewhere.
void FailNextAllocationOf(std::size_t size);
// True while the failure is still waiting for its allocation.
bool AllocationFailureArmed();

}  // namespace kxtest
