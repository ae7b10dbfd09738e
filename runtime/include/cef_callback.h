#pragma once

#include "runtime/include/cef_base.h"

// Continues or cancels an operation the runtime paused for an answer.
class CefCallback : public virtual CefBaseRefCounted {
 public:
  virtual void Continue() = 0;
  virtual void Cancel() = 0;
};

// Told once an asynchronous operation has finished.
class CefCompletionCallback : public virtual CefBaseRefCounted {
 public:
  virtual void OnComplete() = 0;
};
