#pragma once

#include <windows.h>

#include <cstdint>

namespace kbase {

// An OS thread's identity and, when the object started one, its handle.
//
// Thread rules: thread_id is written by the thread it names, as its body
// starts and ends, and is not synchronised: read it elsewhere only while
// that body is known to run. An owned thread is joined by the owner (the
// destructor), never by the thread itself.
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
