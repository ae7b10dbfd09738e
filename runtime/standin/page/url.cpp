#include "runtime/standin/page/url.h"

#include <vector>

namespace cef_standin::page {

namespace {

struct Parts {
  std::string scheme;  // without ":"
  bool has_authority = false;
  std::string authority;
  std::string path;
  bool has_query = false;
  std::string query;
  bool has_fragment = false;
  std::string fragment;
};

bool IsSchemeChar(char c, bool first) {
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

Parts Split(std::string_view url) {
  Parts parts;
  std::size_t colon = 0;
  while (colon < url.size() && IsSchemeChar(url[colon], colon == 0))
    ++colon;
  if (colon > 0 && colon < url.size() && url[colon] == ':') {
    parts.scheme = std::string(url.substr(0, colon));
    for (char& c : parts.scheme) {
      if (c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
    }
    url.remove_prefix(colon + 1);
  }
  const std::size_t hash = url.find('#');
  if (hash != std::string_view::npos) {
    parts.has_fragment = true;
    parts.fragment = std::string(url.substr(hash + 1));
    url = url.substr(0, hash);
  }
  const std::size_t question = url.find('?');
  if (question != std::string_view::npos) {
    parts.has_query = true;
    parts.query = std::string(url.substr(question + 1));
    url = url.substr(0, question);
  }
  if (url.size() >= 2 && (url[0] == '/' || url[0] == '\\') && (url[1] == '/' || url[1] == '\\')) {
    url.remove_prefix(2);
    const std::size_t slash = std::min(url.find_first_of("/\\"), url.size());
    parts.has_authority = true;
    parts.authority = std::string(url.substr(0, slash));
    url.remove_prefix(slash);
  }
  parts.path = std::string(url);
  for (char& c : parts.path) {
    if (c == '\\' && (parts.scheme == "http" || parts.scheme == "https"))
      c = '/';
  }
  return parts;
}

std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string_view> segments;
  const bool absolute = !path.empty() && path[0] == '/';
  std::size_t at = absolute ? 1 : 0;
  bool trailing_slash = false;
  while (at <= path.size()) {
    const std::size_t slash = std::min(path.find('/', at), path.size());
    const std::string_view segment = path.substr(at, slash - at);
    const bool last = slash >= path.size();
    if (segment == ".") {
      trailing_slash = last;
    } else if (segment == "..") {
      if (!segments.empty())
        segments.pop_back();
      trailing_slash = last;
    } else {
      segments.push_back(segment);
      trailing_slash = false;
    }
    at = slash + 1;
  }
  std::string out = absolute ? "/" : "";
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (i > 0)
      out += '/';
    out += segments[i];
  }
  if (trailing_slash && !out.empty() && out.back() != '/')
    out += '/';
  return out;
}

std::string Join(const Parts& parts) {
  std::string out;
  if (!parts.scheme.empty())
    out = parts.scheme + ":";
  if (parts.has_authority)
    out += "//" + parts.authority;
  out += parts.path;
  if (parts.has_query)
    out += "?" + parts.query;
  if (parts.has_fragment)
    out += "#" + parts.fragment;
  return out;
}

std::string_view TrimSpace(std::string_view text) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; };
  while (!text.empty() && space(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && space(text.back()))
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::string ResolveUrl(std::string_view base_text, std::string_view relative_text) {
  relative_text = TrimSpace(relative_text);
  const Parts relative = Split(relative_text);
  if (!relative.scheme.empty()) {
    Parts out = relative;
    if (out.has_authority)
      out.path = RemoveDotSegments(out.path);
    return Join(out);
  }
  const Parts base = Split(base_text);
  // A base without a hierarchy (about:blank, data:) resolves nothing but
  // absolute addresses; a fragment is appended to it.
  if (!base.has_authority && (base.path.empty() || base.path[0] != '/')) {
    if (relative_text.empty())
      return std::string(base_text);
    if (relative_text[0] == '#') {
      Parts out = base;
      out.has_fragment = true;
      out.fragment = relative.fragment;
      return Join(out);
    }
    return std::string(relative_text);
  }
  Parts out;
  out.scheme = base.scheme;
  if (relative.has_authority) {
    out.has_authority = true;
    out.authority = relative.authority;
    out.path = RemoveDotSegments(relative.path);
    out.has_query = relative.has_query;
    out.query = relative.query;
  } else {
    out.has_authority = base.has_authority;
    out.authority = base.authority;
    if (relative.path.empty()) {
      out.path = base.path;
      out.has_query = relative.has_query || base.has_query;
      out.query = relative.has_query ? relative.query : base.query;
    } else {
      if (relative.path[0] == '/') {
        out.path = RemoveDotSegments(relative.path);
      } else {
        const std::size_t slash = base.path.rfind('/');
        std::string merged = slash == std::string::npos ? "/" : base.path.substr(0, slash + 1);
        if (base.has_authority && base.path.empty())
          merged = "/";
        out.path = RemoveDotSegments(merged + relative.path);
      }
      out.has_query = relative.has_query;
      out.query = relative.query;
    }
  }
  if (out.has_authority && out.path.empty())
    out.path = "/";
  out.has_fragment = relative.has_fragment;
  out.fragment = relative.fragment;
  return Join(out);
}

std::string FormUrlEncode(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || byte == '*' || byte == '-' || byte == '.' ||
                       byte == '_';
    if (plain) {
      out += c;
    } else if (byte == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

}  // namespace cef_standin::page
