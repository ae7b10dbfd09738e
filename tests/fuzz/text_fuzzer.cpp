// Checks the text helpers on arbitrary input: nothing crashes, strict UTF-8
// decoding yields well-formed UTF-16 that encodes back to the same bytes,
// and every well-formed UTF-16 text survives the trip through UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/file/file_util.h"
#include "base/util/string_util.h"

namespace {

using kbase::Utf16Char;
using kbase::Utf16String;

void Check(bool condition) {
  if (!condition)
    __builtin_trap();
}

bool IsHigh(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLow(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

bool IsWellFormed(const Utf16String& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = static_cast<char16_t>(text[i]);
    if (IsHigh(unit)) {
      if (i + 1 == text.size() || !IsLow(static_cast<char16_t>(text[i + 1])))
        return false;
      ++i;
    } else if (IsLow(unit)) {
      return false;
    }
  }
  return true;
}

// Replaces every unpaired surrogate with U+FFFD.
Utf16String MakeWellFormed(Utf16String text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = static_cast<char16_t>(text[i]);
    if (IsHigh(unit) && i + 1 < text.size() && IsLow(static_cast<char16_t>(text[i + 1])))
      ++i;
    else if (IsHigh(unit) || IsLow(unit))
      text[i] = static_cast<Utf16Char>(0xFFFD);
  }
  return text;
}

void CheckUtf8Input(std::string_view bytes) {
  const Utf16String decoded = kbase::Utf8ToUtf16(bytes);
  if (decoded.empty())
    return;
  Check(IsWellFormed(decoded));
  Check(kbase::Utf16ToUtf8(decoded) == bytes);
}

void CheckUtf16Input(const Utf16String& units) {
  const std::string encoded = kbase::Utf16ToUtf8(units);
  if (!units.empty() && IsHigh(static_cast<char16_t>(units.back())))
    Check(encoded.empty());

  const Utf16String well_formed = MakeWellFormed(units);
  Check(kbase::Utf8ToUtf16(kbase::Utf16ToUtf8(well_formed)) == well_formed);
}

void CheckDirectoryPart(const Utf16String& path) {
  Utf16String directory;
  if (!kbase::DirectoryPart(path, &directory))
    return;
  Check(path.size() >= 2);
  Check(!directory.empty() && directory.size() <= path.size());
  Check(path.compare(0, directory.size(), directory) == 0);
  Check(directory.back() == '\\' || directory.back() == '/');
  for (size_t i = directory.size(); i < path.size(); ++i)
    Check(path[i] != '\\' && path[i] != '/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckUtf8Input(bytes);

  Utf16String units;
  units.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2)
    units.push_back(static_cast<Utf16Char>(data[i] | (data[i + 1] << 8)));
  CheckUtf16Input(units);
  CheckDirectoryPart(units);
  return 0;
}
