#pragma once

#include <windows.h>

namespace kbase {

// A critical section. The base runtime's locks spin briefly before they
// sleep: they guard a handful of instructions each.
class Lock {
 public:
  static constexpr DWORD kSpinCount = 2000;

  Lock() { InitializeCriticalSectionAndSpinCount(&section_, kSpinCount); }
  ~Lock() { DeleteCriticalSection(&section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void Acquire() { EnterCriticalSection(&section_); }
  void Release() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class AutoLock {
 public:
  explicit AutoLock(Lock& lock) : lock_(lock) { lock_.Acquire(); }
  ~AutoLock() { lock_.Release(); }
  AutoLock(const AutoLock&) = delete;
  AutoLock& operator=(const AutoLock&) = delete;

 private:
  Lock& lock_;
};

}  // namespace kbase
