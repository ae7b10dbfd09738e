#pragma once

#include "base/thread/framework_thread.h"

// The application's one UI thread: it runs every window, control, timer and
// posted task of the program on the process's first thread.
class MainThread : public kbase::FrameworkThread {
 public:
  MainThread() : kbase::FrameworkThread("MainThread") {}

 protected:
  void Init() override;
  void Cleanup() override;
};
