// Strings, string lists and string maps of the runtime's C interface.

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "base/util/string_util.h"
#include "runtime/include/internal/cef_string_list.h"
#include "runtime/include/internal/cef_string_map.h"

namespace {

void FreeUtf16(char16* str) {
  delete[] str;
}

void FreeUtf8(char* str) {
  delete[] str;
}

template <typename Char>
Char* CopyBuffer(const Char* src, size_t length) {
  Char* buffer = new (std::nothrow) Char[length + 1];
  if (!buffer)
    return nullptr;
  std::memcpy(buffer, src, length * sizeof(Char));
  buffer[length] = 0;
  return buffer;
}

// Shared by both string widths: the copy is made before the old contents
// are released, so a string may be set from its own buffer.
template <typename Struct, typename Char>
int SetString(const Char* src, size_t length, Struct* output, bool copy, void (*dtor)(Char*)) {
  if (!output)
    return 0;
  Struct replacement = {};
  if (src && length > 0) {
    if (copy) {
      replacement.str = CopyBuffer(src, length);
      if (!replacement.str)
        return 0;
      replacement.dtor = dtor;
    } else {
      replacement.str = const_cast<Char*>(src);
    }
    replacement.length = length;
  }
  if (output->dtor && output->str)
    output->dtor(output->str);
  *output = replacement;
  return 1;
}

std::wstring ToWString(const cef_string_t* str) {
  return str && str->str ? std::wstring(str->str, str->length) : std::wstring();
}

void SetFrom(const std::wstring& value, cef_string_t* output) {
  cef_string_utf16_set(value.data(), value.size(), output, 1);
}

struct StringList {
  std::vector<std::wstring> values;
};

struct StringMap {
  std::vector<std::pair<std::wstring, std::wstring>> entries;
};

StringList* AsList(cef_string_list_t list) {
  return static_cast<StringList*>(list);
}

StringMap* AsMap(cef_string_map_t map) {
  return static_cast<StringMap*>(map);
}

}  // namespace

int cef_string_utf16_set(const char16* src, size_t src_len, cef_string_utf16_t* output, int copy) {
  return SetString(src, src_len, output, copy != 0, &FreeUtf16);
}

int cef_string_utf8_set(const char* src, size_t src_len, cef_string_utf8_t* output, int copy) {
  return SetString(src, src_len, output, copy != 0, &FreeUtf8);
}

void cef_string_utf16_clear(cef_string_utf16_t* str) {
  if (!str)
    return;
  if (str->dtor && str->str)
    str->dtor(str->str);
  *str = cef_string_utf16_t{};
}

void cef_string_utf8_clear(cef_string_utf8_t* str) {
  if (!str)
    return;
  if (str->dtor && str->str)
    str->dtor(str->str);
  *str = cef_string_utf8_t{};
}

int cef_string_utf16_cmp(const cef_string_utf16_t* str1, const cef_string_utf16_t* str2) {
  const std::wstring_view a =
      str1 && str1->str ? std::wstring_view(str1->str, str1->length) : std::wstring_view();
  const std::wstring_view b =
      str2 && str2->str ? std::wstring_view(str2->str, str2->length) : std::wstring_view();
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int cef_string_utf16_to_utf8(const char16* src, size_t src_len, cef_string_utf8_t* output) {
  if (!output)
    return 0;
  const std::string converted =
      src ? kbase::Utf16ToUtf8(std::wstring_view(src, src_len)) : std::string();
  if (!cef_string_utf8_set(converted.data(), converted.size(), output, 1))
    return 0;
  return converted.empty() && src_len > 0 ? 0 : 1;
}

int cef_string_utf8_to_utf16(const char* src, size_t src_len, cef_string_utf16_t* output) {
  if (!output)
    return 0;
  const std::wstring converted =
      src ? kbase::Utf8ToUtf16(std::string_view(src, src_len)) : std::wstring();
  if (!cef_string_utf16_set(converted.data(), converted.size(), output, 1))
    return 0;
  return converted.empty() && src_len > 0 ? 0 : 1;
}

cef_string_userfree_utf16_t cef_string_userfree_utf16_alloc() {
  return new (std::nothrow) cef_string_utf16_t{};
}

void cef_string_userfree_utf16_free(cef_string_userfree_utf16_t str) {
  cef_string_utf16_clear(str);
  delete str;
}

cef_string_list_t cef_string_list_alloc() {
  return new (std::nothrow) StringList;
}

size_t cef_string_list_size(cef_string_list_t list) {
  return list ? AsList(list)->values.size() : 0;
}

int cef_string_list_value(cef_string_list_t list, size_t index, cef_string_t* value) {
  if (!list || !value || index >= AsList(list)->values.size())
    return 0;
  SetFrom(AsList(list)->values[index], value);
  return 1;
}

void cef_string_list_append(cef_string_list_t list, const cef_string_t* value) {
  if (list)
    AsList(list)->values.push_back(ToWString(value));
}

void cef_string_list_clear(cef_string_list_t list) {
  if (list)
    AsList(list)->values.clear();
}

void cef_string_list_free(cef_string_list_t list) {
  delete AsList(list);
}

cef_string_list_t cef_string_list_copy(cef_string_list_t list) {
  return list ? new (std::nothrow) StringList(*AsList(list)) : nullptr;
}

cef_string_map_t cef_string_map_alloc() {
  return new (std::nothrow) StringMap;
}

size_t cef_string_map_size(cef_string_map_t map) {
  return map ? AsMap(map)->entries.size() : 0;
}

int cef_string_map_find(cef_string_map_t map, const cef_string_t* key, cef_string_t* value) {
  if (!map || !value)
    return 0;
  const std::wstring wanted = ToWString(key);
  const auto& entries = AsMap(map)->entries;
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const auto& entry) { return entry.first == wanted; });
  if (found == entries.end())
    return 0;
  SetFrom(found->second, value);
  return 1;
}

int cef_string_map_key(cef_string_map_t map, size_t index, cef_string_t* key) {
  if (!map || !key || index >= AsMap(map)->entries.size())
    return 0;
  SetFrom(AsMap(map)->entries[index].first, key);
  return 1;
}

int cef_string_map_value(cef_string_map_t map, size_t index, cef_string_t* value) {
  if (!map || !value || index >= AsMap(map)->entries.size())
    return 0;
  SetFrom(AsMap(map)->entries[index].second, value);
  return 1;
}

int cef_string_map_append(cef_string_map_t map,
                          const cef_string_t* key,
                          const cef_string_t* value) {
  if (!map)
    return 0;
  std::wstring name = ToWString(key);
  auto& entries = AsMap(map)->entries;
  for (const auto& entry : entries) {
    if (entry.first == name)
      return 0;
  }
  entries.emplace_back(std::move(name), ToWString(value));
  return 1;
}

void cef_string_map_clear(cef_string_map_t map) {
  if (map)
    AsMap(map)->entries.clear();
}

void cef_string_map_free(cef_string_map_t map) {
  delete AsMap(map);
}
