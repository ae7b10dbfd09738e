#pragma once

namespace cef_standin {

// Makes cef_api_hash(0) report `hash` (a string that outlives its use)
// instead of the library's own; null restores it. For tests of the
// program's refusal of a foreign library.
void SetApiHashOverride(const char* hash);

}  // namespace cef_standin
