#include "base/message_loop/message_loop_proxy.h"

#include <utility>

#include "base/message_loop/message_loop.h"

namespace kbase {

std::shared_ptr<MessageLoopProxy> MessageLoopProxy::Create(MessageLoop* loop) {
  return std::shared_ptr<MessageLoopProxy>(new MessageLoopProxy(loop), [](MessageLoopProxy* proxy) {
    proxy->OnLastReferenceReleased();
  });
}

bool MessageLoopProxy::PostTask(Closure closure) {
  AutoLock hold(lock_);
  if (!target_)
    return false;
  target_->PostTask(std::move(closure));
  return true;
}

bool MessageLoopProxy::PostDelayedTask(Closure closure, Ticks delay) {
  AutoLock hold(lock_);
  if (!target_)
    return false;
  if (delay == 0)
    target_->PostTask(std::move(closure));
  else
    target_->PostDelayedTask(std::move(closure), delay);
  return true;
}

bool MessageLoopProxy::PostNonNestableTask(Closure closure) {
  AutoLock hold(lock_);
  if (!target_)
    return false;
  target_->PostNonNestableTask(std::move(closure));
  return true;
}

bool MessageLoopProxy::PostNonNestableDelayedTask(Closure closure, Ticks delay) {
  AutoLock hold(lock_);
  if (!target_)
    return false;
  if (delay == 0)
    target_->PostNonNestableTask(std::move(closure));
  else
    target_->PostNonNestableDelayedTask(std::move(closure), delay);
  return true;
}

bool MessageLoopProxy::BelongsToCurrentThread() {
  AutoLock hold(lock_);
  return target_ && target_ == MessageLoop::Current();
}

void MessageLoopProxy::ForgetLoop() {
  AutoLock hold(lock_);
  target_ = nullptr;
}

void MessageLoopProxy::OnLastReferenceReleased() {
  {
    AutoLock hold(lock_);
    if (target_ && target_ != MessageLoop::Current()) {
      // The task owns the proxy: it deletes it when it runs, and also when
      // the loop drops it unrun, so the proxy is never leaked. Taking the
      // lock first waits until this thread has let go of it.
      std::shared_ptr<MessageLoopProxy> owner(this, [](MessageLoopProxy* proxy) {
        { AutoLock wait(proxy->lock_); }
        delete proxy;
      });
      target_->PostNonNestableTask([owner]() mutable { owner.reset(); });
      return;
    }
  }
  delete this;
}

}  // namespace kbase
