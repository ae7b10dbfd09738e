#pragma once

namespace kel_comp {

// The process messages of the script bridge, and the focus report of the
// renderer.
inline constexpr wchar_t kCallCppFunctionMessage[] = L"CallCppFunction";
inline constexpr wchar_t kExecuteJsCallbackMessage[] = L"ExecuteJsCallback";
inline constexpr wchar_t kCallJsFunctionMessage[] = L"CallJsFunction";
inline constexpr wchar_t kExecuteCppCallbackMessage[] = L"ExecuteCppCallback";
inline constexpr wchar_t kFocusedNodeChangedMessage[] = L"FocusedNodeChanged";

}  // namespace kel_comp
