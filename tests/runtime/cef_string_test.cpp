#include <gtest/gtest.h>

#include <map>
#include <string>

#include "runtime/include/cef_base.h"
#include "runtime/include/internal/cef_string_list.h"
#include "runtime/include/internal/cef_string_map.h"

namespace {

TEST(CefStringTest, ConvertsBetweenWideAndUtf8) {
  const CefString wide(L"\u8BF7\u89E3\u538B Cef");
  EXPECT_EQ(wide.length(), 7u);
  EXPECT_EQ(wide.ToString(), "\xE8\xAF\xB7\xE8\xA7\xA3\xE5\x8E\x8B Cef");
  const CefString utf8(std::string("\xE6\x8F\x90\xE7\xA4\xBA"));
  EXPECT_EQ(utf8.ToWString(), L"\u63D0\u793A");
  EXPECT_TRUE(CefString(std::string("\xC3")).empty()) << "ill-formed UTF-8 gives nothing";
  EXPECT_TRUE(CefString().empty());
  EXPECT_STREQ(CefString().c_str(), L"");
}

TEST(CefStringTest, AttachedStringWritesThroughAndCopiedStringDoesNot) {
  cef_string_t member = {};
  CefString attached(&member);
  attached = L"cache";
  ASSERT_EQ(member.length, 5u);
  EXPECT_EQ(std::wstring(member.str, member.length), L"cache");

  CefString copy(static_cast<const cef_string_t*>(&member));
  attached = std::wstring(L"log");
  EXPECT_EQ(copy.ToWString(), L"cache");
  EXPECT_EQ(CefString(&member).ToWString(), L"log");

  cef_string_clear(&member);
  EXPECT_EQ(member.str, nullptr);
  EXPECT_EQ(member.length, 0u);
}

TEST(CefStringTest, CopiesAreIndependentAndSelfAssignmentKeepsTheText) {
  CefString original(L"first");
  CefString copy(original);
  original = L"second";
  EXPECT_EQ(copy.ToWString(), L"first");
  CefString moved(std::move(copy));
  EXPECT_EQ(moved.ToWString(), L"first");
  CefString& alias = moved;
  moved = alias;
  EXPECT_EQ(moved.ToWString(), L"first");
}

TEST(CefStringTest, SetFromItsOwnBufferAndByReference) {
  cef_string_t text = {};
  cef_string_set(L"abcdef", 6, &text, 1);
  ASSERT_NE(text.dtor, nullptr);
  ASSERT_EQ(cef_string_set(text.str + 2, 3, &text, 1), 1);
  EXPECT_EQ(std::wstring(text.str, text.length), L"cde");
  EXPECT_EQ(text.str[text.length], L'\0');
  cef_string_clear(&text);

  static const wchar_t kStatic[] = L"shared";
  cef_string_set(kStatic, 6, &text, 0);
  EXPECT_EQ(text.str, kStatic);
  EXPECT_EQ(text.dtor, nullptr) << "a referenced buffer is not freed";
  cef_string_clear(&text);
  EXPECT_EQ(cef_string_set(L"x", 1, nullptr, 1), 0);
}

TEST(CefStringTest, OrdersLikeTheRuntime) {
  EXPECT_LT(CefString(L"abc").compare(CefString(L"abd")), 0);
  EXPECT_LT(CefString(L"ab").compare(CefString(L"abc")), 0);
  EXPECT_EQ(CefString(L"").compare(CefString()), 0);
  std::map<CefString, int> map;
  map[L"b"] = 2;
  map[L"a"] = 1;
  map[L"b"] = 3;
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map.begin()->first, L"a");
  EXPECT_EQ(map[L"b"], 3);
}

TEST(CefStringListTest, KeepsOrderAndCopiesAreIndependent) {
  cef_string_list_t list = cef_string_list_alloc();
  ASSERT_NE(list, nullptr);
  cef_string_list_append(list, CefString(L"http").GetStruct());
  cef_string_list_append(list, CefString(L"https").GetStruct());
  cef_string_list_t copy = cef_string_list_copy(list);
  cef_string_list_clear(list);
  EXPECT_EQ(cef_string_list_size(list), 0u);

  ASSERT_EQ(cef_string_list_size(copy), 2u);
  CefString value;
  EXPECT_EQ(cef_string_list_value(copy, 1, value.GetWritableStruct()), 1);
  EXPECT_EQ(value.ToWString(), L"https");
  EXPECT_EQ(cef_string_list_value(copy, 2, value.GetWritableStruct()), 0);
  EXPECT_EQ(cef_string_list_size(nullptr), 0u);
  cef_string_list_free(copy);
  cef_string_list_free(list);
  cef_string_list_free(nullptr);
}

TEST(CefStringMapTest, KeysAreUniqueAndFoundByNameOrIndex) {
  cef_string_map_t map = cef_string_map_alloc();
  EXPECT_EQ(cef_string_map_append(map, CefString(L"k1").GetStruct(), CefString(L"v1").GetStruct()),
            1);
  EXPECT_EQ(cef_string_map_append(map, CefString(L"k2").GetStruct(), CefString(L"v2").GetStruct()),
            1);
  EXPECT_EQ(cef_string_map_append(map, CefString(L"k1").GetStruct(), CefString(L"x").GetStruct()),
            0);
  ASSERT_EQ(cef_string_map_size(map), 2u);

  CefString text;
  EXPECT_EQ(cef_string_map_find(map, CefString(L"k2").GetStruct(), text.GetWritableStruct()), 1);
  EXPECT_EQ(text.ToWString(), L"v2");
  EXPECT_EQ(cef_string_map_find(map, CefString(L"k3").GetStruct(), text.GetWritableStruct()), 0);
  EXPECT_EQ(cef_string_map_key(map, 0, text.GetWritableStruct()), 1);
  EXPECT_EQ(text.ToWString(), L"k1");
  EXPECT_EQ(cef_string_map_value(map, 0, text.GetWritableStruct()), 1);
  EXPECT_EQ(text.ToWString(), L"v1");
  EXPECT_EQ(cef_string_map_value(map, 5, text.GetWritableStruct()), 0);
  cef_string_map_free(map);
}

TEST(CefSettingsTest, StartsZeroFilledCopiesDeeplyAndReleasesItsStrings) {
  CefSettings settings;
  EXPECT_EQ(settings.size, sizeof(cef_settings_t));
  EXPECT_EQ(settings.cache_path.str, nullptr);
  EXPECT_EQ(settings.multi_threaded_message_loop, 0);

  CefString(&settings.cache_path) = L"C:\\data\\cef_temp\\CefLocalStorage";
  settings.no_sandbox = 1;
  CefSettings copy(settings);
  EXPECT_NE(copy.cache_path.str, settings.cache_path.str);
  EXPECT_EQ(CefString(&copy.cache_path).ToWString(), L"C:\\data\\cef_temp\\CefLocalStorage");
  EXPECT_EQ(copy.no_sandbox, 1);

  settings.Reset();
  EXPECT_EQ(settings.cache_path.str, nullptr);
  EXPECT_EQ(settings.no_sandbox, 0);
  EXPECT_EQ(settings.size, sizeof(cef_settings_t));
  EXPECT_EQ(CefString(&copy.cache_path).ToWString(), L"C:\\data\\cef_temp\\CefLocalStorage");
}

}  // namespace
