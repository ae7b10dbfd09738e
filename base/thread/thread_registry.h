#pragma once

#include <cstdint>
#include <memory>

#include "base/callback/callback.h"
#include "base/time/time.h"

namespace kbase {

class MessageLoopProxy;

// The identifier of the application's main thread.
constexpr int32_t kMainThreadIdentifier = 0;

// Maps small identifiers to framework threads, so that any thread can post
// work to a registered thread without holding a pointer to it.
//
// Thread rules: registration and unregistration happen on the thread
// concerned (they act on the calling thread's own data); lookups and posts
// are callable from any thread. The map is guarded by the registry's lock.
class ThreadRegistry {
 public:
  ThreadRegistry() = delete;

  // Called on the thread to register, from inside its body. False when the
  // identifier belongs to another thread or the caller is no framework
  // thread. Registrations of one thread nest.
  static bool RegisterThread(int32_t identifier);
  // Undoes one registration of the calling thread.
  static bool UnregisterThread();
  // The calling thread's identifier, or -1.
  static int32_t CurrentThreadIdentifier();

  // Callable from any thread.
  static std::shared_ptr<MessageLoopProxy> LoopProxyOf(int32_t identifier);
  // True when the task was handed to the thread's loop.
  static bool PostTask(int32_t identifier, Closure closure);
  static bool PostDelayedTask(int32_t identifier, Closure closure, Ticks delay);
};

}  // namespace kbase
