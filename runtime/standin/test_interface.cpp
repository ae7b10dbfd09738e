#include "runtime/standin/test_interface.h"

#include <functional>

#include "runtime/standin/api_hash_override.h"
#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/browser/browser_observations.h"
#include "runtime/standin/browser/browser_registry.h"
#include "runtime/standin/browser/page_dialogs.h"
#include "runtime/standin/browser/renderer_link.h"
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

using cef_standin::BrowserHostImpl;
using cef_standin::BrowserObservations;
using cef_standin::BrowserRegistry;

std::wstring ToWString(const cef_string_t* text) {
  return text && text->str ? std::wstring(text->str, text->length) : std::wstring();
}

int BrowserCount() {
  return static_cast<int>(BrowserRegistry::Get().All().size());
}

int BrowserIdAt(int index) {
  const auto all = BrowserRegistry::Get().All();
  return index >= 0 && static_cast<size_t>(index) < all.size()
             ? all[static_cast<size_t>(index)]->GetIdentifier()
             : 0;
}

int BrowserIsIdle(int browser_id) {
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  return browser ? (browser->IsIdle() ? 1 : 0) : -1;
}

HWND BrowserWindow(int browser_id) {
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  return browser && browser->window() ? browser->window()->hwnd() : nullptr;
}

int BrowserFramePixel(int browser_id, int x, int y, uint32* pixel, int* width, int* height) {
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  if (browser && browser->window())
    return browser->window()->FramePixel(x, y, pixel, width, height) ? 1 : 0;
  if (browser && browser->windowless_view())
    return browser->windowless_view()->FramePixel(x, y, pixel, width, height) ? 1 : 0;
  return 0;
}

uint64 BrowserFrameCount(int browser_id) {
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  if (browser && browser->window())
    return browser->window()->frame_count();
  return browser && browser->windowless_view() ? browser->windowless_view()->frame_count() : 0;
}

int BrowserCursor(int browser_id) {
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  if (browser && browser->window())
    return static_cast<int>(browser->window()->cursor());
  if (browser && browser->windowless_view())
    return static_cast<int>(browser->windowless_view()->cursor());
  return -1;
}

int BrowserHasFocus(int browser_id) {
  return BrowserObservations::Get().Focused(browser_id) ? 1 : 0;
}

int BrowserFocusOnEditable(int browser_id) {
  return BrowserObservations::Get().FocusOnEditable(browser_id) ? 1 : 0;
}

int BrowserIsAudible(int browser_id) {
  int audible = 0;
  OnRenderer([&](cef_standin::RendererPages& pages) {
    audible = pages.IsAudible(browser_id) ? 1 : 0;
    return true;
  });
  return audible;
}

int BrowserIsMuted(int browser_id) {
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  return browser ? (browser->IsAudioMuted() ? 1 : 0) : -1;
}

int BrowserSounds(int browser_id, cef_standin_sounds_t* sounds) {
  cef_standin::audio::SoundCounts counts;
  const int known = OnRenderer([&](cef_standin::RendererPages& pages) {
    counts = pages.SoundCounts(browser_id);
    return pages.GetBrowser(browser_id) != nullptr;
  });
  if (sounds)
    *sounds = {counts.fetching, counts.playing, counts.silent, counts.on_device, counts.refused};
  return known;
}

int BrowserHasDevTools(int browser_id) {
  CefRefPtr<BrowserHostImpl> browser = BrowserRegistry::Get().Find(browser_id);
  return browser ? (browser->HasDevTools() ? 1 : 0) : -1;
}

size_t NavigationCount() {
  return BrowserObservations::Get().Navigations().size();
}

int GetNavigation(size_t index,
                  int* browser_id,
                  cef_string_t* url,
                  int* is_redirect,
                  int* refused) {
  const auto navigations = BrowserObservations::Get().Navigations();
  if (index >= navigations.size())
    return 0;
  const auto& navigation = navigations[index];
  if (browser_id)
    *browser_id = navigation.browser_id;
  SetString(navigation.url, url);
  if (is_redirect)
    *is_redirect = navigation.is_redirect ? 1 : 0;
  if (refused)
    *refused = navigation.refused ? 1 : 0;
  return 1;
}

size_t DialogCount() {
  return BrowserObservations::Get().Dialogs().size();
}

int GetDialog(size_t index, int* type, cef_string_t* message, int* shown) {
  const auto dialogs = BrowserObservations::Get().Dialogs();
  if (index >= dialogs.size())
    return 0;
  if (type)
    *type = dialogs[index].type;
  SetString(dialogs[index].message, message);
  if (shown)
    *shown = dialogs[index].shown ? 1 : 0;
  return 1;
}

int DismissDialog(int accept, const cef_string_t* text) {
  return cef_standin::DismissShownDialog(accept != 0, ToWString(text)) ? 1 : 0;
}

size_t DownloadCount() {
  return BrowserObservations::Get().Downloads().size();
}

int GetDownload(size_t index,
                cef_string_t* url,
                cef_string_t* path,
                int64* received,
                int* complete,
                int* canceled) {
  const auto downloads = BrowserObservations::Get().Downloads();
  if (index >= downloads.size())
    return 0;
  const auto& download = downloads[index];
  SetString(download.url, url);
  SetString(download.path, path);
  if (received)
    *received = download.received;
  if (complete)
    *complete = download.complete ? 1 : 0;
  if (canceled)
    *canceled = download.canceled ? 1 : 0;
  return 1;
}

int ClickElement(int browser_id, int64 frame_id, const cef_string_t* element_id) {
  const std::wstring id = ToWString(element_id);
  return OnRenderer([&](cef_standin::RendererPages& pages) {
    return pages.ClickElement(browser_id, frame_id, id);
  });
}

int TypeText(int browser_id, const cef_string_t* text) {
  const std::wstring typed = ToWString(text);
  return OnRenderer(
      [&](cef_standin::RendererPages& pages) { return pages.TypeText(browser_id, typed); });
}

int RunScript(int browser_id, int64 frame_id, const cef_string_t* code) {
  const std::wstring script = ToWString(code);
  return OnRenderer([&](cef_standin::RendererPages& pages) {
    return pages.RunScript(browser_id, frame_id, script);
  });
}

int CrashRenderer() {
  return OnRenderer([](cef_standin::RendererPages& pages) {
    pages.Crash();
    return true;
  });
}

void SetNetworkTimeout(int timeout_ms) {
  RuntimeContext::Get().network().set_timeout_ms(timeout_ms > 0 ? timeout_ms : 30000);
}

int BrowserInputCount(int browser_id) {
  return static_cast<int>(BrowserObservations::Get().Inputs(browser_id).size());
}

int BrowserGetInput(int browser_id, int index, cef_standin_input_t* input) {
  const auto inputs = BrowserObservations::Get().Inputs(browser_id);
  if (index < 0 || static_cast<size_t>(index) >= inputs.size() || !input)
    return 0;
  const BrowserObservations::Input& received = inputs[static_cast<size_t>(index)];
  input->kind = static_cast<cef_standin_input_kind_t>(received.kind);
  input->x = received.x;
  input->y = received.y;
  input->button = received.button;
  input->modifiers = received.modifiers;
  input->windows_key_code = received.windows_key_code;
  input->native_key_code = received.native_key_code;
  input->is_system_key = received.is_system_key ? 1 : 0;
  input->delta_x = received.delta_x;
  input->delta_y = received.delta_y;
  return 1;
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
    &BrowserCount,
    &BrowserIdAt,
    &BrowserIsIdle,
    &BrowserWindow,
    &BrowserFramePixel,
    &BrowserFrameCount,
    &BrowserCursor,
    &BrowserHasFocus,
    &BrowserFocusOnEditable,
    &BrowserIsAudible,
    &BrowserIsMuted,
    &BrowserSounds,
    &BrowserHasDevTools,
    &NavigationCount,
    &GetNavigation,
    &DialogCount,
    &GetDialog,
    &DismissDialog,
    &DownloadCount,
    &GetDownload,
    &ClickElement,
    &TypeText,
    &RunScript,
    &CrashRenderer,
    &SetNetworkTimeout,
    &BrowserInputCount,
    &BrowserGetInput,
};

}  // namespace

const cef_standin_test_interface_t* cef_standin_get_test_interface() {
  return &kTestInterface;
}
