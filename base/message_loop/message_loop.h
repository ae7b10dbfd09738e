#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "base/callback/callback.h"
#include "base/message_loop/message_pump.h"
#include "base/observer_list.h"
#include "base/synchronization/lock.h"
#include "base/time/time.h"

namespace kbase {

class MessageLoopProxy;

enum LoopType : int32_t {
  kDefaultLoop = 0,
  kUiLoop = 1,
  kIoLoop = 2,
  kCustomLoop = 3,  // only a thread's choice: the thread's factory makes the loop
};

struct PendingTask {
  Ticks due_time = 0;           // 0: immediate
  int32_t sequence_number = 0;  // given on entering the delayed queue
  bool nestable = true;
  Closure closure;
};

// A queue of closures that any thread may post to, run on the thread that
// owns the loop by the loop's pump.
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

  // A loop of kDefaultLoop type. Its event pump is not part of this build:
  // such a loop queues tasks but Run returns at once.
  MessageLoop();
  ~MessageLoop() override;
  MessageLoop(const MessageLoop&) = delete;
  MessageLoop& operator=(const MessageLoop&) = delete;

  // The calling thread's loop, or null.
  static MessageLoop* Current();

  void PostTask(Closure closure);
  void PostDelayedTask(Closure closure, Ticks delay);
  void PostNonNestableTask(Closure closure);
  void PostNonNestableDelayedTask(Closure closure, Ticks delay);

  // Leaves the innermost run once the loop is idle.
  void Quit();
  void Run() { RunWithDispatcher(nullptr); }
  void RunWithDispatcher(WinMessagePump::Dispatcher* dispatcher);

  const std::shared_ptr<MessageLoopProxy>& GetProxy() const { return proxy_; }
  LoopType type() const { return type_; }
  bool IsRunning() const { return run_context_ != nullptr; }
  bool IsNested() const { return run_context_ && run_context_->depth > 1; }

  void AddTaskObserver(TaskObserver* observer) { task_observers_.AddObserver(observer); }
  void RemoveTaskObserver(TaskObserver* observer) { task_observers_.RemoveObserver(observer); }
  void AddDestructionObserver(DestructionObserver* observer) {
    destruction_observers_.AddObserver(observer);
  }
  void RemoveDestructionObserver(DestructionObserver* observer) {
    destruction_observers_.RemoveObserver(observer);
  }

 protected:
  struct RunContext {
    int32_t depth;
    bool quit_requested;
    WinMessagePump::Dispatcher* dispatcher;
  };

  MessageLoop(LoopType type, std::shared_ptr<MessagePump> pump);

  // Where every post ends; callable from any thread.
  virtual void EnqueueIncoming(PendingTask task);
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
  using TaskQueue = std::deque<PendingTask>;
  // A binary heap (std::push_heap / std::pop_heap) with the earliest task
  // at the front.
  using DelayedQueue = std::vector<PendingTask>;

  void Post(Closure closure, Ticks delay, bool nestable, bool delayed);
  void RefillWorkQueue();
  void AddToDelayedQueue(PendingTask task);
  PendingTask TakeEarliestDelayedTask();
  bool RunOrDefer(PendingTask task);
  void RunTask(PendingTask& task);
  // Destroys every queued closure without running it; true when the pass
  // dropped a delayed task.
  bool DropPendingTasks();

  const LoopType type_;
  RunContext* run_context_ = nullptr;
  std::shared_ptr<MessagePump> pump_;
  bool nestable_tasks_allowed_ = true;

  Lock incoming_lock_;
  TaskQueue incoming_queue_;  // guarded by incoming_lock_

  TaskQueue work_queue_;
  TaskQueue deferred_queue_;
  DelayedQueue delayed_queue_;
  int32_t next_sequence_number_ = 0;
  Ticks recent_time_ = 0;

  ObserverList<TaskObserver> task_observers_;
  ObserverList<DestructionObserver> destruction_observers_;
  std::shared_ptr<MessageLoopProxy> proxy_;
};

// The loop of a thread that runs windows: its pump is the thread's Windows
// message loop.
class UIMessageLoop : public MessageLoop {
 public:
  UIMessageLoop();

 protected:
  void RunPump(const RunContext& context) override;
};

// The completion-port loop. Its pump is not part of this build: it queues
// tasks but Run returns at once.
class IOMessageLoop : public MessageLoop {
 public:
  IOMessageLoop();
};

}  // namespace kbase
