#pragma once

#include <atomic>
#include <string>

#include "base/debug/check.h"

namespace test {

// While alive, failed debug checks are counted instead of aborting the
// test executable, so a test can provoke one on purpose. Release builds
// compile the checks out: tests that expect a failure skip there.
class CheckRecorder {
 public:
  static constexpr bool kChecksEnabled =
#if defined(NDEBUG)
      false;
#else
      true;
#endif

  CheckRecorder() {
    failures_ = 0;
    previous_ = kbase::SetCheckFailureHandler(&Record);
  }
  ~CheckRecorder() {
    kbase::SetCheckFailureHandler(previous_);
  }
  CheckRecorder(const CheckRecorder&) = delete;
  CheckRecorder& operator=(const CheckRecorder&) = delete;

  int failures() const {
    return failures_.load();
  }

 private:
  static void Record(const char*, const char*, int) {
    failures_.fetch_add(1);
  }

  static inline std::atomic<int> failures_{0};
  kbase::CheckFailureHandler previous_ = nullptr;
};

}  // namespace test
