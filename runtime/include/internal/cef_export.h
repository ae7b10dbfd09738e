#pragma once

// Functions of the runtime library. The library itself exports them; a
// program reaches them through the loader linked into it
// (runtime/wrapper), which loads the library on first use, so that the
// program starts without it.
#if defined(BUILDING_CEF_SHARED)
#define CEF_EXPORT __declspec(dllexport)
#else
#define CEF_EXPORT
#endif
