#include "runtime/standin/task_thread.h"

#include <algorithm>
#include <utility>

namespace cef_standin {

namespace {

// Work that someone waits for. It signals when it is destroyed, so that a
// task dropped unrun by a stopping thread releases its waiter too.
class WaitedTask : public CefTask {
 public:
  WaitedTask(const std::function<void()>& work, bool* ran, HANDLE done)
      : work_(work), ran_(ran), done_(done) {}
  ~WaitedTask() override { SetEvent(done_); }

  void Execute() override {
    work_();
    *ran_ = true;
  }

 private:
  const std::function<void()>& work_;
  bool* const ran_;
  const HANDLE done_;

  IMPLEMENT_REFCOUNTING(WaitedTask);
};

}  // namespace

TaskThread::TaskThread(std::string name)
    : name_(std::move(name)), wake_event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

TaskThread::~TaskThread() {
  Stop();
  if (wake_event_)
    CloseHandle(wake_event_);
}

void TaskThread::Start() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (running_ || thread_.joinable())
    return;
  quit_ = false;
  thread_ = std::thread([this] { Run(); });
  started_.wait(lock, [this] { return running_; });
}

void TaskThread::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!thread_.joinable())
      return;
    quit_ = true;
  }
  SetEvent(wake_event_);
  thread_.join();
  thread_id_ = 0;
}

bool TaskThread::PostTask(CefRefPtr<CefTask> task, int64_t delay_ms) {
  if (!task)
    return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!running_ || quit_)
      return false;
    if (delay_ms <= 0) {
      queue_.push_back(std::move(task));
    } else {
      delayed_.push_back(
          {GetTickCount64() + static_cast<ULONGLONG>(delay_ms), next_sequence_++, std::move(task)});
      std::push_heap(delayed_.begin(), delayed_.end(), LaterTask());
    }
  }
  SetEvent(wake_event_);
  return true;
}

bool TaskThread::RunAndWait(const std::function<void()>& work) {
  if (BelongsToCurrentThread()) {
    work();
    return true;
  }
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!done)
    return false;
  bool ran = false;
  // The task's last reference goes on the thread, or here when posting
  // fails; either way the event is set.
  PostTask(new WaitedTask(work, &ran, done), 0);
  // Messages other threads send to this thread's windows are handled
  // while it waits: the work may create or activate windows whose
  // notifications the caller's windows must answer first.
  while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(done);
  return ran;
}

bool TaskThread::BelongsToCurrentThread() const {
  return thread_id_ != 0 && GetCurrentThreadId() == thread_id_;
}

std::vector<CefRefPtr<CefTask>> TaskThread::TakeDueTasks(DWORD* wait_ms, bool* quit) {
  std::lock_guard<std::mutex> lock(mutex_);
  *quit = quit_;
  std::vector<CefRefPtr<CefTask>> due(std::make_move_iterator(queue_.begin()),
                                      std::make_move_iterator(queue_.end()));
  queue_.clear();
  const ULONGLONG now = GetTickCount64();
  while (!delayed_.empty() && delayed_.front().due_ms <= now) {
    std::pop_heap(delayed_.begin(), delayed_.end(), LaterTask());
    due.push_back(std::move(delayed_.back().task));
    delayed_.pop_back();
  }
  *wait_ms = delayed_.empty() ? INFINITE : static_cast<DWORD>(delayed_.front().due_ms - now);
  return due;
}

void TaskThread::DispatchMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    // Only Stop ends the thread; a stray quit message does not.
    if (message.message == WM_QUIT)
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void TaskThread::Run() {
  thread_id_ = GetCurrentThreadId();
  // Gives the thread its message queue before anyone can post to it.
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = true;
  }
  started_.notify_all();

  for (;;) {
    DWORD wait_ms = INFINITE;
    bool quit = false;
    std::vector<CefRefPtr<CefTask>> due = TakeDueTasks(&wait_ms, &quit);
    if (quit)
      break;
    for (CefRefPtr<CefTask>& task : due) {
      task->Execute();
      task.reset();
    }
    DispatchMessages();
    if (!due.empty())
      continue;
    MsgWaitForMultipleObjectsEx(1, &wake_event_, wait_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }

  std::deque<CefRefPtr<CefTask>> dropped;
  std::vector<DelayedTask> dropped_delayed;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = false;
    dropped.swap(queue_);
    dropped_delayed.swap(delayed_);
  }
  // The dropped tasks are released here, on the thread, outside the lock.
}

}  // namespace cef_standin
