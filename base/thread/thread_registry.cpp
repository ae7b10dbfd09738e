#include "base/thread/thread_registry.h"

#include <map>
#include <utility>

#include "base/message_loop/message_loop.h"
#include "base/message_loop/message_loop_proxy.h"
#include "base/synchronization/lock.h"
#include "base/thread/framework_thread.h"

namespace kbase {

namespace {

struct Registry {
  Lock lock;
  std::map<int32_t, FrameworkThread*> threads;  // guarded by lock
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

bool ThreadRegistry::RegisterThread(int32_t identifier) {
  ThreadLocalData* data = ThreadLocalData::Current();
  if (!data)
    return false;
  Registry& registry = TheRegistry();
  {
    AutoLock hold(registry.lock);
    auto [it, inserted] = registry.threads.emplace(identifier, data->self);
    if (!inserted && it->second != data->self)
      return false;
  }
  data->registration_count += 1;
  data->registered_identifier = identifier;
  return true;
}

bool ThreadRegistry::UnregisterThread() {
  ThreadLocalData* data = ThreadLocalData::Current();
  if (!data || data->registration_count < 1)
    return false;
  if (--data->registration_count > 0)
    return true;
  Registry& registry = TheRegistry();
  AutoLock hold(registry.lock);
  registry.threads.erase(data->registered_identifier);
  data->registered_identifier = -1;
  return true;
}

int32_t ThreadRegistry::CurrentThreadIdentifier() {
  ThreadLocalData* data = ThreadLocalData::Current();
  return data ? data->registered_identifier : -1;
}

std::shared_ptr<MessageLoopProxy> ThreadRegistry::LoopProxyOf(int32_t identifier) {
  Registry& registry = TheRegistry();
  AutoLock hold(registry.lock);
  auto it = registry.threads.find(identifier);
  if (it == registry.threads.end())
    return nullptr;
  MessageLoop* loop = it->second->LoopOf();
  return loop ? loop->GetProxy() : nullptr;
}

bool ThreadRegistry::PostTask(int32_t identifier, Closure closure) {
  std::shared_ptr<MessageLoopProxy> proxy = LoopProxyOf(identifier);
  if (!proxy)
    return false;
  // The proxy's answer counts: a loop destroyed since the look-up has
  // not received the task.
  return proxy->PostTask(std::move(closure));
}

bool ThreadRegistry::PostDelayedTask(int32_t identifier, Closure closure, Ticks delay) {
  std::shared_ptr<MessageLoopProxy> proxy = LoopProxyOf(identifier);
  if (!proxy)
    return false;
  return proxy->PostDelayedTask(std::move(closure), delay);
}

}  // namespace kbase
