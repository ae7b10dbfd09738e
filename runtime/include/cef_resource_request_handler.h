#pragma once

#include "runtime/include/cef_base.h"

// Per-request hooks (resource loading, redirects, responses). The program
// installs none, so the runtime loads every resource itself.
class CefResourceRequestHandler : public virtual CefBaseRefCounted {};
