#include "GH_CDRegistration.h"

namespace gh_library {

namespace {

const char* const kLockName = "Glintharbour CD registration";
constexpr int32_t kCDKind = 1;

// The place of the first item that carries `number`, or kTopLevel.
size_t PlaceOfNumber(const std::vector<DescribedItem>& items, int32_t number) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].number == number) return i;
  return kTopLevel;
}

size_t CDPlace(const std::vector<DescribedItem>& items) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].kind == kCDKind) return i;
  return 0;
}

}  // namespace

RegistrationLock::RegistrationLock() : fMutex(CreateMutexA(nullptr, FALSE, kLockName)) {
  if (!fMutex) return;
  const DWORD waited = WaitForSingleObject(fMutex, INFINITE);
  fHeld = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

void RegistrationLock::Release() {
  if (fHeld) ReleaseMutex(fMutex);
  fHeld = false;
  if (fMutex) CloseHandle(fMutex);
  fMutex = nullptr;
}

std::vector<size_t> ParentPlaces(const std::vector<DescribedItem>& items) {
  std::vector<size_t> places(items.size(), kTopLevel);
  const size_t cd = CDPlace(items);
  for (size_t i = 0; i < items.size(); ++i) {
    const DescribedItem& item = items[i];
    if (item.kind == kCDKind || item.parent == -1) continue;
    size_t place = kTopLevel;
    if (item.parent == 0) {
      place = 0;
    } else if (item.parent > 0 && PlaceOfNumber(items, item.parent) != kTopLevel) {
      place = size_t(item.parent) <= items.size() ? size_t(item.parent) - 1 : PlaceOfNumber(items, item.parent);
    }
    // An item cannot hang under itself.
    if (place == kTopLevel || place == i) place = cd == i ? kTopLevel : cd;
    places[i] = place;
  }
  return places;
}

}  // namespace gh_library
