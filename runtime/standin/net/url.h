#pragma once

#include <string>

namespace cef_standin {

// An absolute address split into the parts the loader needs. Only the
// schemes the stand-in loads get a host and port: http, https, data and
// about keep everything after the colon in `path`.
struct ParsedUrl {
  bool valid = false;
  std::wstring scheme;    // lower case
  std::wstring host;      // lower case, without brackets
  int port = 0;           // the scheme's default when the address has none
  std::wstring path;      // from the first '/' up to '?' or '#'; "/" at least
  std::wstring query;     // with its '?', or empty
  std::wstring fragment;  // with its '#', or empty

  bool IsHttp() const { return scheme == L"http" || scheme == L"https"; }
  // scheme://host[:port] with the port only when it is not the default.
  std::wstring Origin() const;
  // The whole address again, normalised.
  std::wstring Href() const;
  std::wstring PathAndQuery() const { return path + query; }
};

ParsedUrl ParseUrl(const std::wstring& url);

// `reference` read against `base` the way a page's links are: absolute
// addresses stay, "//host", "/path", "?query", "#fragment" and relative
// paths (with "." and ".." segments) take what they lack from the base.
// Empty when neither gives an address.
std::wstring ResolveUrl(const std::wstring& base, const std::wstring& reference);

// application/x-www-form-urlencoded: letters, digits and "*-._" stay,
// spaces become "+", everything else %XX of its UTF-8 bytes.
std::string FormUrlEncode(const std::wstring& text);

}  // namespace cef_standin
