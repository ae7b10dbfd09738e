#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cef_standin {

using HeaderList = std::vector<std::pair<std::wstring, std::wstring>>;

// The headers of a response head as WinHTTP gives it whole: the status
// line, then one header a line, each line ended by CRLF. A header is a
// line with a colon after at least one character: the name is what stands
// before the first colon, the value what follows it without its leading
// spaces and tabs. Other lines are skipped; the order and repeated names
// are kept.
HeaderList ParseRawHeaders(const std::wstring& raw);

}  // namespace cef_standin
