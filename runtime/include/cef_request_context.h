#pragma once

#include "runtime/include/cef_base.h"

// A separate set of cookies, cache and settings for browsers. The program
// always passes none, so its browsers share the global context.
class CefRequestContext : public virtual CefBaseRefCounted {};
