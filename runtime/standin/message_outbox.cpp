#include "runtime/standin/message_outbox.h"

#include <utility>

namespace cef_standin {

void MessageOutbox::Post(Entry entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back(std::move(entry));
}

bool MessageOutbox::Take(Entry* entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (entries_.empty())
    return false;
  *entry = std::move(entries_.front());
  entries_.pop_front();
  return true;
}

void MessageOutbox::Clear() {
  std::deque<Entry> entries;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    entries.swap(entries_);
  }
  // The messages are released outside the lock.
}

}  // namespace cef_standin
