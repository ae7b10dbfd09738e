#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/callback/callback.h"
#include "base/time/time.h"

namespace kbase {

struct PendingTask {
  Ticks due_time = 0;           // 0: immediate
  int32_t sequence_number = 0;  // given on entering the delayed queue
  bool nestable = true;
  Closure closure;
};

// A FIFO of tasks that keeps its storage between fillings. The loop moves
// whole queues between threads by swapping them; with a vector and a read
// position, neither the posting thread nor the loop's thread allocates once
// the queues have grown to their working size (a deque allocates and frees
// a block every few tasks, on both threads, through the one process heap).
//
// Thread rules: not synchronised; the loop guards its incoming queue with
// incoming_lock_ and keeps the others on its own thread.
class TaskQueue {
 public:
  bool empty() const { return head_ == items_.size(); }
  size_t size() const { return items_.size() - head_; }

  void push_back(PendingTask task) { items_.push_back(std::move(task)); }

  // Removes and returns the oldest task; the queue must not be empty.
  PendingTask TakeFront() {
    PendingTask task = std::move(items_[head_++]);
    if (empty())
      Reset();
    return task;
  }

  void swap(TaskQueue& other) {
    items_.swap(other.items_);
    std::swap(head_, other.head_);
  }

  void clear() { Reset(); }

 private:
  // Storage is kept for the next filling: giving it back after every
  // large filling made the poster regrow the queue from nothing, under the
  // lock, through a chain of allocations and moves. It is given back only
  // when it is both large and far beyond what the filling just consumed
  // needed, which is what a burst leaves once it has passed. "Large" is
  // generous (a few megabytes): a stream from another thread fills the
  // queue by tens of thousands whenever the loop's thread is held up, then
  // by a few between, and regrowing it each time, in fresh pages that the
  // system must first map, cost the poster as much again as its post.
  static constexpr size_t kKeptCapacity = size_t{1} << 17;
  static constexpr size_t kOversize = 4;

  void Reset() {
    if (items_.capacity() > kKeptCapacity && items_.capacity() > kOversize * items_.size())
      std::vector<PendingTask>().swap(items_);
    else
      items_.clear();
    head_ = 0;
  }

  std::vector<PendingTask> items_;
  size_t head_ = 0;
};

}  // namespace kbase
