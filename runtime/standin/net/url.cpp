#include "runtime/standin/net/url.h"

#include <algorithm>
#include <cwctype>
#include <string_view>
#include <vector>

#include "base/util/string_util.h"

namespace cef_standin {

namespace {

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

int DefaultPort(const std::wstring& scheme) {
  if (scheme == L"http")
    return 80;
  if (scheme == L"https")
    return 443;
  return 0;
}

bool IsSchemeChar(wchar_t c, bool first) {
  if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'))
    return true;
  return !first && ((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.');
}

// The scheme of an absolute address, or empty.
std::wstring SchemeOf(const std::wstring& url) {
  const size_t colon = url.find(L':');
  if (colon == std::wstring::npos || colon == 0)
    return std::wstring();
  for (size_t i = 0; i < colon; ++i) {
    if (!IsSchemeChar(url[i], i == 0))
      return std::wstring();
  }
  return Lower(url.substr(0, colon));
}

// Characters no host name holds, as browsers refuse them.
bool IsForbiddenHostChar(wchar_t c) {
  return c <= 0x20 || c == 0x7F ||
         std::wstring_view(L"#%/:<>?@[\\]^|").find(c) != std::wstring_view::npos;
}

// The inside of "[...]": hex digits, colons and the dots of an IPv4 tail.
bool IsIpv6Literal(const std::wstring& host) {
  return !host.empty() && host.find_first_not_of(L"0123456789abcdefABCDEF:.") == std::wstring::npos;
}

// "a/./b/../c" becomes "a/c"; a leading '/' stays.
std::wstring RemoveDotSegments(const std::wstring& path) {
  std::vector<std::wstring> segments;
  size_t start = path.empty() || path[0] != L'/' ? 0 : 1;
  bool trailing_slash = false;
  while (start <= path.size()) {
    size_t end = path.find(L'/', start);
    if (end == std::wstring::npos)
      end = path.size();
    const std::wstring segment = path.substr(start, end - start);
    trailing_slash = false;
    if (segment == L"..") {
      if (!segments.empty())
        segments.pop_back();
      trailing_slash = true;
    } else if (segment == L".") {
      trailing_slash = true;
    } else {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::wstring result;
  for (const std::wstring& segment : segments)
    result += L"/" + segment;
  if (trailing_slash || result.empty())
    result += L"/";
  return result;
}

}  // namespace

std::wstring ParsedUrl::Origin() const {
  // An IPv6 address goes in brackets, so that its colons are no port.
  std::wstring origin =
      scheme + L"://" + (host.find(L':') == std::wstring::npos ? host : L"[" + host + L"]");
  if (port != DefaultPort(scheme))
    origin += L":" + std::to_wstring(port);
  return origin;
}

std::wstring ParsedUrl::Href() const {
  if (!IsHttp())
    return scheme + L":" + path + query + fragment;
  return Origin() + path + query + fragment;
}

ParsedUrl ParseUrl(const std::wstring& input) {
  ParsedUrl url;
  // Surrounding white space is not part of an address.
  const size_t first = input.find_first_not_of(L" \t\r\n");
  if (first == std::wstring::npos)
    return url;
  const std::wstring text = input.substr(first, input.find_last_not_of(L" \t\r\n") - first + 1);
  url.scheme = SchemeOf(text);
  if (url.scheme.empty())
    return url;
  std::wstring rest = text.substr(url.scheme.size() + 1);
  if (!url.IsHttp()) {
    const size_t hash = url.scheme == L"data" ? std::wstring::npos : rest.find(L'#');
    url.path = rest.substr(0, hash);
    if (hash != std::wstring::npos)
      url.fragment = rest.substr(hash);
    url.valid = true;
    return url;
  }
  if (rest.compare(0, 2, L"//") != 0)
    return url;
  rest.erase(0, 2);
  // A backslash ends the host as a slash does, as in browsers.
  const size_t authority_end = rest.find_first_of(L"/\\?#");
  std::wstring authority = rest.substr(0, authority_end);
  rest = authority_end == std::wstring::npos ? std::wstring() : rest.substr(authority_end);
  // User information is dropped.
  if (const size_t at = authority.rfind(L'@'); at != std::wstring::npos)
    authority.erase(0, at + 1);
  url.port = DefaultPort(url.scheme);
  size_t port_colon = authority.rfind(L':');
  if (!authority.empty() && authority[0] == L'[') {
    const size_t close = authority.find(L']');
    if (close == std::wstring::npos)
      return url;
    url.host = authority.substr(1, close - 1);
    if (!IsIpv6Literal(url.host) || (close + 1 < authority.size() && authority[close + 1] != L':'))
      return url;
    port_colon = close + 1 < authority.size() ? close + 1 : std::wstring::npos;
  } else {
    url.host = authority.substr(0, port_colon);
  }
  if (port_colon != std::wstring::npos) {
    const std::wstring port = authority.substr(port_colon + 1);
    if (!port.empty()) {
      if (port.size() > 5 || port.find_first_not_of(L"0123456789") != std::wstring::npos)
        return url;
      url.port = std::stoi(port);
      if (url.port <= 0 || url.port > 65535)
        return url;
    }
  }
  url.host = Lower(url.host);
  if (url.host.empty())
    return url;
  if (authority[0] != L'[' && std::any_of(url.host.begin(), url.host.end(), IsForbiddenHostChar))
    return url;
  const size_t hash = rest.find(L'#');
  if (hash != std::wstring::npos) {
    url.fragment = rest.substr(hash);
    rest.erase(hash);
  }
  const size_t question = rest.find(L'?');
  if (question != std::wstring::npos) {
    url.query = rest.substr(question);
    rest.erase(question);
  }
  // Browsers read backslashes in the path of an http address as slashes.
  std::replace(rest.begin(), rest.end(), L'\\', L'/');
  url.path = RemoveDotSegments(rest.empty() ? L"/" : rest);
  url.valid = true;
  return url;
}

std::wstring ResolveUrl(const std::wstring& base_text, const std::wstring& reference) {
  const size_t first = reference.find_first_not_of(L" \t\r\n");
  const std::wstring ref =
      first == std::wstring::npos
          ? std::wstring()
          : reference.substr(first, reference.find_last_not_of(L" \t\r\n") - first + 1);
  if (!SchemeOf(ref).empty()) {
    const ParsedUrl absolute = ParseUrl(ref);
    return absolute.valid ? absolute.Href() : std::wstring();
  }
  const ParsedUrl base = ParseUrl(base_text);
  if (!base.valid || !base.IsHttp())
    return std::wstring();
  if (ref.empty())
    return base.Origin() + base.path + base.query;
  if (ref.compare(0, 2, L"//") == 0) {
    const ParsedUrl network = ParseUrl(base.scheme + L":" + ref);
    return network.valid ? network.Href() : std::wstring();
  }
  if (ref[0] == L'#')
    return base.Origin() + base.path + base.query + ref;
  if (ref[0] == L'?')
    return ParseUrl(base.Origin() + base.path + ref).Href();
  if (ref[0] == L'/')
    return ParseUrl(base.Origin() + ref).Href();
  const std::wstring directory = base.path.substr(0, base.path.rfind(L'/') + 1);
  const ParsedUrl resolved = ParseUrl(base.Origin() + directory + ref);
  return resolved.valid ? resolved.Href() : std::wstring();
}

std::string FormUrlEncode(const std::wstring& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  // Wide strings are UTF-16 on Windows.
  for (unsigned char c : kbase::Utf16ToUtf8(kbase::Utf16String(text.begin(), text.end()))) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '*' ||
        c == '-' || c == '.' || c == '_') {
      encoded += static_cast<char>(c);
    } else if (c == ' ') {
      encoded += '+';
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return encoded;
}

}  // namespace cef_standin
