#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "base/thread/framework_thread.h"
#include "base/thread/thread_registry.h"
#include "tests/support/temp_folder.h"

namespace test {

// A UI loop registered as the program's main thread, running on a thread
// of its own for as long as the object lives.
class MainThreadForTest : public kbase::FrameworkThread {
 public:
  MainThreadForTest() : kbase::FrameworkThread("TestMainThread") {
    thread_ = std::thread([this] { RunOnCurrentThread(kbase::kUiLoop); });
    WaitUntil([this] { return os_thread_id_.load() != 0; });
  }

  ~MainThreadForTest() override {
    kbase::ThreadRegistry::PostTask(kbase::kMainThreadIdentifier, [] { PostQuitMessage(0); });
    thread_.join();
  }

  DWORD os_thread_id() const { return os_thread_id_; }

  // Runs `task` on the main thread after what is queued there, and waits
  // for it.
  bool RunAndWait(std::function<void()> task) {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const bool posted = kbase::ThreadRegistry::PostTask(kbase::kMainThreadIdentifier, [&] {
      task();
      SetEvent(done);
    });
    const bool ran = posted && WaitForSingleObject(done, 5000) == WAIT_OBJECT_0;
    CloseHandle(done);
    return ran;
  }

 protected:
  void Init() override {
    kbase::ThreadRegistry::RegisterThread(kbase::kMainThreadIdentifier);
    os_thread_id_ = GetCurrentThreadId();
  }
  void Cleanup() override { kbase::ThreadRegistry::UnregisterThread(); }

 private:
  std::thread thread_;
  std::atomic<DWORD> os_thread_id_{0};
};

}  // namespace test
