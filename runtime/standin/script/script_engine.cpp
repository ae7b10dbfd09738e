#include "runtime/standin/script/script_engine.h"

#include <cassert>
#include <mutex>

namespace cef_standin::script {

namespace {

JSClassID g_handler_function_class = 0;

}  // namespace

JSClassID ScriptEngine::HandlerFunctionClass() {
  // Class identifiers are the engine's process-wide numbers.
  static std::once_flag once;
  std::call_once(once, [] { JS_NewClassID(&g_handler_function_class); });
  return g_handler_function_class;
}

ScriptEngine::ScriptEngine() : thread_id_(GetCurrentThreadId()) {
  runtime_ = JS_NewRuntime();
  if (!runtime_)
    return;
  JS_SetRuntimeOpaque(runtime_, this);
  JS_SetMemoryLimit(runtime_, kMemoryLimit);
  JS_SetMaxStackSize(runtime_, kStackLimit);
  JS_SetInterruptHandler(runtime_, &ScriptEngine::OnInterruptCheck, this);
}

ScriptEngine::~ScriptEngine() {
  assert(GetCurrentThreadId() == thread_id_);
  if (runtime_) {
    RunPendingJobs();
    JS_FreeRuntime(runtime_);
  }
}

ScriptEngine* ScriptEngine::OfRuntime(JSRuntime* runtime) {
  return runtime ? static_cast<ScriptEngine*>(JS_GetRuntimeOpaque(runtime)) : nullptr;
}

void ScriptEngine::EnterScript() {
  assert(GetCurrentThreadId() == thread_id_);
  if (depth_++ == 0) {
    // The stack is measured from here: the outermost entry is as shallow
    // as the renderer's script ever gets.
    JS_UpdateStackTop(runtime_);
    stack_limit_ = reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) - kStackLimit;
    interrupted_ = false;
    interrupt_reported_ = false;
    deadline_ = GetTickCount64() + static_cast<ULONGLONG>(time_limit_ms_);
  }
}

bool ScriptEngine::StackExhausted() const {
  return depth_ > 0 && reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < stack_limit_;
}

void ScriptEngine::LeaveScript() {
  assert(depth_ > 0);
  if (depth_ == 1)
    RunPendingJobs();
  if (--depth_ == 0) {
    deadline_ = 0;
    interrupted_ = false;
  }
}

void ScriptEngine::RunPendingJobs() {
  JSContext* job_context = nullptr;
  // Each job is script too; a job that throws is dropped like a promise
  // rejection nobody handles.
  while (JS_IsJobPending(runtime_)) {
    if (JS_ExecutePendingJob(runtime_, &job_context) < 0 && job_context)
      JS_FreeValue(job_context, JS_GetException(job_context));
  }
}

int ScriptEngine::OnInterruptCheck(JSRuntime* /*runtime*/, void* opaque) {
  auto* engine = static_cast<ScriptEngine*>(opaque);
  if (engine->deadline_ == 0)
    return 0;
  if (engine->interrupted_ || GetTickCount64() > engine->deadline_) {
    engine->interrupted_ = true;
    return 1;
  }
  return 0;
}

}  // namespace cef_standin::script
