#pragma once

#include "runtime/include/cef_base.h"

// A unit of work run on one of the runtime's threads.
class CefTask : public virtual CefBaseRefCounted {
 public:
  virtual void Execute() = 0;
};

// True when called on the given runtime thread.
bool CefCurrentlyOn(CefThreadId thread_id);
// Runs the task on the given runtime thread later. False when that thread
// does not run (before initialisation, after shutdown).
bool CefPostTask(CefThreadId thread_id, CefRefPtr<CefTask> task);
bool CefPostDelayedTask(CefThreadId thread_id, CefRefPtr<CefTask> task, int64 delay_ms);
