#pragma once

// Character rules shared by the markup parser and the element handles.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ui/core/markup_platform.h"

namespace ui::markup_text {

// Blanks are the control characters and the space, not the NUL.
inline bool IsBlank(MarkupChar unit) {
  return static_cast<uint32_t>(unit) - 1u < 32u;
}

namespace internal {

constexpr std::array<bool, 128> MakeAsciiNameTable() {
  std::array<bool, 128> table{};
  for (int c = '0'; c <= '9'; ++c)
    table[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c)
    table[c] = true;
  for (int c = 'a'; c <= 'z'; ++c)
    table[c] = true;
  table['_'] = true;
  table[':'] = true;
  return table;
}

inline constexpr std::array<bool, 128> kAsciiNameTable = MakeAsciiNameTable();

}  // namespace internal

// Letters and digits as the runtime library sees them, "_" and ":".
inline bool IsNameCharacter(MarkupChar unit) {
  if (unit < 128)
    return internal::kAsciiNameTable[unit];
  return markup_platform::IsAlnumBeyondAscii(unit);
}

// One character forward, as the system steps. Only a unit from U+0300 on can
// belong to the character before it (combining marks, surrogates), so the
// system is asked only then. Stays on the NUL.
template <typename Char>
inline Char* StepCharacter(Char* position) {
  if (*position == 0)
    return position;
  if (position[1] < 0x300)
    return position + 1;
  return const_cast<Char*>(markup_platform::NextCharacter(position));
}

// Units of zeros that the text buffer carries after its terminating NUL, so
// that the scans below may read eight units at a time from any position up to
// the terminator.
inline constexpr size_t kTextPadding = 8;

namespace internal {

constexpr uint64_t kLowBits = 0x0001000100010001ull;
constexpr uint64_t kHighBits = 0x8000800080008000ull;

// Nonzero exactly when one of the four units in `word` is 0. Its lowest set
// bit lies in the first such unit.
inline uint64_t HasZeroUnit(uint64_t word) {
  return (word - kLowBits) & ~word & kHighBits;
}

inline uint64_t LoadFourUnits(const MarkupChar* position) {
  uint64_t word;
  std::memcpy(&word, position, sizeof(word));
  return word;
}

}  // namespace internal

// Whether one of the four units in `word` is NUL, `a` or `b`; when so, the
// lowest set bit of the result lies in the first such unit (the lowest flag of
// each test is a true match).
inline uint64_t MayHoldUnit(uint64_t word, MarkupChar a, MarkupChar b) {
  using internal::HasZeroUnit;
  return HasZeroUnit(word) | HasZeroUnit(word ^ (internal::kLowBits * a)) |
         HasZeroUnit(word ^ (internal::kLowBits * b));
}

// The first unit that is NUL, `a` or `b`. Reads ahead several units at a
// time, which the buffer's padding allows.
template <typename Char>
inline Char* FindUnit(Char* position, MarkupChar a, MarkupChar b) {
#if defined(__SSE2__)
  const __m128i pattern_a = _mm_set1_epi16(static_cast<short>(a));
  const __m128i pattern_b = _mm_set1_epi16(static_cast<short>(b));
  const __m128i zero = _mm_setzero_si128();
  for (;;) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(position));
    const __m128i found = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi16(units, pattern_a), _mm_cmpeq_epi16(units, pattern_b)),
        _mm_cmpeq_epi16(units, zero));
    const int mask = _mm_movemask_epi8(found);
    if (mask)
      return position + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
    position += 8;
  }
#else
  for (;;) {
    const uint64_t found = MayHoldUnit(internal::LoadFourUnits(position), a, b);
    if (found)
      return position + (__builtin_ctzll(found) >> 4);
    position += 4;
  }
#endif
}

namespace internal {

// True when all four units are blanks. (A 0 unit borrows from the next unit
// but fails the test itself.)
inline bool AreAllBlanks(uint64_t word) {
  return ((word - kLowBits) & 0xFFE0FFE0FFE0FFE0ull) == 0;
}

}  // namespace internal

// StepCharacter for a position known not to hold the NUL.
template <typename Char>
inline Char* StepOver(Char* position) {
  if (position[1] < 0x300)
    return position + 1;
  return const_cast<Char*>(markup_platform::NextCharacter(position));
}

template <typename Char>
inline Char* SkipBlanks(Char* position) {
  if (!IsBlank(*position))
    return position;
  // Most often a single blank.
  if (!IsBlank(position[1]) && position[1] < 0x300)
    return position + 1;
#if defined(__SSE2__)
  // Runs of blanks such as indentation eight units at a time. A blank
  // followed by a unit below U+0300 is a character of its own; the step from
  // the last blank of a full run depends on the unit after it.
  for (;;) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(position));
    const unsigned blanks = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
        _mm_cmpgt_epi16(units, _mm_setzero_si128()), _mm_cmplt_epi16(units, _mm_set1_epi16(33)))));
    if (blanks == 0xFFFF) {
      position += 7;
      continue;
    }
    const int length = __builtin_ctz(~blanks) >> 1;
    if (length == 0 || position[length] < 0x300)
      return position + length;
    position += length - 1;
    break;
  }
#else
  // Runs of blanks such as indentation go three units at a time: a blank
  // followed by a blank is a character of its own.
  while (internal::AreAllBlanks(internal::LoadFourUnits(position)))
    position += 3;
#endif
  while (IsBlank(*position))
    position = StepCharacter(position);
  return position;
}

#if defined(__SSE2__)
namespace internal {

// A bit pair per unit that is an ASCII name character.
inline unsigned AsciiNameUnits(__m128i units) {
  const __m128i folded = _mm_or_si128(units, _mm_set1_epi16(0x20));
  const __m128i digit_or_colon = _mm_and_si128(_mm_cmpgt_epi16(units, _mm_set1_epi16(0x2F)),
                                               _mm_cmplt_epi16(units, _mm_set1_epi16(0x3B)));
  const __m128i letter = _mm_and_si128(_mm_cmpgt_epi16(folded, _mm_set1_epi16(0x60)),
                                       _mm_cmplt_epi16(folded, _mm_set1_epi16(0x7B)));
  const __m128i underscore = _mm_cmpeq_epi16(units, _mm_set1_epi16(0x5F));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(digit_or_colon, letter), underscore)));
}

}  // namespace internal
#endif

template <typename Char>
inline Char* SkipName(Char* position) {
#if defined(__SSE2__)
  // ASCII names eight units at a time. All eight being name characters moves
  // on by seven only: the step from the last one depends on the unit after it.
  for (;;) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(position));
    const unsigned names = internal::AsciiNameUnits(units);
    if (names == 0xFFFF) {
      position += 7;
      continue;
    }
    // The unit that ends the name is known from the loaded units already.
    const unsigned ascii = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(
        _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80))), _mm_setzero_si128())));
    const int stop = __builtin_ctz(~names);
    const int length = stop >> 1;
    if ((ascii >> stop) & 1)
      return position + length;
    // A unit beyond ASCII ends the run: the slow path decides from the last
    // name character on.
    if (length > 0)
      position += length - 1;
    break;
  }
#endif
  // Each unit is loaded once: the one after a name character decides both
  // how far the step goes and whether the name goes on.
  MarkupChar unit = *position;
  while (IsNameCharacter(unit)) {
    const MarkupChar next = position[1];
    if (next < 0x300) {
      ++position;
      unit = next;
    } else {
      position = const_cast<Char*>(markup_platform::NextCharacter(position));
      unit = *position;
    }
  }
  return position;
}

}  // namespace ui::markup_text
