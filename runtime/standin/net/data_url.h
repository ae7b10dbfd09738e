#pragma once

#include <string>

namespace cef_standin {

struct DataUrlContent {
  bool valid = false;
  std::wstring mime_type;  // "text/plain" when the address names none
  std::wstring charset;    // "us-ascii" for the default text/plain
  std::string bytes;
};

// "data:[type][;charset=x][;base64],payload" after its "data:" prefix.
// Base64 payloads may hold white space and percent escapes; bad base64
// makes the address invalid, as in browsers.
DataUrlContent DecodeDataUrl(const std::wstring& after_scheme);

}  // namespace cef_standin
