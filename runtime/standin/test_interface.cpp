#include "runtime/standin/test_interface.h"

#include <functional>

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

// Runs page work on the renderer thread; 0 when it could not run or
// failed.
int OnRenderer(const std::function<bool(cef_standin::RendererPages&)>& work) {
  RuntimeContext& runtime = RuntimeContext::Get();
  bool done = false;
  runtime.RunOnRenderer([&] { done = work(runtime.renderer_pages()); });
  return done ? 1 : 0;
}

int RendererCreateBrowser(int browser_id, int child_frames) {
  return OnRenderer([=](cef_standin::RendererPages& pages) {
    return pages.CreateBrowser(browser_id, child_frames);
  });
}

CefBrowser* RendererGetBrowser(int browser_id) {
  CefRefPtr<CefBrowser> browser;
  OnRenderer([&](cef_standin::RendererPages& pages) {
    browser = pages.GetBrowser(browser_id);
    return browser != nullptr;
  });
  return browser.release();
}

int RendererReloadFrame(int browser_id, int64 frame_id) {
  return OnRenderer(
      [=](cef_standin::RendererPages& pages) { return pages.ReloadFrame(browser_id, frame_id); });
}

int RendererDestroyBrowser(int browser_id) {
  return OnRenderer(
      [=](cef_standin::RendererPages& pages) { return pages.DestroyBrowser(browser_id); });
}

int RendererDeliverMessage(int browser_id, int64 frame_id, CefProcessMessage* message) {
  CefRefPtr<CefProcessMessage> delivered(message);
  return OnRenderer([&](cef_standin::RendererPages& pages) {
    return pages.DeliverMessage(browser_id, frame_id, delivered);
  });
}

CefProcessMessage* RendererTakeSentMessage(int* browser_id, int64* frame_id) {
  cef_standin::MessageOutbox::Entry entry;
  if (!RuntimeContext::Get().IsInitialized() || !RuntimeContext::Get().outbox().Take(&entry))
    return nullptr;
  if (browser_id)
    *browser_id = entry.browser_id;
  if (frame_id)
    *frame_id = entry.frame_id;
  return entry.message.release();
}

int RendererFocusNode(int browser_id, int64 frame_id, int editable) {
  return OnRenderer([=](cef_standin::RendererPages& pages) {
    return pages.FocusNode(browser_id, frame_id, editable);
  });
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
    &RendererCreateBrowser,
    &RendererGetBrowser,
    &RendererReloadFrame,
    &RendererDestroyBrowser,
    &RendererDeliverMessage,
    &RendererTakeSentMessage,
    &RendererFocusNode,
};

}  // namespace

const cef_standin_test_interface_t* cef_standin_get_test_interface() {
  return &kTestInterface;
}
