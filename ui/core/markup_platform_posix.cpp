#include "ui/core/markup_platform.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <locale.h>
#include <sys/stat.h>
#include <wctype.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace ui::markup_platform {

namespace {

// The C library classifies wide characters only in a Unicode locale; the
// process locale is left alone.
locale_t UnicodeLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return locale;
}

// Enough of UTF-16 to UTF-8 for file names.
std::string PathToUtf8(const MarkupChar* path) {
  std::string result;
  for (const MarkupChar* p = path; *p; ++p) {
    uint32_t code = *p;
    if (code >= 0xD800 && code <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    }
    if (code < 0x80) {
      result += static_cast<char>(code);
    } else if (code < 0x800) {
      result += static_cast<char>(0xC0 | (code >> 6));
      result += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      result += static_cast<char>(0xE0 | (code >> 12));
      result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      result += static_cast<char>(0xF0 | (code >> 18));
      result += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return result;
}

class ScopedFile {
 public:
  explicit ScopedFile(FILE* file) : file_(file) {}
  ~ScopedFile() {
    if (file_)
      fclose(file_);
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;

  FILE* Get() const { return file_; }

 private:
  FILE* file_;
};

constexpr MarkupChar kReplacement = 0xFFFD;

// Length of the well-formed sequence that starts with `lead` and continues at
// `rest` (at most `available` bytes), or the number of bytes that form the
// maximal ill-formed prefix, negated.
int SequenceLength(unsigned char lead, const unsigned char* rest, size_t available) {
  int length;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0)
      low = 0xA0;
    else if (lead == 0xED)
      high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0)
      low = 0x90;
    else if (lead == 0xF4)
      high = 0x8F;
  } else {
    return -1;
  }
  for (int i = 1; i < length; ++i) {
    if (static_cast<size_t>(i) > available)
      return -i;
    const unsigned char byte = rest[i - 1];
    if (byte < low || byte > high)
      return -i;
    low = 0x80;
    high = 0xBF;
  }
  return length;
}

}  // namespace

bool IsAlnumBeyondAscii(MarkupChar unit) {
  const locale_t locale = UnicodeLocale();
  if (locale == locale_t{} || (unit >= 0xD800 && unit <= 0xDFFF))
    return false;
  return iswalnum_l(static_cast<wint_t>(unit), locale) != 0;
}

const MarkupChar* NextCharacter(const MarkupChar* position) {
  return *position ? position + 1 : position;
}

bool IsRelativePath(const MarkupChar* path) {
  return path[0] != u'/';
}

ReadStatus ReadWholeFile(const MarkupChar* path, size_t max_size, FileBytes* bytes) {
  ScopedFile file(fopen(PathToUtf8(path).c_str(), "rb"));
  if (!file.Get())
    return ReadStatus::kOpenFailed;
  struct stat info;
  if (fstat(fileno(file.Get()), &info) != 0 || !S_ISREG(info.st_mode))
    return ReadStatus::kOpenFailed;
  if (info.st_size == 0)
    return ReadStatus::kEmpty;
  if (static_cast<uint64_t>(info.st_size) > max_size)
    return ReadStatus::kTooLarge;

  const size_t size = static_cast<size_t>(info.st_size);
  bytes->data.reset(new char[size]);
  bytes->size = size;
  if (fread(bytes->data.get(), 1, size, file.Get()) < size) {
    bytes->data.reset();
    bytes->size = 0;
    return ReadStatus::kShortRead;
  }
  return ReadStatus::kOk;
}

size_t Utf8ToUtf16(const char* bytes, size_t size, MarkupChar* out, size_t capacity) {
  if (size == 0 || size > INT_MAX)
    return 0;
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  const unsigned char* const end = in + size;
  size_t written = 0;
  // Counting only, or writing while there is room; a buffer that is too
  // small yields nothing, as with the system call.
  auto emit = [&](MarkupChar unit) {
    if (out && written < capacity)
      out[written] = unit;
    ++written;
  };
  while (in < end) {
#if defined(__SSE2__)
    // ASCII sixteen bytes at a time. All sixteen units are stored; those
    // after the first non-ASCII byte are overwritten later.
    if (out && end - in >= 16 && capacity - written >= 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
      const __m128i zero = _mm_setzero_si128();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written), _mm_unpacklo_epi8(chunk, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written + 8),
                       _mm_unpackhi_epi8(chunk, zero));
      const unsigned high_bits = static_cast<unsigned>(_mm_movemask_epi8(chunk));
      const unsigned ascii = high_bits ? static_cast<unsigned>(__builtin_ctz(high_bits)) : 16u;
      in += ascii;
      written += ascii;
      if (ascii == 16)
        continue;
    }
#endif
    const unsigned char lead = *in;
    if (lead < 0x80) {
      emit(lead);
      ++in;
      continue;
    }
    const int length = SequenceLength(lead, in + 1, static_cast<size_t>(end - in - 1));
    if (length < 0) {
      emit(kReplacement);
      in += -length;
      continue;
    }
    uint32_t code = lead & (0xFF >> (length + 1));
    for (int i = 1; i < length; ++i)
      code = (code << 6) | (in[i] & 0x3F);
    in += length;
    if (code >= 0x10000) {
      code -= 0x10000;
      emit(static_cast<MarkupChar>(0xD800 + (code >> 10)));
      emit(static_cast<MarkupChar>(0xDC00 + (code & 0x3FF)));
    } else {
      emit(static_cast<MarkupChar>(code));
    }
  }
  return out && written > capacity ? 0 : written;
}

}  // namespace ui::markup_platform
