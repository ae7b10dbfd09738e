#include "ui/control/image_spec.h"

#include <algorithm>
#include <limits>

namespace ui {

namespace image_string {

namespace {

wchar_t At(const std::wstring& text, size_t index) {
  return index < text.size() ? text[index] : L'\0';
}

// The C library's isspace in the "C" locale.
bool IsSpace(wchar_t c) {
  return c == L' ' || (c >= L'\t' && c <= L'\r');
}

bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

// Optional blanks, an optional sign and decimal digits. |magnitude|
// saturates just above the 32-bit range, which is all callers need.
bool ReadSignedDigits(const std::wstring& text,
                      size_t begin,
                      bool* negative,
                      uint64_t* magnitude,
                      size_t* end) {
  size_t i = begin;
  while (IsSpace(At(text, i)))
    ++i;
  *negative = false;
  if (At(text, i) == L'+' || At(text, i) == L'-') {
    *negative = At(text, i) == L'-';
    ++i;
  }
  if (!IsDigit(At(text, i))) {
    *end = begin;
    *magnitude = 0;
    return false;
  }
  constexpr uint64_t kCap = uint64_t{1} << 33;
  uint64_t value = 0;
  for (; IsDigit(At(text, i)); ++i) {
    if (value < kCap)
      value = value * 10 + static_cast<uint64_t>(At(text, i) - L'0');
  }
  *end = i;
  *magnitude = value;
  return true;
}

}  // namespace

int32_t ReadInt32(const std::wstring& text, size_t begin, size_t* end) {
  bool negative = false;
  uint64_t magnitude = 0;
  if (!ReadSignedDigits(text, begin, &negative, &magnitude, end))
    return 0;
  const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()}
                                 : int64_t{std::numeric_limits<int32_t>::max()};
  const int64_t bounded = static_cast<int64_t>(std::min<uint64_t>(magnitude, limit));
  return static_cast<int32_t>(negative ? -bounded : bounded);
}

uint32_t ReadUInt32(const std::wstring& text, size_t begin, size_t* end) {
  bool negative = false;
  uint64_t magnitude = 0;
  if (!ReadSignedDigits(text, begin, &negative, &magnitude, end))
    return 0;
  if (magnitude > std::numeric_limits<uint32_t>::max())
    return std::numeric_limits<uint32_t>::max();
  // Like wcstoul: a minus sign negates in unsigned arithmetic.
  const uint32_t value = static_cast<uint32_t>(magnitude);
  return negative ? 0u - value : value;
}

UiRect ReadRect(const std::wstring& text) {
  int32_t values[4] = {};
  size_t position = 0;
  for (int32_t& value : values) {
    size_t end = position;
    value = ReadInt32(text, position, &end);
    // The separator after a number is stepped over, but never the end of
    // the text: a short list reads 0 for the missing numbers.
    position = end < text.size() ? end + 1 : end;
  }
  return {values[0], values[1], values[2], values[3]};
}

}  // namespace image_string

namespace {

bool IsBlank(wchar_t c) {
  return c >= 1 && c <= 32;
}

bool IsTrue(const std::wstring& value) {
  return value == L"true";
}

}  // namespace

void ImageSpec::SetImageString(const std::wstring& text) {
  ReleaseImage();
  ResetProperties();
  attributeString = text;
  fileName = text;
  ApplyImageString(text);
}

void ImageSpec::ApplyImageString(const std::wstring& text) {
  // The text ends at its first NUL, as a C string would.
  const std::wstring s = text.substr(0, text.find(L'\0'));
  size_t i = 0;
  for (;;) {
    while (i < s.size() && IsBlank(s[i]))
      ++i;
    const size_t key_begin = i;
    while (i < s.size() && !IsBlank(s[i]) && s[i] != L'=')
      ++i;
    const std::wstring key = s.substr(key_begin, i - key_begin);

    while (i < s.size() && IsBlank(s[i]))
      ++i;
    if (i >= s.size() || s[i] != L'=')
      return;
    ++i;
    while (i < s.size() && IsBlank(s[i]))
      ++i;
    if (i >= s.size() || s[i] != L'\'')
      return;
    ++i;
    const size_t close = s.find(L'\'', i);
    if (close == std::wstring::npos)
      return;
    const std::wstring value = s.substr(i, close - i);
    if (!value.empty())
      ApplyPair(key, value);

    // Another pair follows only after exactly one space that is not the
    // last character.
    i = close + 1;
    if (i + 1 >= s.size() || s[i] != L' ')
      return;
    ++i;
  }
}

void ImageSpec::ApplyPair(const std::wstring& key, const std::wstring& value) {
  if (key == L"file" || key == L"res") {
    fileName = value;
  } else if (key == L"destscale") {
    // Accepted for old skins; drawing does not scale destinations.
  } else if (key == L"dest") {
    dest = image_string::ReadRect(value);
  } else if (key == L"source") {
    source = image_string::ReadRect(value);
  } else if (key == L"corner") {
    corner = image_string::ReadRect(value);
  } else if (key == L"fade") {
    size_t end = 0;
    fade = static_cast<uint8_t>(image_string::ReadUInt32(value, 0, &end) & 0xFF);
  } else if (key == L"xtiled") {
    xTiled = IsTrue(value);
  } else if (key == L"ytiled") {
    yTiled = IsTrue(value);
  } else if (key == L"playcount") {
    size_t end = 0;
    playCount = image_string::ReadInt32(value, 0, &end);
  }
}

void ImageSpec::Reset() {
  ReleaseImage();
  ResetProperties();
  attributeString.clear();
  fileName.clear();
}

void ImageSpec::ReleaseImage() {
  image.reset();
  frameIndex = 0;
  playing = false;
  cyclesPlayed = 0;
}

void ImageSpec::ResetProperties() {
  dest = kUnsetRect;
  source = kUnsetRect;
  corner = UiRect();
  fade = 255;
  xTiled = false;
  yTiled = false;
  playCount = -1;
}

}  // namespace ui
