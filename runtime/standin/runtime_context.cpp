#include "runtime/standin/runtime_context.h"

#include <algorithm>
#include <chrono>

#include "base/file/file_util.h"
#include "base/util/string_util.h"
#include "runtime/include/cef_scheme.h"
#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/browser/browser_link.h"
#include "runtime/standin/browser/browser_observations.h"
#include "runtime/standin/browser/browser_registry.h"
#include "runtime/standin/cookie_manager_impl.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/list_value_impl.h"

namespace cef_standin {

namespace {

std::wstring ToWString(const cef_string_t& str) {
  return str.str ? std::wstring(str.str, str.length) : std::wstring();
}

// The stand-in runs no network stack: custom schemes are only recorded in
// the log.
class SchemeRegistrarImpl : public CefSchemeRegistrar {
 public:
  explicit SchemeRegistrarImpl(RuntimeLog& log) : log_(log) {}

  bool AddCustomScheme(const CefString& scheme_name, int options) override {
    if (scheme_name.empty())
      return false;
    log_.Info(L"Custom scheme: " + scheme_name.ToWString() + L" options " +
              std::to_wstring(options));
    return true;
  }

 private:
  RuntimeLog& log_;
};

std::wstring Join(const std::vector<std::wstring>& parts, const wchar_t* separator) {
  std::wstring joined;
  for (const std::wstring& part : parts) {
    if (!joined.empty())
      joined += separator;
    joined += part;
  }
  return joined;
}

}  // namespace

RuntimeContext& RuntimeContext::Get() {
  // Never destroyed: the library may be unloaded at process exit while a
  // program that skipped shutdown still has runtime threads.
  static RuntimeContext* context = new RuntimeContext;
  return *context;
}

int RuntimeContext::ExecuteProcess(const cef_main_args_t* /*args*/, CefApp* application) {
  CefRefPtr<CommandLineImpl> command_line = CommandLineImpl::FromProcess();
  const std::wstring process_type = command_line->SwitchValue(L"type");
  if (process_type.empty())
    return -1;

  // A sub-process: the application sees its command line and schemes as in
  // any process. The renderer's work itself runs inside the browser
  // process (single-process mode), so nothing more is left to do here.
  CefRefPtr<CefApp> app(application);
  if (app) {
    app->OnBeforeCommandLineProcessing(process_type, command_line);
    SchemeRegistrarImpl registrar(log_);
    app->OnRegisterCustomSchemes(&registrar);
  }
  return 0;
}

bool RuntimeContext::Initialize(const cef_main_args_t* args,
                                const cef_settings_t* settings,
                                CefApp* application) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (initialized_) {
      log_.Error(L"The runtime is initialised already");
      return false;
    }
  }
  if (!args || !settings || settings->size != sizeof(cef_settings_t))
    return false;
  // The stand-in runs browsers on a UI thread of its own only; it cannot
  // borrow the caller's message loop.
  if (!settings->multi_threaded_message_loop)
    return false;

  {
    std::lock_guard<std::mutex> lock(mutex_);
    observed_ = Observations();
  }
  const std::wstring log_file = ToWString(settings->log_file);
  log_.Open(log_file, settings->log_severity);
  log_.Info(
      L"Initializing the runtime (single-process, multi-threaded message loop" +
      std::wstring(settings->windowless_rendering_enabled ? L", windowless rendering)" : L")"));

  const std::wstring cache_path = ToWString(settings->cache_path);
  if (cache_path.empty()) {
    log_.Info(L"No cache path: browser data is kept in memory");
  } else if (kbase::CreateDirectoryTree(cache_path.c_str())) {
    log_.Info(L"Cache path: " + cache_path);
  } else {
    log_.Warning(L"Cannot create the cache folder " + cache_path +
                 L": browser data is kept in memory");
  }

  application_ = application;
  windowless_rendering_enabled_ = settings->windowless_rendering_enabled != 0;
  PrepareCommandLine(*settings);
  RegisterCustomSchemes();
  BrowserObservations::Get().Clear();
  std::wstring user_agent = ToWString(settings->user_agent);
  if (user_agent.empty()) {
    user_agent =
        L"Mozilla/5.0 (Windows NT 6.1; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
        L"Chrome/76.0.3809.132 Safari/537.36";
  }
  network_.Configure(command_line_->SwitchValue(L"host-resolver-rules"), cache_path, user_agent);
  cookie_manager_ = new CookieManagerImpl;

  ui_thread_.Start();
  renderer_thread_.Start();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    initialized_ = true;
    initializing_thread_id_ = GetCurrentThreadId();
  }
  ui_thread_.PostTask(MakeTask([this] { OnUiThreadStarted(); }), 0);
  log_.Info(L"Runtime initialised");
  return true;
}

void RuntimeContext::PrepareCommandLine(const cef_settings_t& settings) {
  if (settings.command_line_args_disabled) {
    command_line_ = new CommandLineImpl;
    command_line_->SetProgram(CommandLineImpl::FromProcess()->GetProgram());
  } else {
    command_line_ = CommandLineImpl::FromProcess();
  }
  if (application_)
    application_->OnBeforeCommandLineProcessing(CefString(), command_line_.get());
  command_line_->SetReadOnly();

  const std::wstring text = command_line_->GetCommandLineString();
  log_.Info(L"Command line: " + text);
  std::lock_guard<std::mutex> lock(mutex_);
  observed_.command_line = text;
}

void RuntimeContext::RegisterCustomSchemes() {
  if (!application_)
    return;
  SchemeRegistrarImpl registrar(log_);
  application_->OnRegisterCustomSchemes(&registrar);
}

void RuntimeContext::OnUiThreadStarted() {
  CefRefPtr<CefBrowserProcessHandler> handler =
      application_ ? application_->GetBrowserProcessHandler() : nullptr;
  if (handler)
    handler->OnContextInitialized();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++observed_.context_initialized;
  }
  log_.Info(L"Context initialised");

  CefRefPtr<CefListValue> extra_info = new ListValueImpl;
  if (handler)
    handler->OnRenderProcessThreadCreated(extra_info);
  renderer_thread_.PostTask(MakeTask([this, extra_info] { OnRendererStarted(extra_info); }), 0);
}

void RuntimeContext::OnRendererStarted(CefRefPtr<CefListValue> extra_info) {
  CefRefPtr<CefRenderProcessHandler> handler =
      application_ ? application_->GetRenderProcessHandler() : nullptr;
  renderer_pages_.Start(handler);
  if (handler) {
    handler->OnRenderThreadCreated(extra_info->Copy());
    web_kit_initializing_ = true;
    handler->OnWebKitInitialized();
    web_kit_initializing_ = false;
  }
  size_t extension_count = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++observed_.web_kit_initialized;
    extension_count = extensions_.size();
    renderer_started_ = true;
  }
  renderer_state_changed_.notify_all();
  log_.Info(L"Renderer started with " + std::to_wstring(extension_count) + L" extension(s)");
}

void RuntimeContext::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!initialized_)
      return;
    if (GetCurrentThreadId() != initializing_thread_id_) {
      log_.Error(L"Shutdown must run on the thread that initialised the runtime");
      return;
    }
    initialized_ = false;
  }
  renderer_state_changed_.notify_all();
  log_.Info(L"Shutting down");
  // Browsers still open close now, with their callbacks, on their thread.
  ui_thread_.RunAndWait([] {
    for (const CefRefPtr<BrowserHostImpl>& browser : BrowserRegistry::Get().All())
      browser->DestroyBrowser();
  });
  // Pages still open go first, on their thread, as when their browsers
  // close.
  renderer_thread_.RunAndWait([this] { renderer_pages_.Stop(); });
  renderer_thread_.Stop();
  ui_thread_.Stop();
  network_.Shutdown();

  std::vector<ExtensionScript> extensions;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    extensions.swap(extensions_);
  }
  extensions.clear();
  outbox_.Clear();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    renderer_started_ = false;
  }
  cookie_manager_ = nullptr;
  command_line_ = nullptr;
  application_ = nullptr;
  log_.Info(L"Shutdown complete");
  log_.Close();
}

bool RuntimeContext::IsInitialized() {
  std::lock_guard<std::mutex> lock(mutex_);
  return initialized_;
}

bool RuntimeContext::RunOnRenderer(const std::function<void()>& work) {
  if (!renderer_thread_.BelongsToCurrentThread()) {
    // Work for the pages waits for the renderer's start-up, which the UI
    // thread begins; a caller blocking that thread gives up in time.
    std::unique_lock<std::mutex> lock(mutex_);
    renderer_state_changed_.wait_for(lock, std::chrono::seconds(5),
                                     [this] { return renderer_started_ || !initialized_; });
    if (!initialized_ || !renderer_started_)
      return false;
  } else if (!IsInitialized()) {
    return false;
  }
  return renderer_thread_.RunAndWait(work);
}

void RuntimeContext::SendToBrowserProcess(int browser_id,
                                          int64 frame_id,
                                          CefRefPtr<CefProcessMessage> message) {
  if (browser_link::ProcessMessage(browser_id, frame_id, message))
    return;
  outbox_.Post({browser_id, frame_id, std::move(message)});
}

TaskThread* RuntimeContext::ThreadFor(cef_thread_id_t thread_id) {
  switch (thread_id) {
    case TID_UI:
      return &ui_thread_;
    case TID_RENDERER:
      return &renderer_thread_;
    default:
      // The stand-in runs no file, I/O or launcher threads.
      return nullptr;
  }
}

bool RuntimeContext::CurrentlyOn(cef_thread_id_t thread_id) {
  TaskThread* thread = ThreadFor(thread_id);
  return thread && thread->BelongsToCurrentThread();
}

bool RuntimeContext::PostTask(cef_thread_id_t thread_id,
                              CefRefPtr<CefTask> task,
                              int64_t delay_ms) {
  TaskThread* thread = ThreadFor(thread_id);
  return thread && thread->PostTask(std::move(task), delay_ms);
}

DWORD RuntimeContext::ThreadIdOf(cef_thread_id_t thread_id) {
  TaskThread* thread = ThreadFor(thread_id);
  return thread ? thread->thread_id() : 0;
}

CefRefPtr<CefCommandLine> RuntimeContext::GlobalCommandLine() {
  return IsInitialized() ? CefRefPtr<CefCommandLine>(command_line_.get()) : nullptr;
}

CefRefPtr<CefCookieManager> RuntimeContext::CookieManager() {
  return IsInitialized() ? cookie_manager_ : nullptr;
}

bool RuntimeContext::RegisterExtension(const std::wstring& name,
                                       const std::wstring& code,
                                       CefRefPtr<CefV8Handler> handler) {
  if (!renderer_thread_.BelongsToCurrentThread() || !web_kit_initializing_) {
    log_.Error(L"Extension " + name + L" refused: register extensions from OnWebKitInitialized");
    return false;
  }
  if (name.empty() || code.empty())
    return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool duplicate = std::any_of(extensions_.begin(), extensions_.end(),
                                       [&](const ExtensionScript& e) { return e.name == name; });
    if (duplicate) {
      log_.Error(L"Extension " + name + L" is registered already");
      return false;
    }
    extensions_.push_back({name, code, handler});
    observed_.extensions.emplace_back(name, code);
  }
  log_.Info(L"Extension registered: " + name + L" (" +
            std::to_wstring(kbase::Utf16ToUtf8(code).size()) + L" bytes)");
  return true;
}

std::vector<ExtensionScript> RuntimeContext::Extensions() {
  std::lock_guard<std::mutex> lock(mutex_);
  return extensions_;
}

CefRefPtr<CefV8Handler> RuntimeContext::ExtensionHandler(size_t index) {
  std::lock_guard<std::mutex> lock(mutex_);
  return index < extensions_.size() ? extensions_[index].handler : nullptr;
}

void RuntimeContext::RecordCookieSchemes(const std::vector<std::wstring>& schemes,
                                         bool include_defaults) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    observed_.cookie_schemes_set = true;
    observed_.cookie_schemes = schemes;
    observed_.cookie_include_defaults = include_defaults;
  }
  log_.Info(L"Cookieable schemes: " + Join(schemes, L", ") +
            (include_defaults ? L" (and the default schemes)" : L""));
}

Observations RuntimeContext::Observed() {
  std::lock_guard<std::mutex> lock(mutex_);
  return observed_;
}

CefRefPtr<CefApp> RuntimeContext::Application() {
  return IsInitialized() ? application_ : nullptr;
}

}  // namespace cef_standin
