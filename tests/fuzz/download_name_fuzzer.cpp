// Response headers a download and the network take from the server and
// the command line: a Content-Disposition value must give a name that
// stays in the downloads folder, and host rules must map any host without
// harm. Input lines: the header value, the rules, a host.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/standin/net/content_disposition.h"
#include "runtime/standin/net/host_resolver_rules.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Check;
using fuzz::WideFrom;

bool IsDevice(std::wstring stem) {
  while (!stem.empty() && stem.back() == L' ')
    stem.pop_back();
  for (wchar_t& c : stem) {
    if (c >= L'A' && c <= L'Z')
      c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  if (stem == L"con" || stem == L"prn" || stem == L"aux" || stem == L"nul" || stem == L"conin$" ||
      stem == L"conout$")
    return true;
  return stem.size() == 4 && (stem.compare(0, 3, L"com") == 0 || stem.compare(0, 3, L"lpt") == 0) &&
         stem[3] >= L'1' && stem[3] <= L'9';
}

void CheckPlain(const std::wstring& name) {
  const std::wstring plain = cef_standin::PlainFileName(name, L"fallback");
  Check(!plain.empty() && plain.size() <= 200);
  for (wchar_t c : plain)
    Check(c >= 0x20 && c != 0x7F &&
          std::wstring_view(L"/\\<>:\"|?*").find(c) == std::wstring::npos);
  Check(plain.back() != L'.' && plain.back() != L' ' && plain.front() != L' ');
  Check(!IsDevice(plain.substr(0, plain.find(L'.'))));
  // A plain name stays as it is.
  Check(cef_standin::PlainFileName(plain, L"other") == plain);
}

void CheckRules(const std::wstring& text, const std::wstring& host) {
  const cef_standin::HostResolverRules rules(text);
  size_t items = 1;
  for (wchar_t c : text)
    items += c == L',';
  Check(rules.size() <= items);
  const auto mapped = rules.Map(host, 443);
  Check(mapped.port > 0 && mapped.port <= 65535);
  // Any pattern matches its own text, its stars standing for themselves.
  Check(cef_standin::MatchesHostPattern(host, host));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t first_end = bytes.find('\n');
  const std::wstring header = WideFrom(bytes.substr(0, first_end));
  const std::string_view rest =
      first_end == std::string_view::npos ? std::string_view() : bytes.substr(first_end + 1);
  const size_t second_end = rest.find('\n');
  const std::wstring rules = WideFrom(rest.substr(0, second_end));
  const std::wstring host = second_end == std::string_view::npos
                                ? std::wstring(L"a.example")
                                : WideFrom(rest.substr(second_end + 1));

  const cef_standin::ContentDisposition disposition = cef_standin::ParseContentDisposition(header);
  Check(disposition.attachment || disposition.file_name.empty());
  CheckPlain(disposition.file_name);
  CheckPlain(header);
  CheckRules(rules, host);
  return 0;
}
