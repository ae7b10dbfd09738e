#pragma once

#include "runtime/include/internal/cef_export.h"

// The hash of the interface these headers describe. A program built
// against them refuses to run on a runtime library that reports another
// one. Change it whenever a structure or a virtual interface changes.
#define CEF_API_HASH_PLATFORM "3a7d91c2e4b86f05d1c9a7e3b2f48d6c0e5a1b97"
#define CEF_API_HASH_UNIVERSAL "3a7d91c2e4b86f05d1c9a7e3b2f48d6c0e5a1b97"

extern "C" {

// entry 0: platform hash, 1: universal hash, 2: the runtime's build
// identifier.
CEF_EXPORT const char* cef_api_hash(int entry);

}  // extern "C"
