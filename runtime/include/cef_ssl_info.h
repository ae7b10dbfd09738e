#pragma once

#include "runtime/include/cef_base.h"

// The certificate state of a failed secure connection. The program never
// accepts such a connection, so it reads nothing of it.
class CefSSLInfo : public virtual CefBaseRefCounted {};
