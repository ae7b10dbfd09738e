#include "runtime/standin/browser/navigation_history.h"

#include <utility>

namespace cef_standin {

void NavigationHistory::CommitEntry(Entry entry, Commit commit) {
  if (commit == Commit::kReplace && current_ >= 0) {
    entries_[static_cast<size_t>(current_)] = std::move(entry);
    return;
  }
  entries_.resize(static_cast<size_t>(current_ + 1));
  entries_.push_back(std::move(entry));
  if (entries_.size() > kMaxEntries)
    entries_.erase(entries_.begin());
  current_ = Count() - 1;
}

void NavigationHistory::CommitOffset(int offset) {
  if (EntryAt(offset))
    current_ += offset;
}

const NavigationHistory::Entry* NavigationHistory::EntryAt(int offset) const {
  const int index = current_ + offset;
  if (current_ < 0 || index < 0 || index >= Count())
    return nullptr;
  return &entries_[static_cast<size_t>(index)];
}

NavigationHistory::Entry* NavigationHistory::Current() {
  return current_ < 0 ? nullptr : &entries_[static_cast<size_t>(current_)];
}

}  // namespace cef_standin
