#include "base/thread/framework_thread.h"

#include <utility>

#include "base/thread/thread_local_slot.h"

namespace kbase {

namespace {
constinit ThreadLocalSlot g_thread_local_data;
}  // namespace

ThreadLocalData* ThreadLocalData::Current() {
  return static_cast<ThreadLocalData*>(g_thread_local_data.Get());
}

void ThreadLocalData::SetCurrent(ThreadLocalData* data) {
  g_thread_local_data.Set(data);
}

FrameworkThread::FrameworkThread(std::string name)
    : init_done_event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), name_(std::move(name)) {}

FrameworkThread::~FrameworkThread() {
  if (running_) {
    StopSoon();
    JoinOwnedThread();
    running_ = false;
  }
  if (init_done_event_)
    CloseHandle(init_done_event_);
}

void FrameworkThread::RunOnCurrentThread(LoopType loop_type,
                                         WinMessagePump::Dispatcher* dispatcher) {
  loop_type_ = loop_type;
  dispatcher_ = dispatcher;
  running_ = true;
  ThreadBody();
}

void FrameworkThread::StopSoon() {
  if (stopping_ || !loop_)
    return;
  stopping_ = true;
  loop_->PostNonNestableTask(MakeWeakCallback([] {
    if (MessageLoop* loop = MessageLoop::Current())
      loop->Quit();
    if (ThreadLocalData* data = ThreadLocalData::Current())
      data->quit_properly = true;
  }));
}

std::unique_ptr<MessageLoop> FrameworkThread::CreateLoop() {
  switch (loop_type_) {
    case kCustomLoop:
      return custom_loop_factory_ ? custom_loop_factory_->CreateLoop() : nullptr;
    case kIoLoop:
      return std::make_unique<IOMessageLoop>();
    case kUiLoop:
      return std::make_unique<UIMessageLoop>();
    default:
      return std::make_unique<MessageLoop>();
  }
}

void FrameworkThread::ThreadBody() {
  ThreadLocalData* data = ThreadLocalData::Current();
  if (!data) {
    data = new ThreadLocalData;
    data->self = this;
    ThreadLocalData::SetCurrent(data);
  }
  data->quit_properly = false;
  thread_id_ = GetCurrentThreadId();

  loop_ = CreateLoop();
  // A custom factory that makes no loop gets a plain one: the thread still
  // runs its hooks in order.
  if (!loop_)
    loop_ = std::make_unique<MessageLoop>();

  Init();
  SetEvent(init_done_event_);
  loop_->RunWithDispatcher(dispatcher_);
  Cleanup();

  loop_.reset();
  if (loop_type_ == kCustomLoop)
    custom_loop_factory_.reset();
  thread_id_ = 0;

  ThreadLocalData::SetCurrent(nullptr);
  delete data;
}

}  // namespace kbase
