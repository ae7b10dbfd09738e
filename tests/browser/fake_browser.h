#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/include/cef_browser.h"
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
  CefString GetURL() override { return L"about:blank"; }
  CefRefPtr<CefBrowser> GetBrowser() override { return nullptr; }
  CefRefPtr<CefV8Context> GetV8Context() override { return nullptr; }
  void LoadURL(const CefString&) override {}
  void SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override {
    if (forward)
      forward(target, message);
    else
      sent.push_back({target, message});
  }

  std::vector<Sent> sent;
  std::function<void(CefProcessId, CefRefPtr<CefProcessMessage>)> forward;

  IMPLEMENT_REFCOUNTING(FakeFrame);
};

// A browser with one frame.
class FakeBrowser : public CefBrowser {
 public:
  explicit FakeBrowser(int identifier) : identifier_(identifier), main_frame(new FakeFrame) {}

  CefRefPtr<CefBrowserHost> GetHost() override { return nullptr; }
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
  void Reload() override {}
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
