#pragma once
// Exceptions cannot unwind through Windows' own frames with this compiler, so
// no exception may leave a window procedure, hook, enumerator or COM method.
// Every such callback catches what it throws, keeps it here and answers a
// neutral result; the framework rethrows it once the Windows call that led to
// the callback has returned.
#include <exception>
#include <utility>

// Keeps the exception being handled; the first one kept wins until rethrown.
void CP_KeepPendingException() noexcept;
bool CP_HasPendingException() noexcept;
// Rethrows and forgets the kept exception; nothing when there is none.
void CP_RethrowPendingException();
// Forgets the kept exception without throwing it.
void CP_DropPendingException() noexcept;

// Runs body; on any exception keeps it and answers neutral.
template <typename R, typename F>
R CP_GuardCallback(R neutral, F&& body) noexcept {
  try {
    return std::forward<F>(body)();
  } catch (...) {
    CP_KeepPendingException();
    return neutral;
  }
}

template <typename F>
void CP_GuardCallback(F&& body) noexcept {
  try {
    std::forward<F>(body)();
  } catch (...) {
    CP_KeepPendingException();
  }
}
