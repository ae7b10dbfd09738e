#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "base/callback/callback.h"
#include "base/message_loop/message_pump.h"
#include "base/message_loop/task_queue.h"
#include "base/observer_list.h"
#include "base/synchronization/lock.h"
#include "base/thread/thread_checker.h"
#include "base/time/time.h"

namespace kbase {

class MessageLoopProxy;
class WinIOMessagePump;

enum LoopType : int32_t {
  kDefaultLoop = 0,
  kUiLoop = 1,
  kIoLoop = 2,
  kCustomLoop = 3,  // only a thread's choice: the thread's factory makes the loop
};

// A queue of closures that any thread may post to, run on the thread that
// owns the loop by the loop's pump.
//
// Thread rules: the posts, GetProxy and type are callable from any thread.
// Everything else (running, quitting, observers, destruction, the pump's
// delegate calls) is on the loop's thread only: the thread that constructed
// the loop. The incoming queue is guarded by incoming_lock_; the other
// queues are the loop thread's own.
class MessageLoop : public MessagePump::Delegate {
 public:
  class TaskObserver {
   public:
    virtual void WillRunTask() = 0;
    virtual void DidRunTask() = 0;

   protected:
    ~TaskObserver() = default;
  };

  class DestructionObserver {
   public:
    virtual void LoopWillBeDestroyed() = 0;

   protected:
    ~DestructionObserver() = default;
  };

  // A loop of kDefaultLoop type, driven by an event pump.
  MessageLoop();
  ~MessageLoop() override;
  MessageLoop(const MessageLoop&) = delete;
  MessageLoop& operator=(const MessageLoop&) = delete;

  // The calling thread's loop, or null. Callable from any thread.
  static MessageLoop* Current();

  // Callable from any thread; |closure| must not be empty.

  void PostTask(Closure closure);
  void PostDelayedTask(Closure closure, Ticks delay);
  void PostNonNestableTask(Closure closure);
  void PostNonNestableDelayedTask(Closure closure, Ticks delay);

  // Leaves the innermost run once the loop is idle. On the loop's thread.
  void Quit();
  void Run() { RunWithDispatcher(nullptr); }
  void RunWithDispatcher(WinMessagePump::Dispatcher* dispatcher);

  const std::shared_ptr<MessageLoopProxy>& GetProxy() const { return proxy_; }
  LoopType type() const { return type_; }
  // On the loop's thread.
  bool IsRunning() const {
    KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
    return run_context_ != nullptr;
  }
  bool IsNested() const {
    KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
    return run_context_ && run_context_->depth > 1;
  }

  // On the loop's thread; the observers are not owned and must not be null
  // nor added twice.
  void AddTaskObserver(TaskObserver* observer);
  void RemoveTaskObserver(TaskObserver* observer);
  void AddDestructionObserver(DestructionObserver* observer);
  void RemoveDestructionObserver(DestructionObserver* observer);

 protected:
  struct RunContext {
    int32_t depth;
    bool quit_requested;
    WinMessagePump::Dispatcher* dispatcher;
  };

  MessageLoop(LoopType type, std::shared_ptr<MessagePump> pump);

  // Where every post ends; callable from any thread.
  virtual void EnqueueIncoming(PendingTask&& task);
  // Runs the pump for one run of the loop.
  virtual void RunPump(const RunContext& context);

  MessagePump* pump() const { return pump_.get(); }

  // MessagePump::Delegate; called on the loop's thread only.
  bool PerformWork() override;
  bool PerformDelayedWork(Ticks* next_due_time) override;
  bool PerformIdleWork() override;

 private:
  struct LaterTask {
    bool operator()(const PendingTask& a, const PendingTask& b) const {
      if (a.due_time != b.due_time)
        return a.due_time > b.due_time;
      return a.sequence_number > b.sequence_number;
    }
  };
  // A binary heap (std::push_heap / std::pop_heap) with the earliest task
  // at the front.
  using DelayedQueue = std::vector<PendingTask>;

  void Post(Closure&& closure, Ticks delay, bool nestable, bool delayed);
  void RefillWorkQueue();
  void AddToDelayedQueue(PendingTask task);
  PendingTask TakeEarliestDelayedTask();
  bool RunOrDefer(PendingTask& task);
  void RunTask(PendingTask& task);
  // Destroys every queued closure without running it; true when the pass
  // dropped a delayed task.
  bool DropPendingTasks();

  // A processor's cache line. What posting threads write and what the
  // loop's thread writes for every task lie on lines of their own: a line
  // both sides wrote would move between processors on every post.
  static constexpr size_t kCacheLine = 64;

  // Read by posting threads, never changed while the loop lives.
  const LoopType type_;
  std::shared_ptr<MessagePump> pump_;

  alignas(kCacheLine) Lock incoming_lock_;
  TaskQueue incoming_queue_;  // guarded by incoming_lock_

  // The loop's thread's own.
  alignas(kCacheLine) RunContext* run_context_ = nullptr;
  bool nestable_tasks_allowed_ = true;
  TaskQueue work_queue_;
  std::deque<PendingTask> deferred_queue_;
  DelayedQueue delayed_queue_;
  int32_t next_sequence_number_ = 0;
  Ticks recent_time_ = 0;

  ObserverList<TaskObserver> task_observers_;
  ObserverList<DestructionObserver> destruction_observers_;
  std::shared_ptr<MessageLoopProxy> proxy_;
  ThreadChecker loop_thread_;
};

// The loop of a thread that runs windows: its pump is the thread's Windows
// message loop.
class UIMessageLoop : public MessageLoop {
 public:
  UIMessageLoop();

 protected:
  void RunPump(const RunContext& context) override;
};

// The loop of a thread that serves overlapped I/O: its pump sleeps on a
// completion port and hands completed operations to their handlers between
// the tasks.
class IOMessageLoop : public MessageLoop {
 public:
  IOMessageLoop();

  // Where handles are registered and I/O observers added; on the loop's
  // thread.
  WinIOMessagePump& io_pump() const;
};

}  // namespace kbase
