#include "base/util/string_util.h"

#include <cstdint>
#include <cstdio>
#include <cwchar>

namespace kbase {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kHighSurrogateLast = 0xDBFF;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kLowSurrogateLast = 0xDFFF;

bool IsHighSurrogate(char32_t unit) {
  return unit >= kHighSurrogateFirst && unit <= kHighSurrogateLast;
}

bool IsLowSurrogate(char32_t unit) {
  return unit >= kLowSurrogateFirst && unit <= kLowSurrogateLast;
}

bool IsTrailByte(uint8_t byte) {
  return byte >= 0x80 && byte <= 0xBF;
}

// The length a lead byte announces, from the classic table that also
// covers the five- and six-byte forms (which are never legal).
size_t SequenceLength(uint8_t lead) {
  if (lead < 0xC0)
    return 1;
  if (lead < 0xE0)
    return 2;
  if (lead < 0xF0)
    return 3;
  if (lead < 0xF8)
    return 4;
  if (lead < 0xFC)
    return 5;
  return 6;
}

// The well-formedness rules of Unicode's table 3-7: no overlong forms, no
// encoded surrogates, nothing beyond U+10FFFF.
bool IsLegalSequence(const uint8_t* bytes, size_t length) {
  const uint8_t lead = bytes[0];
  if (length > 4 || (lead >= 0x80 && lead < 0xC2) || lead > 0xF4)
    return false;
  if (length == 1)
    return true;
  for (size_t i = 2; i < length; ++i) {
    if (!IsTrailByte(bytes[i]))
      return false;
  }
  const uint8_t second = bytes[1];
  switch (lead) {
    case 0xE0:
      return second >= 0xA0 && second <= 0xBF;
    case 0xED:
      return second >= 0x80 && second <= 0x9F;
    case 0xF0:
      return second >= 0x90 && second <= 0xBF;
    case 0xF4:
      return second >= 0x80 && second <= 0x8F;
    default:
      return IsTrailByte(second);
  }
}

char32_t DecodeSequence(const uint8_t* bytes, size_t length) {
  static constexpr uint8_t kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t value = bytes[0] & kLeadMask[length];
  for (size_t i = 1; i < length; ++i)
    value = (value << 6) | (bytes[i] & 0x3F);
  return value;
}

void AppendCodePointAsUtf16(char32_t value, Utf16String& out) {
  if (value > kMaxCodePoint || (value >= kHighSurrogateFirst && value <= kLowSurrogateLast)) {
    out.push_back(static_cast<Utf16Char>(kReplacementCharacter));
  } else if (value > 0xFFFF) {
    value -= 0x10000;
    out.push_back(static_cast<Utf16Char>(kHighSurrogateFirst + (value >> 10)));
    out.push_back(static_cast<Utf16Char>(kLowSurrogateFirst + (value & 0x3FF)));
  } else {
    out.push_back(static_cast<Utf16Char>(value));
  }
}

void AppendCodePointAsUtf8(char32_t value, std::string& out) {
  if (value < 0x80) {
    out.push_back(static_cast<char>(value));
  } else if (value < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (value >> 6)));
    out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
  } else if (value < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (value >> 12)));
    out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (value >> 18)));
    out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
  }
}

}  // namespace

Utf16String Utf8ToUtf16(std::string_view utf8) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
  const size_t size = utf8.size();
  Utf16String result;
  result.reserve(size);
  size_t position = 0;
  while (position < size) {
    const size_t length = SequenceLength(bytes[position]);
    if (length > size - position || !IsLegalSequence(bytes + position, length))
      return Utf16String();
    AppendCodePointAsUtf16(DecodeSequence(bytes + position, length), result);
    position += length;
  }
  return result;
}

std::string Utf16ToUtf8(Utf16StringView utf16) {
  std::string result;
  result.reserve(utf16.size() * 3);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t value = static_cast<char16_t>(utf16[i]);
    if (IsHighSurrogate(value)) {
      if (i + 1 == utf16.size())
        return std::string();
      const char32_t next = static_cast<char16_t>(utf16[i + 1]);
      if (IsLowSurrogate(next)) {
        value = 0x10000 + ((value - kHighSurrogateFirst) << 10) + (next - kLowSurrogateFirst);
        ++i;
      }
    }
    AppendCodePointAsUtf8(value, result);
  }
  return result;
}

std::string FormatString(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string text = FormatStringV(format, arguments);
  va_end(arguments);
  return text;
}

std::string FormatStringV(const char* format, va_list arguments) {
  if (!format)
    return std::string();

  constexpr size_t kStackCapacity = 1024;
  char stack_buffer[kStackCapacity];
  va_list attempt;
  va_copy(attempt, arguments);
  const int length = std::vsnprintf(stack_buffer, kStackCapacity, format, attempt);
  va_end(attempt);
  if (length < 0)
    return std::string();
  if (static_cast<size_t>(length) < kStackCapacity)
    return std::string(stack_buffer, static_cast<size_t>(length));

  size_t capacity = kStackCapacity;
  while (capacity <= static_cast<size_t>(length)) {
    capacity *= 2;
    if (capacity > kMaxFormattedLength)
      return std::string();
  }
  std::string text(capacity, '\0');
  va_copy(attempt, arguments);
  const int written = std::vsnprintf(text.data(), capacity, format, attempt);
  va_end(attempt);
  // An argument that changed between the passes (another thread's string)
  // must not leave a half-written text behind.
  if (written != length)
    return std::string();
  text.resize(static_cast<size_t>(length));
  return text;
}

int FormatWideBounded(wchar_t* buffer, size_t capacity, const wchar_t* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int written = FormatWideBoundedV(buffer, capacity, format, arguments);
  va_end(arguments);
  return written;
}

int FormatWideBoundedV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list arguments) {
  if (!buffer || capacity == 0)
    return -1;
  if (!format) {
    buffer[0] = L'\0';
    return -1;
  }
  // Runtime libraries disagree on what a too-small buffer returns (-1, or
  // the length the text needs) and on whether it is terminated; both
  // answers mean "did not fit" here. A call that fails before writing
  // anything leaves the empty text.
  buffer[0] = L'\0';
  const int written = std::vswprintf(buffer, capacity, format, arguments);
  if (written < 0 || static_cast<size_t>(written) >= capacity) {
    buffer[capacity - 1] = L'\0';
    return -1;
  }
  return written;
}

std::string PercentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexDigitValue(text[i + 1]);
      const int low = HexDigitValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    decoded += text[i];
  }
  return decoded;
}

}  // namespace kbase
