// Text crosses between the runtime's UTF-16 strings and the script
// engine's UTF-8 in every call a page makes: any UTF-16 units, lone
// surrogates too, must come back from the engine unchanged and as long
// as they went in, and well-formed UTF-8 must read as the strict decoder
// reads it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/util/string_util.h"
#include "runtime/standin/script/js_strings.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Check;

using namespace cef_standin::script;

JSContext* Context() {
  static JSContext* const context = JS_NewContext(JS_NewRuntime());
  return context;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  JSContext* ctx = Context();
  std::wstring units;
  for (size_t i = 0; i + 1 < size; i += 2)
    units.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  Check(FromUtf8(ToUtf8(units)) == units);

  const JSValue value = NewJsString(ctx, units);
  Check(!JS_IsException(value));
  Check(JsToWString(ctx, value) == units);
  const JSValue length = JS_GetPropertyStr(ctx, value, "length");
  int32_t count = -1;
  Check(JS_ToInt32(ctx, &count, length) == 0 && static_cast<size_t>(count) == units.size());
  JS_FreeValue(ctx, length);
  JS_FreeValue(ctx, value);

  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring read = FromUtf8(bytes);
  for (wchar_t unit : read)
    Check(static_cast<uint32_t>(unit) <= 0xFFFF);
  const kbase::Utf16String strict = kbase::Utf8ToUtf16(bytes);
  if (!strict.empty()) {
    Check(read == std::wstring(strict.begin(), strict.end()));
    Check(ToUtf8(read) == bytes);
  }
  return 0;
}
