#pragma once

#include <memory>

#include "base/callback/callback.h"
#include "base/callback/weak_callback.h"
#include "base/synchronization/lock.h"
#include "base/time/time.h"

namespace kbase {

class MessageLoop;

// A thread-safe handle to a loop that may already be gone: every post after
// the loop's destruction returns false and runs nothing.
//
// Thread rules: every operation is callable from any thread; the target is
// guarded by lock_, and every post through the proxy happens under it.
class MessageLoopProxy : public SupportWeakCallback {
 public:
  ~MessageLoopProxy() override = default;

  virtual bool PostTask(Closure closure);
  // A delay of 0 posts an immediate task.
  virtual bool PostDelayedTask(Closure closure, Ticks delay);
  virtual bool PostNonNestableTask(Closure closure);
  virtual bool PostNonNestableDelayedTask(Closure closure, Ticks delay);
  virtual bool BelongsToCurrentThread();

 private:
  friend class MessageLoop;

  // The loop's own reference; dropping the last reference calls
  // OnLastReferenceReleased instead of deleting.
  static std::shared_ptr<MessageLoopProxy> Create(MessageLoop* loop);

  explicit MessageLoopProxy(MessageLoop* loop) : target_(loop) {}

  virtual void ForgetLoop();
  // Deletes the proxy on its loop's thread while the loop lives, at once
  // otherwise.
  virtual void OnLastReferenceReleased();

  Lock lock_;
  MessageLoop* target_;  // null once the loop is destroyed
};

}  // namespace kbase
