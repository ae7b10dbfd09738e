#include "runtime/standin/net/text_decoding.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "base/util/string_util.h"

namespace cef_standin {

namespace {

std::wstring Trim(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t\"'");
  if (first == std::wstring::npos)
    return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t\"'") - first + 1);
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

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

}  // namespace

void SplitContentType(const std::wstring& content_type,
                      std::wstring* mime_type,
                      std::wstring* charset) {
  const size_t semicolon = content_type.find(L';');
  *mime_type = Lower(Trim(content_type.substr(0, semicolon)));
  charset->clear();
  size_t at = semicolon;
  while (at != std::wstring::npos) {
    const size_t next = content_type.find(L';', at + 1);
    const std::wstring parameter = content_type.substr(at + 1, next - at - 1);
    const size_t equals = parameter.find(L'=');
    if (equals != std::wstring::npos && Lower(Trim(parameter.substr(0, equals))) == L"charset")
      *charset = Lower(Trim(parameter.substr(equals + 1)));
    at = next;
  }
}

std::wstring DecodeText(const std::string& bytes, const std::wstring& charset_label) {
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
    return kbase::Utf8ToUtf16(std::string_view(bytes).substr(3));
  if (bytes.size() >= 2 && (bytes.compare(0, 2, "\xFF\xFE") == 0)) {
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                     (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    }
    return text;
  }
  const UINT code_page = CodePageOf(Lower(Trim(charset_label)));
  if (code_page == 0 || bytes.empty())
    return kbase::Utf8ToUtf16(bytes);
  // Pages are read in slices small enough for the API's int lengths.
  const int length = static_cast<int>(std::min<size_t>(bytes.size(), 0x7FFFFFFF / 2));
  const int needed = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0)
    return kbase::Utf8ToUtf16(bytes);
  std::wstring text(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), length, text.data(), needed);
  return text;
}

}  // namespace cef_standin
