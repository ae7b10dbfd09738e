#pragma once

#include <string>

namespace cef_standin {

// What a download takes from a response's Content-Disposition header:
// "attachment; filename=\"a.bin\"", with the RFC 5987 form
// "filename*=UTF-8''%E2%82%AC.txt" (UTF-8 or ISO-8859-1) preferred when
// both are given. The name is as the server sent it: PlainFileName makes
// it safe to save under.
struct ContentDisposition {
  bool attachment = false;
  std::wstring file_name;
};

ContentDisposition ParseContentDisposition(const std::wstring& value);

// A name a download can be saved under in a folder and nowhere else: the
// last segment after any '/' or '\\', characters Windows refuses in names
// ("<>:\"|?*" and controls) as '_', trailing dots and spaces cut, device
// names ("CON", "lpt1.txt") prefixed with '_', at most 200 characters.
// `fallback` when nothing is left.
std::wstring PlainFileName(const std::wstring& name, const std::wstring& fallback = L"download");

}  // namespace cef_standin
