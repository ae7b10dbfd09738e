#pragma once

#include <functional>

namespace kbase {

// The unit of work posted to message loops. An empty closure may be queued
// but is never run.
using Closure = std::function<void()>;

}  // namespace kbase
