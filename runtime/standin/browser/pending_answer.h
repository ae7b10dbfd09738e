#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

namespace cef_standin {

// An answer one thread waits for and another gives, once. A holder that
// goes away without answering (a task dropped at shutdown) gives the
// fallback, so nobody waits for ever.
template <class T>
class PendingAnswer {
 public:
  struct State {
    std::mutex mutex;
    std::condition_variable ready;
    std::optional<T> value;
    T fallback{};
  };

  explicit PendingAnswer(T fallback) : state_(std::make_shared<State>()) {
    state_->fallback = std::move(fallback);
  }
  PendingAnswer(const PendingAnswer&) = default;
  PendingAnswer& operator=(const PendingAnswer&) = default;

  // The side that answers keeps one of these.
  class Giver {
   public:
    explicit Giver(std::shared_ptr<State> state) : state_(std::move(state)) {}
    Giver(const Giver&) = delete;
    Giver& operator=(const Giver&) = delete;
    ~Giver() { Give(state_->fallback); }
    // Only the first answer counts.
    void Give(T value) {
      std::lock_guard<std::mutex> lock(state_->mutex);
      if (state_->value)
        return;
      state_->value = std::move(value);
      state_->ready.notify_all();
    }

   private:
    std::shared_ptr<State> state_;
  };

  std::shared_ptr<Giver> MakeGiver() { return std::make_shared<Giver>(state_); }

  T Wait() {
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->ready.wait(lock, [this] { return state_->value.has_value(); });
    return *state_->value;
  }

 private:
  std::shared_ptr<State> state_;
};

}  // namespace cef_standin
