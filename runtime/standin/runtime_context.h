#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "runtime/include/cef_app.h"
#include "runtime/include/cef_cookie.h"
#include "runtime/include/cef_task.h"
#include "runtime/include/cef_v8.h"
#include "runtime/standin/command_line_impl.h"
#include "runtime/standin/message_outbox.h"
#include "runtime/standin/net/resource_loader.h"
#include "runtime/standin/renderer_pages.h"
#include "runtime/standin/runtime_log.h"
#include "runtime/standin/task_thread.h"
#include "runtime/standin/v8_context_impl.h"

namespace cef_standin {

// What the program asked of the runtime, kept from one initialisation to
// the next so that tests can look at it after shutdown too.
struct Observations {
  std::wstring command_line;
  bool cookie_schemes_set = false;
  std::vector<std::wstring> cookie_schemes;
  bool cookie_include_defaults = false;
  std::vector<std::pair<std::wstring, std::wstring>> extensions;  // name, code
  int context_initialized = 0;
  int web_kit_initialized = 0;
};

// The runtime of one process. In the browser process it runs its own UI
// thread and, in single-process mode, the renderer's main thread; a
// process started with a "--type" switch is a sub-process whose work ends
// in ExecuteProcess.
class RuntimeContext {
 public:
  static RuntimeContext& Get();

  RuntimeContext(const RuntimeContext&) = delete;
  RuntimeContext& operator=(const RuntimeContext&) = delete;

  int ExecuteProcess(const cef_main_args_t* args, CefApp* application);
  bool Initialize(const cef_main_args_t* args, const cef_settings_t* settings, CefApp* application);
  void Shutdown();
  bool IsInitialized();

  bool CurrentlyOn(cef_thread_id_t thread_id);
  bool PostTask(cef_thread_id_t thread_id, CefRefPtr<CefTask> task, int64_t delay_ms);
  DWORD ThreadIdOf(cef_thread_id_t thread_id);

  // Null while the runtime is not initialised.
  CefRefPtr<CefCommandLine> GlobalCommandLine();
  CefRefPtr<CefCookieManager> CookieManager();

  // Only on the renderer thread, while the application's
  // OnWebKitInitialized runs.
  bool RegisterExtension(const std::wstring& name,
                         const std::wstring& code,
                         CefRefPtr<CefV8Handler> handler);
  CefRefPtr<CefV8Handler> ExtensionHandler(size_t index);
  // The registered extensions, in order, for a new page context.
  std::vector<ExtensionScript> Extensions();

  void RecordCookieSchemes(const std::vector<std::wstring>& schemes, bool include_defaults);
  Observations Observed();
  CefRefPtr<CefApp> Application();

  // Runs `work` on the renderer thread once the renderer has started, and
  // waits for it; at once on the renderer thread. False while the runtime
  // is not initialised, or when the work did not run.
  bool RunOnRenderer(const std::function<void()>& work);
  // Renderer thread only.
  RendererPages& renderer_pages() { return renderer_pages_; }

  // A renderer frame's message for the browser process: the browser's
  // client hears of it on the UI thread. Messages of browsers the browser
  // process does not know (pages a test made) wait in the outbox.
  void SendToBrowserProcess(int browser_id, int64 frame_id, CefRefPtr<CefProcessMessage> message);
  MessageOutbox& outbox() { return outbox_; }

  // Whether the settings allowed windowless browsers; any thread.
  bool windowless_rendering_enabled() const { return windowless_rendering_enabled_; }

  RuntimeLog& log() { return log_; }
  NetworkContext& network() { return network_; }

 private:
  RuntimeContext() = default;
  ~RuntimeContext() = default;

  TaskThread* ThreadFor(cef_thread_id_t thread_id);
  void PrepareCommandLine(const cef_settings_t& settings);
  void RegisterCustomSchemes();
  // Runtime UI thread: the browser side is ready.
  void OnUiThreadStarted();
  // Renderer thread: the script engine is ready.
  void OnRendererStarted(CefRefPtr<CefListValue> extra_info);

  std::mutex mutex_;
  bool initialized_ = false;           // guarded by mutex_
  DWORD initializing_thread_id_ = 0;   // guarded by mutex_
  bool web_kit_initializing_ = false;  // renderer thread only
  bool renderer_started_ = false;      // guarded by mutex_
  std::condition_variable renderer_state_changed_;
  Observations observed_;                    // guarded by mutex_
  std::vector<ExtensionScript> extensions_;  // guarded by mutex_

  // Set by Initialize before the threads start and cleared by Shutdown
  // after they ended.
  CefRefPtr<CefApp> application_;
  CefRefPtr<CommandLineImpl> command_line_;
  CefRefPtr<CefCookieManager> cookie_manager_;

  std::atomic<bool> windowless_rendering_enabled_{false};

  RendererPages renderer_pages_;  // renderer thread only
  MessageOutbox outbox_;
  NetworkContext network_;

  TaskThread ui_thread_{"CefUI"};
  TaskThread renderer_thread_{"CefRenderer"};
  RuntimeLog log_;
};

}  // namespace cef_standin
