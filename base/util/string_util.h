#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

// The conversion and formatting helpers build on every platform the
// project's tools run on; the fuzzers check them natively on Linux, where
// wchar_t is 32 bits wide, so UTF-16 text has a type of its own there.

#if defined(__MINGW32__)
#define KBASE_PRINTF_FORMAT(format_index, first_argument) \
  __attribute__((format(gnu_printf, format_index, first_argument)))
#elif defined(__GNUC__)
#define KBASE_PRINTF_FORMAT(format_index, first_argument) \
  __attribute__((format(printf, format_index, first_argument)))
#else
#define KBASE_PRINTF_FORMAT(format_index, first_argument)
#endif

namespace kbase {

#if defined(_WIN32)
using Utf16Char = wchar_t;
static_assert(sizeof(wchar_t) == 2, "wide strings are UTF-16 on Windows");
#else
using Utf16Char = char16_t;
#endif
using Utf16String = std::basic_string<Utf16Char>;
using Utf16StringView = std::basic_string_view<Utf16Char>;

// Strict UTF-8 decoding: one ill-formed or truncated sequence anywhere
// makes the whole result empty.
Utf16String Utf8ToUtf16(std::string_view utf8);

// Encodes surrogate pairs as one four-byte sequence and every other unit,
// unpaired surrogates included, on its own. A high surrogate as the last
// unit makes the whole result empty.
std::string Utf16ToUtf8(Utf16StringView utf16);

// The value of one hex digit of either case, or -1.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// "%XY" (two hex digits, either case) becomes that byte; every other byte,
// "+" and a "%" without two hex digits after it included, stays.
std::string PercentDecode(std::string_view text);

// printf into a string of any length up to 32 MiB; empty when the text is
// longer or the format cannot be encoded.
std::string FormatString(const char* format, ...) KBASE_PRINTF_FORMAT(1, 2);
std::string FormatStringV(const char* format, va_list arguments) KBASE_PRINTF_FORMAT(1, 0);

// The longest text FormatString produces, terminator included.
inline constexpr size_t kMaxFormattedLength = 0x2000000;

// Wide printf into a fixed buffer of `capacity` characters, terminator
// included. Returns the characters written, or -1 when the text did not
// fit (the buffer then holds as much of it as fits, terminated) or could
// not be formatted. Use %ls for wide string arguments.
int FormatWideBounded(wchar_t* buffer, size_t capacity, const wchar_t* format, ...);
int FormatWideBoundedV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list arguments);

}  // namespace kbase
