#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_client.h"
#include "runtime/include/cef_dom.h"
#include "runtime/include/cef_frame.h"
#include "runtime/include/cef_v8.h"

namespace test {

// A frame that keeps the process messages sent through it, or hands them
// to `forward` when that is set (then from any thread).
class FakeFrame : public CefFrame {
 public:
  struct Sent {
    CefProcessId target;
    CefRefPtr<CefProcessMessage> message;
  };

  bool IsValid() override { return true; }
  bool IsMain() override { return true; }
  bool IsFocused() override { return true; }
  CefString GetName() override { return CefString(); }
  int64 GetIdentifier() override { return 1; }
  CefRefPtr<CefFrame> GetParent() override { return nullptr; }
  CefString GetURL() override { return url; }
  CefRefPtr<CefBrowser> GetBrowser() override { return nullptr; }
  CefRefPtr<CefV8Context> GetV8Context() override { return nullptr; }
  void LoadURL(const CefString& target) override { loaded.push_back(target.ToWString()); }
  void SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override {
    if (forward)
      forward(target, message);
    else
      sent.push_back({target, message});
  }

  std::vector<Sent> sent;
  std::vector<std::wstring> loaded;
  CefString url = L"about:blank";
  std::function<void(CefProcessId, CefRefPtr<CefProcessMessage>)> forward;

  IMPLEMENT_REFCOUNTING(FakeFrame);
};

// A browser host that writes down what it was told.
class FakeBrowserHost : public CefBrowserHost {
 public:
  CefRefPtr<CefBrowser> GetBrowser() override { return nullptr; }
  void CloseBrowser(bool force_close) override { closed += force_close ? 10 : 1; }
  bool TryCloseBrowser() override { return true; }
  void SetFocus(bool focus) override { focused = focus; }
  CefWindowHandle GetWindowHandle() override { return window; }
  CefWindowHandle GetOpenerWindowHandle() override { return nullptr; }
  CefRefPtr<CefClient> GetClient() override { return nullptr; }
  double GetZoomLevel() override { return 0; }
  void SetZoomLevel(double) override {}
  void StartDownload(const CefString&) override {}
  void ShowDevTools(const CefWindowInfo&,
                    CefRefPtr<CefClient>,
                    const CefBrowserSettings&,
                    const CefPoint&) override {
    ++devtools_shown;
  }
  void CloseDevTools() override { --devtools_shown; }
  bool HasDevTools() override { return devtools_shown > 0; }
  void SetMouseCursorChangeDisabled(bool) override {}
  bool IsMouseCursorChangeDisabled() override { return false; }
  bool IsWindowRenderingDisabled() override { return false; }
  void WasResized() override {}
  void WasHidden(bool hidden) override { hidden_calls.push_back(hidden); }
  void NotifyScreenInfoChanged() override {}
  void Invalidate(PaintElementType) override {}
  void SendKeyEvent(const CefKeyEvent&) override {}
  void SendMouseClickEvent(const CefMouseEvent&, MouseButtonType, bool, int) override {}
  void SendMouseMoveEvent(const CefMouseEvent&, bool) override {}
  void SendMouseWheelEvent(const CefMouseEvent&, int, int) override {}
  void SendFocusEvent(bool) override {}
  void SendCaptureLostEvent() override {}
  void NotifyMoveOrResizeStarted() override {}
  int GetWindowlessFrameRate() override { return 30; }
  void SetWindowlessFrameRate(int) override {}
  void SetAudioMuted(bool mute) override { muted = mute; }
  bool IsAudioMuted() override { return muted; }

  HWND window = nullptr;
  int closed = 0;
  int devtools_shown = 0;
  bool focused = false;
  bool muted = false;
  std::vector<bool> hidden_calls;

  IMPLEMENT_REFCOUNTING(FakeBrowserHost);
};

// A browser with one frame and a host.
class FakeBrowser : public CefBrowser {
 public:
  explicit FakeBrowser(int identifier)
      : identifier_(identifier), main_frame(new FakeFrame), host(new FakeBrowserHost) {}

  CefRefPtr<CefBrowserHost> GetHost() override { return host; }
  int GetIdentifier() override { return identifier_; }
  bool IsSame(CefRefPtr<CefBrowser> that) override {
    return that && that->GetIdentifier() == identifier_;
  }
  bool IsPopup() override { return false; }
  bool HasDocument() override { return true; }
  bool CanGoBack() override { return false; }
  void GoBack() override {}
  bool CanGoForward() override { return false; }
  void GoForward() override {}
  bool IsLoading() override { return false; }
  void Reload() override { ++reloads; }
  void StopLoad() override {}
  CefRefPtr<CefFrame> GetMainFrame() override { return main_frame; }
  CefRefPtr<CefFrame> GetFocusedFrame() override { return main_frame; }
  CefRefPtr<CefFrame> GetFrame(int64 identifier) override {
    return identifier == 1 ? main_frame : nullptr;
  }
  size_t GetFrameCount() override { return 1; }
  void GetFrameIdentifiers(std::vector<int64>& identifiers) override { identifiers = {1}; }

 private:
  const int identifier_;

 public:
  const CefRefPtr<FakeFrame> main_frame;
  const CefRefPtr<FakeBrowserHost> host;
  int reloads = 0;

  IMPLEMENT_REFCOUNTING(FakeBrowser);
};

class FakeNode : public CefDOMNode {
 public:
  explicit FakeNode(bool editable) : editable_(editable) {}

  Type GetType() override { return DOM_NODE_TYPE_ELEMENT; }
  bool IsText() override { return false; }
  bool IsElement() override { return true; }
  bool IsEditable() override { return editable_; }
  bool IsFormControlElement() override { return editable_; }
  CefString GetName() override { return CefString(); }
  CefString GetValue() override { return CefString(); }
  CefString GetElementTagName() override { return editable_ ? L"INPUT" : L"DIV"; }

 private:
  const bool editable_;

  IMPLEMENT_REFCOUNTING(FakeNode);
};

}  // namespace test
