#pragma once

#include "runtime/include/internal/cef_export.h"

// The hash of the interface these headers describe. A program built
// against them refuses to run on a runtime library that reports another
// one. Change it whenever a structure or a virtual interface changes.
#define CEF_API_HASH_PLATFORM "6f8c0f3a9b2d4e71c5a8e0d3b7f1a2c49e6d5b80"
#define CEF_API_HASH_UNIVERSAL "6f8c0f3a9b2d4e71c5a8e0d3b7f1a2c49e6d5b80"

extern "C" {

// entry 0: platform hash, 1: universal hash, 2: the runtime's build
// identifier.
CEF_EXPORT const char* cef_api_hash(int entry);

}  // extern "C"
