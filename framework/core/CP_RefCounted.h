#pragma once
#include <cstdint>

// Shared objects live while a holder has added a reference. An object that
// nobody added a reference to is deleted by the first RemoveReference.
class CP_M_ReferenceCounted {
 public:
  CP_M_ReferenceCounted() = default;
  CP_M_ReferenceCounted(const CP_M_ReferenceCounted&) = delete;
  CP_M_ReferenceCounted& operator=(const CP_M_ReferenceCounted&) = delete;
  virtual ~CP_M_ReferenceCounted() = default;

  void AddReference() { ++fCount; }
  void RemoveReference() {
    if (fCount == 0 || --fCount == 0) delete this;
  }
  int32_t GetReferenceCount() const { return fCount; }

 private:
  int32_t fCount = 0;
};
