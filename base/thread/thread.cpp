#include "base/thread/thread.h"

namespace kbase {

Thread::~Thread() {
  JoinOwnedThread();
}

void Thread::JoinOwnedThread() {
  if (!thread_handle_)
    return;
  if (WaitForSingleObject(thread_handle_, INFINITE) != WAIT_OBJECT_0)
    TerminateThread(thread_handle_, 0);
  CloseHandle(thread_handle_);
  thread_handle_ = nullptr;
  thread_id_ = 0;
}

}  // namespace kbase
