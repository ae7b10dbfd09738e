#pragma once

#include <string_view>

namespace kel_comp {

// The runtime extension that carries the page side of the script bridge.
inline constexpr wchar_t kPageBridgeExtensionName[] = L"v8/extern";

// The extension's script: it defines KelCefWebInstance with `call` and
// `register`, which reach the native functions "call" and "register" of
// the extension's handler. Passed to the runtime byte for byte.
std::string_view PageBridgeScript();

}  // namespace kel_comp
