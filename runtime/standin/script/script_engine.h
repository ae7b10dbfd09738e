#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include <quickjs.h>

namespace cef_standin::script {

// The script engine of the renderer thread: one QuickJS runtime shared by
// every page context of the thread, with limits that keep a hostile page
// from taking the renderer down. Memory beyond kMemoryLimit and recursion
// beyond kStackLimit throw in the script; a script that runs longer than
// the time limit is interrupted (an uncatchable error).
//
// Created and destroyed on the renderer thread, used there only; every
// context made from it must be freed before it goes.
class ScriptEngine {
 public:
  static constexpr size_t kMemoryLimit = size_t{256} * 1024 * 1024;
  // Well inside the renderer thread's stack, so that native code between
  // script frames (handlers, the engine's own C) has room left.
  static constexpr size_t kStackLimit = size_t{768} * 1024;
  static constexpr int64_t kDefaultTimeLimitMs = 5000;

  ScriptEngine();
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  JSRuntime* runtime() const { return runtime_; }
  // The class of functions that call a native handler (a callable object).
  static JSClassID HandlerFunctionClass();

  void set_time_limit_ms(int64_t limit_ms) { time_limit_ms_ = limit_ms; }
  int64_t time_limit_ms() const { return time_limit_ms_; }

  // Brackets every entry of native code into script. The outermost one
  // starts the time budget; leaving it runs the promise jobs that the
  // script queued.
  void EnterScript();
  void LeaveScript();
  // Whether the running script ran out of time; cleared when the
  // outermost script entry ends.
  bool interrupted() const { return interrupted_; }
  // True once per interruption: nested script entries that all end with
  // it report it only once.
  bool TakeInterruptReport() {
    const bool report = interrupted_ && !interrupt_reported_;
    interrupt_reported_ = interrupt_reported_ || interrupted_;
    return report;
  }

  // Whether the renderer's stack is used up to the limit. The engine
  // checks this for script frames; native functions calling native
  // functions check it themselves.
  bool StackExhausted() const;

  // The engine of a runtime, or null.
  static ScriptEngine* OfRuntime(JSRuntime* runtime);

 private:
  static int OnInterruptCheck(JSRuntime* runtime, void* opaque);
  void RunPendingJobs();

  JSRuntime* runtime_ = nullptr;
  DWORD thread_id_ = 0;
  int64_t time_limit_ms_ = kDefaultTimeLimitMs;
  int depth_ = 0;
  ULONGLONG deadline_ = 0;
  uintptr_t stack_limit_ = 0;
  bool interrupted_ = false;
  bool interrupt_reported_ = false;
};

// EnterScript and LeaveScript for one scope.
class ScriptScope {
 public:
  explicit ScriptScope(ScriptEngine* engine) : engine_(engine) {
    if (engine_)
      engine_->EnterScript();
  }
  ~ScriptScope() {
    if (engine_)
      engine_->LeaveScript();
  }
  ScriptScope(const ScriptScope&) = delete;
  ScriptScope& operator=(const ScriptScope&) = delete;

 private:
  ScriptEngine* engine_;
};

}  // namespace cef_standin::script
