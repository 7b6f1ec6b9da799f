#include "CP_Callback.h"

namespace {

std::exception_ptr& Pending() {
  static std::exception_ptr pending;
  return pending;
}

}  // namespace

void CP_KeepPendingException() noexcept {
  if (!Pending()) Pending() = std::current_exception();
}

bool CP_HasPendingException() noexcept { return bool(Pending()); }

void CP_RethrowPendingException() {
  if (!Pending()) return;
  std::exception_ptr e = Pending();
  Pending() = nullptr;
  std::rethrow_exception(e);
}

void CP_DropPendingException() noexcept { Pending() = nullptr; }
