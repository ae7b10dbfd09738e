#pragma once

// What every benchmark program needs: a microsecond clock, the folder it
// runs from (the shipped resources lie beside it) and the median of its
// samples.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bench {

inline double NowMicroseconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1e6 / frequency;
}

// Ends in a separator.
inline std::wstring ProgramFolder() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path = module;
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// The middle sample, the upper one of an even count; 0 for none.
inline double Median(std::vector<double> samples) {
  if (samples.empty())
    return 0;
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

}  // namespace bench
