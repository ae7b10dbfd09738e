#include "base/message_loop/message_loop.h"

#include <algorithm>
#include <utility>

#include "base/message_loop/default_message_pump.h"
#include "base/message_loop/message_loop_proxy.h"
#include "base/message_loop/win_io_message_pump.h"
#include "base/message_loop/win_ui_message_pump.h"
#include "base/thread/thread_local_slot.h"

namespace kbase {

namespace {

constinit ThreadLocalSlot g_current_loop;

// Passes over the queues when a loop is destroyed: a closure whose
// destruction posts new work is dropped in a later pass.
constexpr int kMaxDropPasses = 100;

}  // namespace

MessageLoop::MessageLoop() : MessageLoop(kDefaultLoop, std::make_shared<DefaultMessagePump>()) {}

MessageLoop::MessageLoop(LoopType type, std::shared_ptr<MessagePump> pump)
    : type_(type), pump_(std::move(pump)) {
  g_current_loop.Set(this);
  proxy_ = MessageLoopProxy::Create(this);
}

MessageLoop::~MessageLoop() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  for (int pass = 0; pass < kMaxDropPasses; ++pass) {
    DropPendingTasks();
    RefillWorkQueue();
    if (!DropPendingTasks())
      break;
  }
  destruction_observers_.Notify([](DestructionObserver* o) { o->LoopWillBeDestroyed(); });
  proxy_->ForgetLoop();
  proxy_.reset();
  if (g_current_loop.Get() == this)
    g_current_loop.Set(nullptr);
}

MessageLoop* MessageLoop::Current() {
  return static_cast<MessageLoop*>(g_current_loop.Get());
}

void MessageLoop::PostTask(Closure closure) {
  Post(std::move(closure), 0, /*nestable=*/true, /*delayed=*/false);
}

void MessageLoop::PostDelayedTask(Closure closure, Ticks delay) {
  Post(std::move(closure), delay, /*nestable=*/true, /*delayed=*/true);
}

void MessageLoop::PostNonNestableTask(Closure closure) {
  Post(std::move(closure), 0, /*nestable=*/false, /*delayed=*/false);
}

void MessageLoop::PostNonNestableDelayedTask(Closure closure, Ticks delay) {
  Post(std::move(closure), delay, /*nestable=*/false, /*delayed=*/true);
}

void MessageLoop::Post(Closure&& closure, Ticks delay, bool nestable, bool delayed) {
  // Every post to a live loop, direct or through its proxy, ends here.
  KBASE_DCHECK(closure);
  PendingTask task;
  task.nestable = nestable;
  task.closure = std::move(closure);
  if (delayed) {
    // A due time of 0 would read as "immediate"; a delayed task keeps at
    // least 1 so that even a delay of 0 passes through the delayed queue.
    task.due_time = std::max<Ticks>(NowTicks() + std::max<Ticks>(delay, 0), 1);
  }
  EnqueueIncoming(std::move(task));
}

void MessageLoop::EnqueueIncoming(PendingTask&& task) {
  std::shared_ptr<MessagePump> pump;
  {
    AutoLock hold(incoming_lock_);
    const bool was_empty = incoming_queue_.empty();
    incoming_queue_.push_back(std::move(task));
    if (!was_empty)
      return;  // a wake-up is already on its way
    pump = pump_;
  }
  if (pump)
    pump->WakeUp();
}

void MessageLoop::AddTaskObserver(TaskObserver* observer) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  task_observers_.AddObserver(observer);
}

void MessageLoop::RemoveTaskObserver(TaskObserver* observer) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  task_observers_.RemoveObserver(observer);
}

void MessageLoop::AddDestructionObserver(DestructionObserver* observer) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  destruction_observers_.AddObserver(observer);
}

void MessageLoop::RemoveDestructionObserver(DestructionObserver* observer) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  destruction_observers_.RemoveObserver(observer);
}

void MessageLoop::Quit() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  if (run_context_)
    run_context_->quit_requested = true;
}

void MessageLoop::RunWithDispatcher(WinMessagePump::Dispatcher* dispatcher) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  RunContext context{run_context_ ? run_context_->depth + 1 : 1, false, dispatcher};
  RunContext* previous = run_context_;
  run_context_ = &context;
  if (pump_)
    RunPump(context);
  run_context_ = previous;
}

void MessageLoop::RunPump(const RunContext&) {
  pump_->Run(this);
}

void MessageLoop::RefillWorkQueue() {
  if (!work_queue_.empty())
    return;
  AutoLock hold(incoming_lock_);
  if (!incoming_queue_.empty())
    incoming_queue_.swap(work_queue_);
}

void MessageLoop::AddToDelayedQueue(PendingTask task) {
  task.sequence_number = next_sequence_number_++;
  delayed_queue_.push_back(std::move(task));
  std::push_heap(delayed_queue_.begin(), delayed_queue_.end(), LaterTask());
}

PendingTask MessageLoop::TakeEarliestDelayedTask() {
  std::pop_heap(delayed_queue_.begin(), delayed_queue_.end(), LaterTask());
  PendingTask task = std::move(delayed_queue_.back());
  delayed_queue_.pop_back();
  return task;
}

bool MessageLoop::RunOrDefer(PendingTask& task) {
  const bool outermost = !run_context_ || run_context_->depth == 1;
  if (task.nestable || outermost) {
    RunTask(task);
    return true;
  }
  deferred_queue_.push_back(std::move(task));
  return false;
}

void MessageLoop::RunTask(PendingTask& task) {
  if (!task.closure)
    return;
  nestable_tasks_allowed_ = false;
  task_observers_.Notify([](TaskObserver* o) { o->WillRunTask(); });
  task.closure();
  task_observers_.Notify([](TaskObserver* o) { o->DidRunTask(); });
  nestable_tasks_allowed_ = true;
}

bool MessageLoop::PerformWork() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  if (!nestable_tasks_allowed_)
    return false;
  for (;;) {
    RefillWorkQueue();
    if (work_queue_.empty())
      return false;
    while (!work_queue_.empty()) {
      PendingTask task = work_queue_.TakeFront();
      if (task.due_time) {
        const Ticks due_time = task.due_time;
        AddToDelayedQueue(std::move(task));
        if (delayed_queue_.front().sequence_number == next_sequence_number_ - 1)
          pump_->ScheduleDelayedWakeUp(due_time);
        continue;
      }
      if (RunOrDefer(task))
        return true;
    }
  }
}

bool MessageLoop::PerformDelayedWork(Ticks* next_due_time) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  if (!nestable_tasks_allowed_ || delayed_queue_.empty()) {
    recent_time_ = 0;
    *next_due_time = 0;
    return false;
  }
  const Ticks due_time = delayed_queue_.front().due_time;
  if (due_time > recent_time_) {
    recent_time_ = NowTicks();
    if (due_time > recent_time_) {
      *next_due_time = due_time;
      return false;
    }
  }
  PendingTask task = TakeEarliestDelayedTask();
  if (!delayed_queue_.empty())
    *next_due_time = delayed_queue_.front().due_time;
  return RunOrDefer(task);
}

bool MessageLoop::PerformIdleWork() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(loop_thread_);
  if (run_context_ && run_context_->depth == 1 && !deferred_queue_.empty()) {
    PendingTask task = std::move(deferred_queue_.front());
    deferred_queue_.pop_front();
    RunTask(task);
    return true;
  }
  if (run_context_ && run_context_->quit_requested)
    pump_->Quit();
  return false;
}

bool MessageLoop::DropPendingTasks() {
  // The queues are emptied into locals first: a closure's destructor may
  // post to this loop while it is being dropped.
  TaskQueue work;
  work.swap(work_queue_);
  while (!work.empty()) {
    PendingTask task = work.TakeFront();
    if (task.due_time)
      AddToDelayedQueue(std::move(task));
  }

  std::deque<PendingTask> deferred;
  deferred.swap(deferred_queue_);
  deferred.clear();

  const bool had_delayed = !delayed_queue_.empty();
  while (!delayed_queue_.empty())
    TakeEarliestDelayedTask();
  return had_delayed;
}

UIMessageLoop::UIMessageLoop() : MessageLoop(kUiLoop, std::make_shared<WinUIMessagePump>()) {}

void UIMessageLoop::RunPump(const RunContext& context) {
  static_cast<WinUIMessagePump*>(pump())->RunWithDispatcher(this, context.dispatcher);
}

IOMessageLoop::IOMessageLoop() : MessageLoop(kIoLoop, std::make_shared<WinIOMessagePump>()) {}

WinIOMessagePump& IOMessageLoop::io_pump() const {
  return *static_cast<WinIOMessagePump*>(pump());
}

}  // namespace kbase
