#include "base/util/string_util.h"

#include <gtest/gtest.h>

#include <string>

namespace kbase {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(Utf8ToUtf16Test, DecodesEveryLengthAndBuildsSurrogatePairs) {
  // "A", U+00E9, U+4E2D, U+1F600.
  const std::string text = Bytes({0x41, 0xC3, 0xA9, 0xE4, 0xB8, 0xAD, 0xF0, 0x9F, 0x98, 0x80});
  EXPECT_EQ(Utf8ToUtf16(text), std::wstring(L"A\u00E9\u4E2D") + wchar_t(0xD83D) + wchar_t(0xDE00));
  EXPECT_EQ(Utf8ToUtf16(Bytes({0xF4, 0x8F, 0xBF, 0xBF})),
            std::wstring() + wchar_t(0xDBFF) + wchar_t(0xDFFF));
  EXPECT_EQ(Utf8ToUtf16(""), L"");
  EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Utf8ToUtf16Test, OneBadSequenceEmptiesTheWholeResult) {
  const std::string valid = "valid text \xE4\xB8\xAD";
  const struct {
    const char* what;
    std::string bytes;
  } kCases[] = {
      {"stray lead byte at the end", valid + Bytes({0xC3})},
      {"three-byte sequence cut short", valid + Bytes({0xE4, 0xB8})},
      {"lone trailing byte", Bytes({0x80}) + valid},
      {"overlong two-byte form", valid + Bytes({0xC0, 0x80})},
      {"overlong C1 lead", Bytes({0xC1, 0xBF}) + valid},
      {"overlong three-byte form", Bytes({0xE0, 0x80, 0x80}) + valid},
      {"encoded surrogate", valid + Bytes({0xED, 0xA0, 0x80}) + valid},
      {"overlong four-byte form", Bytes({0xF0, 0x8F, 0xBF, 0xBF})},
      {"beyond U+10FFFF", Bytes({0xF4, 0x90, 0x80, 0x80})},
      {"lead above F4", Bytes({0xF5, 0x80, 0x80, 0x80})},
      {"five-byte form", Bytes({0xF8, 0x88, 0x80, 0x80, 0x80})},
      {"six-byte form", Bytes({0xFC, 0x84, 0x80, 0x80, 0x80, 0x80})},
      {"bad trailing byte", valid + Bytes({0xE4, 0x41, 0xAD})},
      {"bad last trailing byte", Bytes({0xF0, 0x9F, 0x98, 0x41})},
  };
  for (const auto& test_case : kCases)
    EXPECT_EQ(Utf8ToUtf16(test_case.bytes), L"") << test_case.what;
}

TEST(Utf8ToUtf16Test, AcceptsTheEdgesOfTheLegalRanges) {
  EXPECT_EQ(Utf8ToUtf16(Bytes({0xC2, 0x80})), L"\u0080");
  EXPECT_EQ(Utf8ToUtf16(Bytes({0xE0, 0xA0, 0x80})), L"\u0800");
  EXPECT_EQ(Utf8ToUtf16(Bytes({0xED, 0x9F, 0xBF})), L"\uD7FF");
  EXPECT_EQ(Utf8ToUtf16(Bytes({0xEE, 0x80, 0x80})), L"\uE000");
  EXPECT_EQ(Utf8ToUtf16(Bytes({0xEF, 0xBF, 0xBF})), L"\uFFFF");
  EXPECT_EQ(Utf8ToUtf16(Bytes({0xF0, 0x90, 0x80, 0x80})),
            std::wstring() + wchar_t(0xD800) + wchar_t(0xDC00));
}

TEST(Utf16ToUtf8Test, UnpairedSurrogatesAreEncodedOnTheirOwn) {
  const std::wstring high_then_letter = std::wstring() + wchar_t(0xD800) + L'A';
  EXPECT_EQ(Utf16ToUtf8(high_then_letter), Bytes({0xED, 0xA0, 0x80, 0x41}));
  const std::wstring lone_low = std::wstring(L"x") + wchar_t(0xDC00) + L'y';
  EXPECT_EQ(Utf16ToUtf8(lone_low), Bytes({0x78, 0xED, 0xB0, 0x80, 0x79}));
  const std::wstring two_highs =
      std::wstring() + wchar_t(0xD83D) + wchar_t(0xD83D) + wchar_t(0xDE00);
  EXPECT_EQ(Utf16ToUtf8(two_highs), Bytes({0xED, 0xA0, 0xBD, 0xF0, 0x9F, 0x98, 0x80}));
}

TEST(Utf16ToUtf8Test, HighSurrogateAsLastUnitEmptiesTheResult) {
  EXPECT_EQ(Utf16ToUtf8(std::wstring(L"abc") + wchar_t(0xDBFF)), "");
  EXPECT_EQ(Utf16ToUtf8(std::wstring(1, wchar_t(0xD800))), "");
}

TEST(Utf16ToUtf8Test, RoundTripsWellFormedText) {
  const std::wstring samples[] = {
      L"",
      L"plain ASCII",
      L"\u8BF7\u89E3\u538BCef.rar\u538B\u7F29\u5305",
      std::wstring(L"\u00FF\u07FF\u0800\uFFFD") + wchar_t(0xD83D) + wchar_t(0xDE00) + L"!",
      std::wstring(L"nul\0inside", 10),
  };
  for (const std::wstring& sample : samples)
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(sample)), sample);
  EXPECT_EQ(Utf16ToUtf8(L"\u4E2D"), "\xE4\xB8\xAD");
}

TEST(FormatStringTest, FormatsShortAndLongTexts) {
  EXPECT_EQ(FormatString("Failed to call function %s.", "f"), "Failed to call function f.");
  EXPECT_EQ(FormatString("%d-%05.1f-%c", -42, 3.14159, 'x'), "-42-003.1-x");
  EXPECT_EQ(FormatString("%s", ""), "");

  const std::string long_text(5000, 'q');
  EXPECT_EQ(FormatString("%s", long_text.c_str()), long_text);
  const std::string padded = FormatString("%5000d", 7);
  ASSERT_EQ(padded.size(), 5000u);
  EXPECT_EQ(padded.back(), '7');
  EXPECT_EQ(padded.find_first_not_of(' '), 4999u);
}

TEST(FormatStringTest, TextsAroundTheStackBufferSize) {
  for (size_t length : {1022u, 1023u, 1024u, 1025u, 2047u, 2048u, 4097u}) {
    const std::string text(length, 'z');
    EXPECT_EQ(FormatString("%s", text.c_str()), text) << length;
  }
}

TEST(FormatStringTest, TextsBeyondThirtyTwoMebibytesGiveEmpty) {
  const std::string too_long(kMaxFormattedLength, 'w');
  EXPECT_EQ(FormatString("%s", too_long.c_str()), "");
  const std::string largest = FormatString("%s", too_long.c_str() + 1);
  EXPECT_EQ(largest.size(), kMaxFormattedLength - 1);
  EXPECT_EQ(FormatString(nullptr), "");
}

TEST(FormatWideBoundedTest, WritesWhatFitsAndReportsWhatDoesNot) {
  wchar_t buffer[8];
  EXPECT_EQ(FormatWideBounded(buffer, 8, L"%d,%d", 12, 345), 6);
  EXPECT_STREQ(buffer, L"12,345");
  EXPECT_EQ(FormatWideBounded(buffer, 8, L"%ls", L"1234567"), 7);
  EXPECT_STREQ(buffer, L"1234567");

  EXPECT_EQ(FormatWideBounded(buffer, 8, L"%ls", L"12345678"), -1);
  EXPECT_EQ(buffer[7], L'\0') << "a text that does not fit is still terminated";
  EXPECT_EQ(FormatWideBounded(buffer, 4, L"%d", 123456), -1);
  EXPECT_EQ(buffer[3], L'\0');
  EXPECT_LE(std::wstring(buffer).size(), 3u);
}

TEST(FormatWideBoundedTest, RefusesMissingBuffersAndFormats) {
  wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_EQ(FormatWideBounded(buffer, 0, L"%d", 1), -1);
  EXPECT_EQ(buffer[0], L'x') << "capacity 0 writes nothing";
  EXPECT_EQ(FormatWideBounded(nullptr, 4, L"%d", 1), -1);
  EXPECT_EQ(FormatWideBounded(buffer, 4, nullptr), -1);
  EXPECT_EQ(buffer[0], L'\0');
}

}  // namespace
}  // namespace kbase
