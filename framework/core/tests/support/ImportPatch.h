#pragma once
// Stands in for one function that this test program imports from a system
// library, for as long as the object lives: the program's own calls reach
// the replacement through its import table, so a test can make the system
// fail where a real one runs out (of GDI objects, say). Libraries of their
// own keep calling the system.
#include "CP_Win.h"

#include <cstdint>
#include <cstring>

namespace kxtest {

class ImportPatch {
 public:
  ImportPatch(const char* library, const char* function, void* replacement)
      : ImportPatch(FindSlot(library, [function](const IMAGE_THUNK_DATA& name, uint8_t* base) {
          if (IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal)) return false;
          const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name.u1.AddressOfData);
          return std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0;
        }),
                    replacement) {}
  // A function the library exports by its number only, as the table
  // engine does.
  ImportPatch(const char* library, uint16_t ordinal, void* replacement)
      : ImportPatch(FindSlot(library,
                             [ordinal](const IMAGE_THUNK_DATA& name, uint8_t*) {
                               return IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal) &&
                                      IMAGE_ORDINAL(name.u1.Ordinal) == ordinal;
                             }),
                    replacement) {}
  ~ImportPatch() {
    if (fSlot) Write(fOriginal);
  }
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool Installed() const { return fSlot != nullptr; }
  // The system's own function, for the replacement to pass calls on to.
  void* Original() const { return fOriginal; }

 private:
  ImportPatch(void** slot, void* replacement) : fSlot(slot) {
    if (!fSlot) return;
    fOriginal = *fSlot;
    Write(replacement);
  }

  template <typename Matches>
  static void** FindSlot(const char* library, Matches matches) {
    auto* base = reinterpret_cast<uint8_t*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
      if (_stricmp(reinterpret_cast<const char*>(base + d->Name), library) != 0) continue;
      const DWORD names = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
      auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + names);
      auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
      for (; name->u1.AddressOfData; ++name, ++slot)
        if (matches(*name, base)) return reinterpret_cast<void**>(&slot->u1.Function);
    }
    return nullptr;
  }
  void Write(void* value) {
    DWORD old = 0;
    VirtualProtect(fSlot, sizeof *fSlot, PAGE_READWRITE, &old);
    *fSlot = value;
    VirtualProtect(fSlot, sizeof *fSlot, old, &old);
  }

  void** fSlot = nullptr;
  void* fOriginal = nullptr;
};

}  // namespace kxtest
