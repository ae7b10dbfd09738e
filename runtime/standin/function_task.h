#pragma once

#include <functional>
#include <utility>

#include "runtime/include/cef_task.h"

namespace cef_standin {

// The runtime's own work posted to its threads.
class FunctionTask : public CefTask {
 public:
  explicit FunctionTask(std::function<void()> function) : function_(std::move(function)) {}

  void Execute() override {
    if (function_)
      function_();
  }

 private:
  std::function<void()> function_;

  IMPLEMENT_REFCOUNTING(FunctionTask);
};

inline CefRefPtr<CefTask> MakeTask(std::function<void()> function) {
  return new FunctionTask(std::move(function));
}

}  // namespace cef_standin
