#pragma once

#include <windows.h>

namespace cef_loader {

// The runtime library "libcef.dll", loaded through the system's search
// path on the first call (start-up puts the runtime folder on it). Null
// when it cannot be loaded; the attempt is made once.
HMODULE Library();

// An entry point of the runtime library, or null.
void* EntryPoint(const char* name);

template <typename Function>
Function Resolve(const char* name) {
  return reinterpret_cast<Function>(EntryPoint(name));
}

}  // namespace cef_loader
