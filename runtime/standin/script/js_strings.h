#pragma once

#include <string>
#include <string_view>

#include <quickjs.h>

// Text between the runtime's UTF-16 strings and the script engine's UTF-8.
// Lone surrogates survive both ways (as the engine's three-byte forms), so
// any script string makes the round trip.
namespace cef_standin::script {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// A new script string; JS_EXCEPTION when out of memory.
JSValue NewJsString(JSContext* ctx, std::wstring_view text);
// The value as a string (ToString); empty when that throws, with the
// exception cleared.
std::wstring JsToWString(JSContext* ctx, JSValueConst value);

}  // namespace cef_standin::script
