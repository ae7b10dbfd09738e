#pragma once

// Addresses of links, images, scripts and form actions. Portable.

#include <string>
#include <string_view>

namespace cef_standin::page {

// `relative` resolved against the absolute `base` ("http://h/a/b" +
// "../c?x" -> "http://h/c?x"); an absolute `relative` (with a scheme)
// stands as it is; a fragment-only one keeps the base's path and query.
// Surrounding white space is trimmed. Dot segments are removed.
std::string ResolveUrl(std::string_view base, std::string_view relative);

// application/x-www-form-urlencoded: bytes other than letters, digits and
// "*-._" as %XX, a space as "+".
std::string FormUrlEncode(std::string_view utf8);

}  // namespace cef_standin::page
