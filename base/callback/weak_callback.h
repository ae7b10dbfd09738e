#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace kbase {

// The liveness flag is the control block of a shared_ptr to WeakFlag that
// holds a null pointer; no WeakFlag object is ever constructed.
struct WeakFlag {};

// A callable paired with a weak reference to its owner's flag. Once the
// owner is destroyed (or cancels its callbacks) a call does nothing and
// returns the result type's default value.
//
// Thread rules: copies may be made and destroyed on any thread (the
// reference counts are atomic); a call is safe on the thread that destroys
// the owner, since the liveness test and the destruction are not otherwise
// synchronised.
template <typename Callable>
class WeakCallback {
 public:
  WeakCallback(std::weak_ptr<WeakFlag> flag, Callable callable)
      : flag_(std::move(flag)), callable_(std::move(callable)) {}

  template <typename... Args>
  auto operator()(Args&&... args) const {
    using Result = std::invoke_result_t<const Callable&, Args&&...>;
    if (flag_.expired()) {
      if constexpr (std::is_void_v<Result>)
        return;
      else
        return Result{};
    }
    return std::invoke(callable_, std::forward<Args>(args)...);
  }

  bool Expired() const { return flag_.expired(); }

 private:
  std::weak_ptr<WeakFlag> flag_;
  Callable callable_;
};

// Base of every object that hands out callbacks which must die with it.
//
// Thread rules: the flag itself is not synchronised. Acquiring it, making
// callbacks and cancelling them belong to the owner's thread (or one
// thread at a time, as FrameworkThread's StopSoon does); the callbacks
// handed out follow WeakCallback's rules.
class SupportWeakCallback {
 public:
  SupportWeakCallback() = default;
  SupportWeakCallback(const SupportWeakCallback&) = delete;
  SupportWeakCallback& operator=(const SupportWeakCallback&) = delete;
  virtual ~SupportWeakCallback() = default;

  std::weak_ptr<WeakFlag> AcquireWeakFlag() {
    if (flag_.use_count() == 0)
      flag_ = std::shared_ptr<WeakFlag>(static_cast<WeakFlag*>(nullptr));
    return flag_;
  }

  template <typename Callable>
  WeakCallback<std::decay_t<Callable>> MakeWeakCallback(Callable&& callable) {
    return {AcquireWeakFlag(), std::forward<Callable>(callable)};
  }

  // True once a callback has been handed out and not cancelled since.
  bool HasWeakFlag() const { return flag_.use_count() > 0; }

 protected:
  // Makes every callback handed out so far inert; later ones work again.
  void CancelWeakCallbacks() { flag_.reset(); }

 private:
  std::shared_ptr<WeakFlag> flag_;
};

// A member through which an object cancels one group of its callbacks
// without being destroyed (a delayed close, pending animation steps). On
// its owner's thread, like SupportWeakCallback.
class WeakCallbackFlag : public SupportWeakCallback {
 public:
  void Cancel() { CancelWeakCallbacks(); }
};

}  // namespace kbase
