#pragma once

// The few operating-system services the markup parser needs, kept apart so
// that the parser also builds natively for fuzzing and benchmarking. The
// Windows implementation is the shipped one; the portable one imitates it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ui {

// One UTF-16 code unit. On Windows this is the system's wide character, so
// the framework's wide strings pass through unchanged.
#if defined(_WIN32)
using MarkupChar = wchar_t;
#else
using MarkupChar = char16_t;
#endif
static_assert(sizeof(MarkupChar) == 2, "the markup text is UTF-16");

using MarkupString = std::basic_string<MarkupChar>;

namespace markup_platform {

// The runtime library's iswalnum, asked only for units outside ASCII (the
// parser classifies ASCII itself).
bool IsAlnumBeyondAscii(MarkupChar unit);

// The system's step to the next character (CharNextW: a base character
// together with the combining marks after it). Never steps over the NUL.
const MarkupChar* NextCharacter(const MarkupChar* position);

// PathIsRelativeW.
bool IsRelativePath(const MarkupChar* path);

enum class ReadStatus {
  kOk,
  kOpenFailed,
  kEmpty,
  kTooLarge,
  kShortRead,
};

struct FileBytes {
  std::unique_ptr<char[]> data;
  size_t size = 0;
};

// Reads a whole existing file, opened with read sharing. Files of more than
// `max_size` bytes are refused before anything is read.
ReadStatus ReadWholeFile(const MarkupChar* path, size_t max_size, FileBytes* bytes);

// UTF-8 to UTF-16 as MultiByteToWideChar(CP_UTF8, 0) does it: ill-formed
// sequences become U+FFFD. With a null `out`, only counts the units. Returns
// the number of units written (or needed); `size` is at most INT32_MAX.
size_t Utf8ToUtf16(const char* bytes, size_t size, MarkupChar* out, size_t capacity);

}  // namespace markup_platform
}  // namespace ui
