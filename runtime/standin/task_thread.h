#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "runtime/include/cef_task.h"

namespace cef_standin {

// One of the runtime's own threads: it runs posted tasks in order, delayed
// tasks when due, and dispatches the window messages of the windows it
// creates in between.
class TaskThread {
 public:
  explicit TaskThread(std::string name);
  TaskThread(const TaskThread&) = delete;
  TaskThread& operator=(const TaskThread&) = delete;
  ~TaskThread();

  // Starts the thread and returns once it runs.
  void Start();
  // Drops the tasks not yet run, ends the thread and waits for it. Not on
  // the thread itself.
  void Stop();

  // False once the thread is stopping or before it started.
  bool PostTask(CefRefPtr<CefTask> task, int64_t delay_ms);
  // Runs `work` on the thread and returns once it ran; at once when
  // called on the thread itself. False when it did not run: the thread
  // does not run, or stopped before it came to the work.
  bool RunAndWait(const std::function<void()>& work);
  bool BelongsToCurrentThread() const;
  DWORD thread_id() const { return thread_id_; }
  const std::string& name() const { return name_; }

 private:
  struct DelayedTask {
    ULONGLONG due_ms;
    uint64_t sequence;
    CefRefPtr<CefTask> task;
  };
  struct LaterTask {
    bool operator()(const DelayedTask& a, const DelayedTask& b) const {
      return a.due_ms != b.due_ms ? a.due_ms > b.due_ms : a.sequence > b.sequence;
    }
  };

  void Run();
  // The tasks to run now, in order; sets `wait_ms` to the time until the
  // next delayed task.
  std::vector<CefRefPtr<CefTask>> TakeDueTasks(DWORD* wait_ms, bool* quit);
  void DispatchMessages();

  const std::string name_;
  std::thread thread_;
  std::atomic<DWORD> thread_id_{0};
  HANDLE wake_event_;

  std::mutex mutex_;
  std::condition_variable started_;
  bool running_ = false;  // guarded by mutex_
  bool quit_ = false;     // guarded by mutex_
  uint64_t next_sequence_ = 0;
  std::deque<CefRefPtr<CefTask>> queue_;  // guarded by mutex_
  std::vector<DelayedTask> delayed_;      // a heap; guarded by mutex_
};

}  // namespace cef_standin
