// A response head comes from any server: every header taken from it must
// be one of its lines after the status line, split at the first colon into
// a name without colons and a value without its leading blanks, in the
// order of the lines; headers written out as a head read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/standin/net/raw_headers.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Check;
using fuzz::WideFrom;

using cef_standin::HeaderList;
using cef_standin::ParseRawHeaders;

// Each header is the next line of the head that holds it.
void CheckLines(const std::wstring& raw, const HeaderList& headers) {
  size_t cursor = raw.find(L"\r\n");
  for (const auto& [name, value] : headers) {
    Check(!name.empty() && name.find(L':') == std::wstring::npos);
    Check(name.find(L"\r\n") == std::wstring::npos && value.find(L"\r\n") == std::wstring::npos);
    Check(value.empty() || (value.front() != L' ' && value.front() != L'\t'));
    Check(cursor != std::wstring::npos);
    const std::wstring start = L"\r\n" + name + L":";
    const size_t line = raw.find(start, cursor);
    Check(line != std::wstring::npos);
    size_t value_start = line + start.size();
    while (value_start < raw.size() && (raw[value_start] == L' ' || raw[value_start] == L'\t'))
      ++value_start;
    cursor = raw.find(L"\r\n", value_start);
    const size_t line_end = cursor == std::wstring::npos ? raw.size() : cursor;
    Check(raw.compare(value_start, line_end - value_start, value) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring raw = WideFrom(std::string_view(reinterpret_cast<const char*>(data), size));
  const HeaderList headers = ParseRawHeaders(raw);
  CheckLines(raw, headers);

  std::wstring written = L"HTTP/1.1 200 OK\r\n";
  for (const auto& [name, value] : headers)
    written += name + L": " + value + L"\r\n";
  written += L"\r\n";
  Check(ParseRawHeaders(written) == headers);
  return 0;
}
