#pragma once

#include <string>

// The answer every page call of "ShowMessageBox" receives: the 25
// characters between the outer quotes of "{ "message": "Success." }".
inline const std::string kShowMessageBoxReply = R"({ "message": "Success." })";
inline constexpr wchar_t kShowMessageBoxName[] = L"ShowMessageBox";
