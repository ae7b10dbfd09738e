#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "base/debug/check.h"

namespace kbase {

// Keeps removals during a walk from shifting the entries under the walker:
// a removed entry is nulled and the nulls are erased once no walk is active.
class LazyEraser {
 public:
  virtual ~LazyEraser() = default;

 protected:
  virtual void EraseNulls() = 0;

  int notify_depth_ = 0;
};

// An ordered list of observers it does not own. Observers added during a
// walk are reached by that walk; removed ones are skipped.
//
// Thread rules: not synchronised; the owner's thread only (the loops and
// pumps keep theirs on the loop's thread and check it there).
template <typename Observer>
class ObserverList : public LazyEraser {
 public:
  // |observer| must not be null nor listed already (debug builds check
  // both); release builds ignore either.
  void AddObserver(Observer* observer) {
    KBASE_DCHECK(observer);
    if (!observer)
      return;
    const bool listed = HasObserver(observer);
    KBASE_DCHECK(!listed);
    if (!listed)
      observers_.push_back(observer);
  }

  void RemoveObserver(Observer* observer) {
    auto it = std::find(observers_.begin(), observers_.end(), observer);
    if (it == observers_.end())
      return;
    if (notify_depth_ > 0)
      *it = nullptr;
    else
      observers_.erase(it);
  }

  bool HasObserver(const Observer* observer) const {
    return std::find(observers_.begin(), observers_.end(), observer) != observers_.end();
  }

  // Number of live observers.
  size_t size() const {
    return static_cast<size_t>(std::count_if(observers_.begin(), observers_.end(),
                                             [](const Observer* o) { return o != nullptr; }));
  }

  template <typename Function>
  void Notify(Function&& function) {
    // Nothing to call, and nothing a walk could leave to erase; loops
    // notify their (mostly absent) observers around every task.
    if (observers_.empty())
      return;
    ++notify_depth_;
    for (size_t i = 0; i < observers_.size(); ++i) {
      if (Observer* observer = observers_[i])
        function(observer);
    }
    if (--notify_depth_ < 1)
      EraseNulls();
  }

 protected:
  void EraseNulls() override {
    if (notify_depth_ > 0 || observers_.empty())
      return;
    observers_.erase(std::remove(observers_.begin(), observers_.end(), nullptr), observers_.end());
  }

 private:
  std::vector<Observer*> observers_;
};

}  // namespace kbase
