#pragma once

#include <string>

namespace cef_standin {

// A header's token as it compares: without the blanks and quotes around
// it ("charset=\"UTF-8\"" holds "utf-8"), in lower case.
std::wstring HeaderToken(const std::wstring& text);

// The MIME type and charset of a Content-Type value, both lower case
// ("text/html; charset=GBK" gives "text/html" and "gbk").
void SplitContentType(const std::wstring& content_type,
                      std::wstring* mime_type,
                      std::wstring* charset);

}  // namespace cef_standin
