#pragma once

// Debug-build checks of rules a caller can break: which thread may call an
// operation, and preconditions whose violation is certainly a caller error.
// A failed check prints where it failed and aborts; release builds (NDEBUG)
// compile the checks out without evaluating their conditions.

namespace kbase {

// Called with the failed condition's text and place.
using CheckFailureHandler = void (*)(const char* condition, const char* file, int line);

// Replaces what a failed check does (null restores the default, which
// prints and aborts); returns the handler it replaced. Callable from any
// thread; meant for tests that provoke a failure on purpose.
CheckFailureHandler SetCheckFailureHandler(CheckFailureHandler handler);

// Reports a failed check to the installed handler.
void CheckFailed(const char* condition, const char* file, int line);

}  // namespace kbase

#if defined(NDEBUG)
#define KBASE_DCHECK(condition) static_cast<void>(sizeof(!(condition)))
#else
#define KBASE_DCHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::kbase::CheckFailed(#condition, __FILE__, __LINE__))
#endif
