#include "runtime/standin/net/raw_headers.h"

namespace cef_standin {

HeaderList ParseRawHeaders(const std::wstring& raw) {
  HeaderList headers;
  size_t start = raw.find(L"\r\n");  // skips the status line
  while (start != std::wstring::npos) {
    start += 2;
    const size_t end = raw.find(L"\r\n", start);
    const std::wstring line = raw.substr(start, end - start);
    const size_t colon = line.find(L':');
    if (colon != std::wstring::npos && colon > 0) {
      const size_t value_start = line.find_first_not_of(L" \t", colon + 1);
      headers.emplace_back(line.substr(0, colon), value_start == std::wstring::npos
                                                      ? std::wstring()
                                                      : line.substr(value_start));
    }
    start = end;
  }
  return headers;
}

}  // namespace cef_standin
