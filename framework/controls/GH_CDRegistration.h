#pragma once
// What the library manager and the engine share when they register a CD:
// the lock that lets only one of them register at a time, where each item
// of a CD's own description hangs in the library, and taking a failed
// registration's rows out again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "C4Dll.h"
#include "CP_Win.h"

namespace gh_library {

// Both programs can find a newly inserted CD unregistered at the same
// moment. A registration holds this lock from its "already registered?"
// check to the last row it appends, and lets go before it shows a box.
class RegistrationLock {
 public:
  // Waits while the other program registers. A program that died holding
  // the lock hands it on. Should the system refuse the lock, the
  // registration goes on without it.
  RegistrationLock();
  ~RegistrationLock() { Release(); }
  RegistrationLock(const RegistrationLock&) = delete;
  RegistrationLock& operator=(const RegistrationLock&) = delete;

  bool Held() const { return fHeld; }
  void Release();

 private:
  HANDLE fMutex = nullptr;
  bool fHeld = false;
};

// One item of a CD's description as the CD numbers it.
struct DescribedItem {
  int32_t number;
  int32_t parent;  // the parent's number; 0 the first item, -1 top level
  int32_t kind;    // 1 is the CD itself
};

constexpr size_t kTopLevel = SIZE_MAX;

// For each item, the place in `items` of the item it hangs under, or
// kTopLevel. The CD numbers its items by their places from 1; a parent
// number beyond the list names the item that carries it. A parent number
// that names no other item puts the item under the CD's own item (the
// first of kind 1, else the first item), never under an unrelated row of
// the library.
std::vector<size_t> ParentPlaces(const std::vector<DescribedItem>& items);

// Takes the rows a failed registration appended out of `table` again: each
// is found by its number on the table's selected tag and marked deleted,
// then the table is packed, so that no "already registered?" check meets
// them. False when some could not be taken out.
bool RemoveAppendedRows(C4Table* table, const std::vector<int32_t>& numbers);

}  // namespace gh_library
