#pragma once

#include <memory>
#include <string>
#include <utility>

#include "runtime/include/cef_frame.h"
#include "runtime/standin/v8_context_impl.h"

namespace cef_standin {

class RendererBrowser;
class FramePage;

// A frame of a renderer's page. Its script context is replaced with every
// page load. Renderer thread only.
class RendererFrame : public CefFrame {
 public:
  // Identifiers are unique in the process and positive.
  static int64 NextIdentifier();

  RendererFrame(CefRefPtr<RendererBrowser> browser,
                int64 identifier,
                CefRefPtr<RendererFrame> parent,
                std::wstring name);
  ~RendererFrame() override;

  CefRefPtr<V8ContextImpl> context() const { return context_; }
  // The frame's document, script and view; null before the first load.
  FramePage* page() const { return page_.get(); }
  void set_page(std::unique_ptr<FramePage> page);
  void set_url(std::wstring url) { url_ = std::move(url); }
  int64 parent_id() const;
  void set_context(CefRefPtr<V8ContextImpl> context) { context_ = std::move(context); }
  // The browser is gone; its context was released before.
  void Invalidate();

  bool IsValid() override { return valid_; }
  bool IsMain() override { return !parent_; }
  bool IsFocused() override { return valid_ && IsMain(); }
  CefString GetName() override { return name_; }
  int64 GetIdentifier() override { return identifier_; }
  CefRefPtr<CefFrame> GetParent() override;
  CefString GetURL() override { return url_; }
  CefRefPtr<CefBrowser> GetBrowser() override;
  CefRefPtr<CefV8Context> GetV8Context() override { return context_; }
  // Asks the browser process to navigate the frame.
  void LoadURL(const CefString& url) override;
  void SendProcessMessage(CefProcessId target_process,
                          CefRefPtr<CefProcessMessage> message) override;

 private:
  bool valid_ = true;
  CefRefPtr<RendererBrowser> browser_;
  const int64 identifier_;
  CefRefPtr<RendererFrame> parent_;
  const std::wstring name_;
  CefRefPtr<V8ContextImpl> context_;
  std::wstring url_ = L"about:blank";
  std::unique_ptr<FramePage> page_;

  IMPLEMENT_REFCOUNTING(RendererFrame);
};

}  // namespace cef_standin
