#pragma once

#include <functional>

#include "runtime/include/cef_task.h"

namespace kel_comp {

// A runtime task that runs a callable. The runtime's own closure tasks take
// its base library's callbacks, which the program does not use.
class RuntimeTask : public CefTask {
 public:
  explicit RuntimeTask(std::function<void()> work) : work_(std::move(work)) {}

  void Execute() override {
    if (work_)
      work_();
  }

 private:
  std::function<void()> work_;

  IMPLEMENT_REFCOUNTING(RuntimeTask);
};

// Runs `work` later on the runtime thread `thread`; false when that thread
// does not run (the work is then dropped).
inline bool PostRuntimeTask(CefThreadId thread, std::function<void()> work) {
  return CefPostTask(thread, new RuntimeTask(std::move(work)));
}

}  // namespace kel_comp
