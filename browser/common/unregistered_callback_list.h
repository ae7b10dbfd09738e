#pragma once

#include <functional>
#include <list>
#include <memory>
#include <utility>

namespace kel_comp {

// Callables kept for later, each with a closure that takes it out again.
// One thread only (the thread that owns the list).
template <class Callable>
class UnregistedCallbackList {
 public:
  UnregistedCallbackList() = default;
  UnregistedCallbackList(const UnregistedCallbackList&) = delete;
  UnregistedCallbackList& operator=(const UnregistedCallbackList&) = delete;

  // Returns the closure that removes this entry; it does nothing once the
  // entry has run, was removed or the list is gone.
  std::function<void()> AddCallback(Callable callable) {
    auto entry = std::make_shared<Callable>(std::move(callable));
    entries_.push_back(entry);
    std::weak_ptr<Callable> weak = entry;
    return [this, weak, alive = std::weak_ptr<char>(alive_)] {
      if (alive.expired())
        return;
      if (std::shared_ptr<Callable> target = weak.lock())
        entries_.remove(target);
    };
  }

  bool empty() const { return entries_.empty(); }
  size_t size() const { return entries_.size(); }

  // Empties the list first, then calls every entry once in the order added,
  // so that an entry may add new ones (they wait for the next run).
  template <class... Args>
  void RunAndClear(Args&&... args) {
    std::list<std::shared_ptr<Callable>> entries = std::move(entries_);
    entries_.clear();
    for (const std::shared_ptr<Callable>& entry : entries)
      (*entry)(args...);
  }

 private:
  std::list<std::shared_ptr<Callable>> entries_;
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace kel_comp
