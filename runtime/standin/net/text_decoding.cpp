#include "runtime/standin/net/text_decoding.h"

#include <windows.h>

#include <algorithm>

#include "base/util/string_util.h"
#include "runtime/standin/net/content_type.h"

namespace cef_standin {

namespace {

// The Windows code page of a charset label; 0 for UTF-8 and unknown ones.
UINT CodePageOf(const std::wstring& charset) {
  struct Label {
    const wchar_t* name;
    UINT code_page;
  };
  static constexpr Label kLabels[] = {
      {L"gbk", 936},       {L"gb2312", 936},       {L"gb18030", 54936},     {L"big5", 950},
      {L"shift_jis", 932}, {L"euc-jp", 20932},     {L"euc-kr", 949},        {L"iso-8859-1", 1252},
      {L"latin1", 1252},   {L"us-ascii", 1252},    {L"windows-1252", 1252}, {L"windows-1251", 1251},
      {L"koi8-r", 20866},  {L"iso-8859-2", 28592}, {L"windows-1250", 1250},
  };
  for (const Label& label : kLabels) {
    if (charset == label.name)
      return label.code_page;
  }
  return 0;
}

// UTF-8 with each byte that starts no well-formed sequence read as U+FFFD
// (the strict decoder refuses the whole text for one).
std::wstring Utf8Text(std::string_view bytes) {
  std::wstring text = kbase::Utf8ToUtf16(bytes);
  if (!text.empty() || bytes.empty())
    return text;
  size_t at = 0;
  while (at < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const size_t length = lead < 0x80                    ? 1
                          : lead >= 0xC2 && lead <= 0xDF ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    const std::wstring one = length != 0 && at + length <= bytes.size()
                                 ? kbase::Utf8ToUtf16(bytes.substr(at, length))
                                 : std::wstring();
    if (one.empty()) {
      text += L'\xFFFD';
      ++at;
    } else {
      text += one;
      at += length;
    }
  }
  return text;
}

}  // namespace

std::wstring DecodeText(const std::string& bytes, const std::wstring& charset_label) {
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
    return Utf8Text(std::string_view(bytes).substr(3));
  if (bytes.size() >= 2 && (bytes.compare(0, 2, "\xFF\xFE") == 0)) {
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                     (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    }
    return text;
  }
  const UINT code_page = CodePageOf(HeaderToken(charset_label));
  if (code_page == 0 || bytes.empty())
    return Utf8Text(bytes);
  // Pages are read in slices small enough for the API's int lengths.
  const int length = static_cast<int>(std::min<size_t>(bytes.size(), 0x7FFFFFFF / 2));
  const int needed = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0)
    return Utf8Text(bytes);
  std::wstring text(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), length, text.data(), needed);
  return text;
}

}  // namespace cef_standin
