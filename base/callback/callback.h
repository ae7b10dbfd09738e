#pragma once

#include <functional>

namespace kbase {

// The unit of work posted to message loops. Posting an empty closure is a
// caller error that debug builds check; release builds queue it and never
// run it.
using Closure = std::function<void()>;

}  // namespace kbase
