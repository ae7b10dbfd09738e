#pragma once

#include <windows.h>

#include <cstdint>

namespace kbase {

// An OS thread's identity and, when the object started one, its handle.
class Thread {
 public:
  Thread() = default;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  virtual ~Thread();

  virtual void ThreadBody() {}

  uint32_t thread_id() const { return thread_id_; }

 protected:
  // Waits for an owned OS thread to end, then closes its handle.
  void JoinOwnedThread();

  uint32_t thread_id_ = 0;
  HANDLE thread_handle_ = nullptr;
};

}  // namespace kbase
