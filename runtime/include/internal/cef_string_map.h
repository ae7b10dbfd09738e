#pragma once

#include "runtime/include/internal/cef_string.h"

extern "C" {

// Key/value pairs of strings in insertion order, owned by the runtime
// library. Keys are unique; appending an existing key fails.
typedef void* cef_string_map_t;

CEF_EXPORT cef_string_map_t cef_string_map_alloc(void);
CEF_EXPORT size_t cef_string_map_size(cef_string_map_t map);
// Copies the value of `key` into `value`; 0 when the key is absent.
CEF_EXPORT int cef_string_map_find(cef_string_map_t map,
                                   const cef_string_t* key,
                                   cef_string_t* value);
CEF_EXPORT int cef_string_map_key(cef_string_map_t map, size_t index, cef_string_t* key);
CEF_EXPORT int cef_string_map_value(cef_string_map_t map, size_t index, cef_string_t* value);
CEF_EXPORT int cef_string_map_append(cef_string_map_t map,
                                     const cef_string_t* key,
                                     const cef_string_t* value);
CEF_EXPORT void cef_string_map_clear(cef_string_map_t map);
CEF_EXPORT void cef_string_map_free(cef_string_map_t map);

}  // extern "C"
