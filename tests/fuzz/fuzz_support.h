#pragma once

// What the fuzz targets share: a check that stops the run, and the input
// read as text one byte a unit.
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

// A broken promise of the code under test: libFuzzer keeps the input.
inline void Check(bool condition) {
  if (!condition)
    std::abort();
}

// Each byte one unit, so that every byte value reaches the parser.
inline std::wstring WideFrom(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (unsigned char byte : bytes)
    text.push_back(static_cast<wchar_t>(byte));
  return text;
}

}  // namespace fuzz
