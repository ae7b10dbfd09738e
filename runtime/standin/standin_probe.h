#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/include/cef_app.h"
#include "runtime/include/cef_task.h"
#include "runtime/include/internal/cef_string_list.h"
#include "runtime/include/wrapper/cef_closure_task.h"
#include "runtime/standin/test_interface.h"

// Tests' view of the stand-in runtime's test interface, for a program that
// has loaded the stand-in already. Every call is harmless without it.
class StandinProbe {
 public:
  StandinProbe() {
    HMODULE library = GetModuleHandleW(L"libcef.dll");
    using GetInterface = const cef_standin_test_interface_t* (*)();
    auto get = library ? reinterpret_cast<GetInterface>(reinterpret_cast<void*>(
                             GetProcAddress(library, "cef_standin_get_test_interface")))
                       : nullptr;
    interface_ = get ? get() : nullptr;
  }

  bool available() const { return interface_ != nullptr; }

  bool IsInitialized() const { return interface_ && interface_->is_initialized(); }

  std::wstring CommandLine() const {
    CefString text;
    if (interface_)
      interface_->get_command_line(text.GetWritableStruct());
    return text.ToWString();
  }

  // The schemes given to the cookie manager; `include_defaults` gets -1
  // when none were given.
  std::vector<std::wstring> CookieSchemes(int* include_defaults) const {
    std::vector<std::wstring> schemes;
    *include_defaults = -1;
    if (!interface_)
      return schemes;
    cef_string_list_t list = cef_string_list_alloc();
    *include_defaults = interface_->get_cookie_schemes(list);
    for (size_t i = 0; i < cef_string_list_size(list); ++i) {
      CefString value;
      cef_string_list_value(list, i, value.GetWritableStruct());
      schemes.push_back(value.ToWString());
    }
    cef_string_list_free(list);
    return schemes;
  }

  // (name, script) of every registered extension.
  std::vector<std::pair<std::wstring, std::wstring>> Extensions() const {
    std::vector<std::pair<std::wstring, std::wstring>> extensions;
    const size_t count = interface_ ? interface_->get_extension_count() : 0;
    for (size_t i = 0; i < count; ++i) {
      CefString name;
      CefString code;
      interface_->get_extension(i, name.GetWritableStruct(), code.GetWritableStruct());
      extensions.emplace_back(name.ToWString(), code.ToWString());
    }
    return extensions;
  }

  CefRefPtr<CefV8Handler> ExtensionHandler(size_t index) const {
    return Adopt(interface_ ? interface_->get_extension_handler(index) : nullptr);
  }

  CefRefPtr<CefApp> Application() const {
    return Adopt(interface_ ? interface_->get_application() : nullptr);
  }

  int ContextInitializedCount() const {
    return interface_ ? interface_->get_context_initialized_count() : 0;
  }
  int WebKitInitializedCount() const {
    return interface_ ? interface_->get_web_kit_initialized_count() : 0;
  }
  DWORD ThreadId(cef_thread_id_t thread) const {
    return interface_ ? interface_->get_thread_id(thread) : 0;
  }
  void SetApiHash(const char* hash) const {
    if (interface_)
      interface_->set_api_hash(hash);
  }

  // The renderer's pages; see the test interface for what each step does.
  bool CreateRendererBrowser(int browser_id, int child_frames = 0) const {
    return interface_ && interface_->renderer_create_browser(browser_id, child_frames);
  }
  CefRefPtr<CefBrowser> RendererBrowser(int browser_id) const {
    return Adopt(interface_ ? interface_->renderer_get_browser(browser_id) : nullptr);
  }
  bool ReloadFrame(int browser_id, int64 frame_id) const {
    return interface_ && interface_->renderer_reload_frame(browser_id, frame_id);
  }
  bool DestroyRendererBrowser(int browser_id) const {
    return interface_ && interface_->renderer_destroy_browser(browser_id);
  }
  bool DeliverToRenderer(int browser_id,
                         int64 frame_id,
                         CefRefPtr<CefProcessMessage> message) const {
    return interface_ && interface_->renderer_deliver_message(browser_id, frame_id, message.get());
  }
  // 1 editable element, 0 another element, -1 no node.
  bool FocusNode(int browser_id, int64 frame_id, int editable) const {
    return interface_ && interface_->renderer_focus_node(browser_id, frame_id, editable);
  }

  struct SentMessage {
    int browser_id = 0;
    int64 frame_id = 0;
    CefRefPtr<CefProcessMessage> message;  // null: nothing was sent
  };
  // The oldest message a renderer frame sent to the browser process.
  SentMessage TakeSentMessage() const {
    SentMessage sent;
    if (interface_)
      sent.message =
          Adopt(interface_->renderer_take_sent_message(&sent.browser_id, &sent.frame_id));
    return sent;
  }

  // Browsers of the browser process (see the test interface).
  bool BrowserIdle(int browser_id) const {
    return interface_ && interface_->browser_is_idle(browser_id) == 1;
  }
  int BrowserCount() const { return interface_ ? interface_->browser_count() : 0; }
  HWND BrowserWindow(int browser_id) const {
    return interface_ ? interface_->browser_window(browser_id) : nullptr;
  }
  // 0xAARRGGBB of the last frame shown; false outside it or without one.
  bool FramePixel(int browser_id, int x, int y, uint32* pixel) const {
    int width = 0;
    int height = 0;
    return interface_ && interface_->browser_frame_pixel(browser_id, x, y, pixel, &width, &height);
  }
  uint64 FrameCount(int browser_id) const {
    return interface_ ? interface_->browser_frame_count(browser_id) : 0;
  }
  int Cursor(int browser_id) const {
    return interface_ ? interface_->browser_cursor(browser_id) : -1;
  }
  bool HasFocus(int browser_id) const {
    return interface_ && interface_->browser_has_focus(browser_id) == 1;
  }
  bool FocusOnEditable(int browser_id) const {
    return interface_ && interface_->browser_focus_on_editable(browser_id) == 1;
  }
  bool IsAudible(int browser_id) const {
    return interface_ && interface_->browser_is_audible(browser_id) == 1;
  }
  bool IsMuted(int browser_id) const {
    return interface_ && interface_->browser_is_muted(browser_id) == 1;
  }
  // The sounds of the browser's pages; all zero for an unknown browser.
  cef_standin_sounds_t Sounds(int browser_id) const {
    cef_standin_sounds_t sounds = {};
    if (interface_)
      interface_->browser_sounds(browser_id, &sounds);
    return sounds;
  }
  bool HasDevTools(int browser_id) const {
    return interface_ && interface_->browser_has_devtools(browser_id) == 1;
  }

  struct Navigation {
    int browser_id = 0;
    std::wstring url;
    bool is_redirect = false;
    bool refused = false;
  };
  std::vector<Navigation> Navigations() const {
    std::vector<Navigation> navigations;
    const size_t count = interface_ ? interface_->navigation_count() : 0;
    for (size_t i = 0; i < count; ++i) {
      Navigation navigation;
      CefString url;
      int redirect = 0;
      int refused = 0;
      if (!interface_->get_navigation(i, &navigation.browser_id, url.GetWritableStruct(), &redirect,
                                      &refused))
        break;
      navigation.url = url.ToWString();
      navigation.is_redirect = redirect != 0;
      navigation.refused = refused != 0;
      navigations.push_back(navigation);
    }
    return navigations;
  }

  struct Dialog {
    int type = 0;
    std::wstring message;
    bool shown = false;
  };
  std::vector<Dialog> Dialogs() const {
    std::vector<Dialog> dialogs;
    const size_t count = interface_ ? interface_->dialog_count() : 0;
    for (size_t i = 0; i < count; ++i) {
      Dialog dialog;
      CefString message;
      int shown = 0;
      if (!interface_->get_dialog(i, &dialog.type, message.GetWritableStruct(), &shown))
        break;
      dialog.message = message.ToWString();
      dialog.shown = shown != 0;
      dialogs.push_back(dialog);
    }
    return dialogs;
  }
  bool DismissDialog(bool accept, const std::wstring& text = std::wstring()) const {
    CefString value(text);
    return interface_ && interface_->dismiss_dialog(accept ? 1 : 0, value.GetStruct());
  }

  struct Download {
    std::wstring url;
    std::wstring path;
    int64 received = 0;
    bool complete = false;
    bool canceled = false;
  };
  std::vector<Download> Downloads() const {
    std::vector<Download> downloads;
    const size_t count = interface_ ? interface_->download_count() : 0;
    for (size_t i = 0; i < count; ++i) {
      Download download;
      CefString url;
      CefString path;
      int complete = 0;
      int canceled = 0;
      if (!interface_->get_download(i, url.GetWritableStruct(), path.GetWritableStruct(),
                                    &download.received, &complete, &canceled))
        break;
      download.url = url.ToWString();
      download.path = path.ToWString();
      download.complete = complete != 0;
      download.canceled = canceled != 0;
      downloads.push_back(download);
    }
    return downloads;
  }

  // What a user or the page would do (see the test interface).
  bool ClickElement(int browser_id, const std::wstring& element_id, int64 frame_id = 0) const {
    CefString id(element_id);
    return interface_ && interface_->click_element(browser_id, frame_id, id.GetStruct());
  }
  bool TypeText(int browser_id, const std::wstring& text) const {
    CefString value(text);
    return interface_ && interface_->type_text(browser_id, value.GetStruct());
  }
  bool RunScript(int browser_id, const std::wstring& code, int64 frame_id = 0) const {
    CefString value(code);
    return interface_ && interface_->run_script(browser_id, frame_id, value.GetStruct());
  }
  bool CrashRenderer() const { return interface_ && interface_->crash_renderer(); }
  // The mouse and key input the browser's page received, oldest first.
  std::vector<cef_standin_input_t> Inputs(int browser_id) const {
    std::vector<cef_standin_input_t> inputs;
    const int count = interface_ ? interface_->browser_input_count(browser_id) : 0;
    for (int i = 0; i < count; ++i) {
      cef_standin_input_t input = {};
      if (!interface_->browser_get_input(browser_id, i, &input))
        break;
      inputs.push_back(input);
    }
    return inputs;
  }
  void SetNetworkTimeout(int timeout_ms) const {
    if (interface_)
      interface_->set_network_timeout(timeout_ms);
  }

  // Runs `work` on the renderer thread and waits for it; false when it
  // could not be posted or was dropped unrun.
  static bool RunOnRenderer(std::function<void()> work) {
    struct Signal {
      HANDLE event;
      ~Signal() { SetEvent(event); }
    };
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!done)
      return false;
    bool ran = false;
    // The closure signals when it goes, run or dropped.
    std::shared_ptr<Signal> signal(new Signal{done});
    const bool posted = CefPostTask(TID_RENDERER, CefCreateClosureTask([work, &ran, signal] {
                                      work();
                                      ran = true;
                                    }));
    signal.reset();
    if (posted)
      WaitForSingleObject(done, INFINITE);
    CloseHandle(done);
    return posted && ran;
  }

 private:
  template <class T>
  static CefRefPtr<T> Adopt(T* object) {
    CefRefPtr<T> reference(object);
    if (object)
      object->Release();
    return reference;
  }

  const cef_standin_test_interface_t* interface_ = nullptr;
};
