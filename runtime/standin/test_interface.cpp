#include "runtime/standin/test_interface.h"

#include "runtime/standin/api_hash_override.h"
#include "runtime/standin/runtime_context.h"

namespace {

using cef_standin::RuntimeContext;

void SetString(const std::wstring& value, cef_string_t* output) {
  if (output)
    cef_string_utf16_set(value.data(), value.size(), output, 1);
}

int IsInitialized() {
  return RuntimeContext::Get().IsInitialized() ? 1 : 0;
}

void GetCommandLine(cef_string_t* command_line) {
  SetString(RuntimeContext::Get().Observed().command_line, command_line);
}

int GetCookieSchemes(cef_string_list_t schemes) {
  const cef_standin::Observations observed = RuntimeContext::Get().Observed();
  if (!observed.cookie_schemes_set)
    return -1;
  for (const std::wstring& scheme : observed.cookie_schemes) {
    cef_string_t value = {};
    SetString(scheme, &value);
    cef_string_list_append(schemes, &value);
    cef_string_utf16_clear(&value);
  }
  return observed.cookie_include_defaults ? 1 : 0;
}

size_t GetExtensionCount() {
  return RuntimeContext::Get().Observed().extensions.size();
}

int GetExtension(size_t index, cef_string_t* name, cef_string_t* code) {
  const cef_standin::Observations observed = RuntimeContext::Get().Observed();
  if (index >= observed.extensions.size())
    return 0;
  SetString(observed.extensions[index].first, name);
  SetString(observed.extensions[index].second, code);
  return 1;
}

CefV8Handler* GetExtensionHandler(size_t index) {
  return RuntimeContext::Get().ExtensionHandler(index).release();
}

CefApp* GetApplication() {
  return RuntimeContext::Get().Application().release();
}

int GetContextInitializedCount() {
  return RuntimeContext::Get().Observed().context_initialized;
}

int GetWebKitInitializedCount() {
  return RuntimeContext::Get().Observed().web_kit_initialized;
}

unsigned long GetThreadId(cef_thread_id_t thread_id) {
  return RuntimeContext::Get().ThreadIdOf(thread_id);
}

constexpr cef_standin_test_interface_t kTestInterface = {
    &IsInitialized,
    &GetCommandLine,
    &GetCookieSchemes,
    &GetExtensionCount,
    &GetExtension,
    &GetExtensionHandler,
    &GetApplication,
    &GetContextInitializedCount,
    &GetWebKitInitializedCount,
    &GetThreadId,
    &cef_standin::SetApiHashOverride,
};

}  // namespace

const cef_standin_test_interface_t* cef_standin_get_test_interface() {
  return &kTestInterface;
}
