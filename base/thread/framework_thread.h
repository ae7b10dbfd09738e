#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/callback/weak_callback.h"
#include "base/message_loop/message_loop.h"
#include "base/thread/thread.h"

namespace kbase {

class FrameworkThread;

// Per-thread state of a thread that runs a FrameworkThread body.
struct ThreadLocalData {
  FrameworkThread* self = nullptr;
  bool quit_properly = false;
  int32_t registration_count = 0;
  int32_t registered_identifier = -1;
  void* custom_data = nullptr;

  // The calling thread's data, or null.
  static ThreadLocalData* Current();
  static void SetCurrent(ThreadLocalData* data);
};

// Makes the loop of a kCustomLoop thread.
class MessageLoopFactory {
 public:
  virtual ~MessageLoopFactory() = default;
  virtual std::unique_ptr<MessageLoop> CreateLoop() = 0;
};

// A thread that owns a message loop: it creates the loop, runs Init, runs
// the loop until it quits, runs Cleanup and destroys the loop.
//
// Thread rules: RunOnCurrentThread makes the calling thread the framework
// thread; Init, Cleanup and the loop belong to it. StopSoon and the
// destructor may be called from another thread, one call at a time, while
// the body runs. set_custom_loop_factory is for before the body runs.
// Other threads may read LoopOf while the thread is registered (the
// registry does): the loop exists from before Init until after Cleanup.
class FrameworkThread : public Thread, public virtual SupportWeakCallback {
 public:
  explicit FrameworkThread(std::string name);
  ~FrameworkThread() override;

  // Runs the thread body on the calling thread; returns after Cleanup.
  void RunOnCurrentThread(LoopType loop_type, WinMessagePump::Dispatcher* dispatcher = nullptr);
  // Asks the loop to quit once idle.
  void StopSoon();

  MessageLoop* LoopOf() const { return loop_.get(); }
  const std::string& name() const { return name_; }
  bool running() const { return running_; }
  void set_custom_loop_factory(std::shared_ptr<MessageLoopFactory> factory) {
    custom_loop_factory_ = std::move(factory);
  }

  void ThreadBody() override;

 protected:
  // Run on the thread after its loop exists and before it runs.
  virtual void Init() {}
  // Run on the thread after the loop returned and before it is destroyed.
  virtual void Cleanup() {}

 private:
  std::unique_ptr<MessageLoop> CreateLoop();

  bool running_ = false;
  bool stopping_ = false;
  LoopType loop_type_ = kDefaultLoop;
  std::unique_ptr<MessageLoop> loop_;
  std::shared_ptr<MessageLoopFactory> custom_loop_factory_;
  WinMessagePump::Dispatcher* dispatcher_ = nullptr;
  HANDLE init_done_event_;
  std::string name_;
};

}  // namespace kbase
