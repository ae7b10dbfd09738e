#pragma once

#include "runtime/include/cef_base.h"

// Answers a request the runtime paused on (a storage quota, a certificate
// error): once, on any thread.
class CefRequestCallback : public virtual CefBaseRefCounted {
 public:
  virtual void Continue(bool allow) = 0;
  virtual void Cancel() = 0;
};
