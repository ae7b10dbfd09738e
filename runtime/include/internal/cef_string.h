#pragma once

#include "runtime/include/internal/cef_string_types.h"

// The runtime's strings are UTF-16.
typedef cef_string_utf16_t cef_string_t;
typedef cef_string_userfree_utf16_t cef_string_userfree_t;

inline int cef_string_set(const char16* src, size_t src_len, cef_string_t* output, int copy) {
  return cef_string_utf16_set(src, src_len, output, copy);
}
inline void cef_string_clear(cef_string_t* str) {
  cef_string_utf16_clear(str);
}
inline int cef_string_cmp(const cef_string_t* str1, const cef_string_t* str2) {
  return cef_string_utf16_cmp(str1, str2);
}
inline cef_string_userfree_t cef_string_userfree_alloc() {
  return cef_string_userfree_utf16_alloc();
}
inline void cef_string_userfree_free(cef_string_userfree_t str) {
  cef_string_userfree_utf16_free(str);
}

#include "runtime/include/internal/cef_string_wrappers.h"
