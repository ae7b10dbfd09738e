#pragma once

#include <functional>

#include "runtime/include/cef_task.h"

// A task that runs a callable.
CefRefPtr<CefTask> CefCreateClosureTask(std::function<void()> closure);
