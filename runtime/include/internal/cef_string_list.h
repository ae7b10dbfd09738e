#pragma once

#include "runtime/include/internal/cef_string.h"

extern "C" {

// An ordered list of strings owned by the runtime library.
typedef void* cef_string_list_t;

CEF_EXPORT cef_string_list_t cef_string_list_alloc(void);
CEF_EXPORT size_t cef_string_list_size(cef_string_list_t list);
// Copies the value at `index` into `value`; 0 when out of range.
CEF_EXPORT int cef_string_list_value(cef_string_list_t list, size_t index, cef_string_t* value);
CEF_EXPORT void cef_string_list_append(cef_string_list_t list, const cef_string_t* value);
CEF_EXPORT void cef_string_list_clear(cef_string_list_t list);
CEF_EXPORT void cef_string_list_free(cef_string_list_t list);
CEF_EXPORT cef_string_list_t cef_string_list_copy(cef_string_list_t list);

}  // extern "C"
