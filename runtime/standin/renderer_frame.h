#pragma once

#include <string>
#include <utility>

#include "runtime/include/cef_frame.h"
#include "runtime/standin/v8_context_impl.h"

namespace cef_standin {

class RendererBrowser;

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
  void set_context(CefRefPtr<V8ContextImpl> context) { context_ = std::move(context); }
  // The browser is gone; its context was released before.
  void Invalidate();

  bool IsValid() override { return valid_; }
  bool IsMain() override { return !parent_; }
  bool IsFocused() override { return valid_ && IsMain(); }
  CefString GetName() override { return name_; }
  int64 GetIdentifier() override { return identifier_; }
  CefRefPtr<CefFrame> GetParent() override;
  CefString GetURL() override { return L"about:blank"; }
  CefRefPtr<CefBrowser> GetBrowser() override;
  CefRefPtr<CefV8Context> GetV8Context() override { return context_; }
  // Pages are driven by the runtime's test interface for now.
  void LoadURL(const CefString&) override {}
  void SendProcessMessage(CefProcessId target_process,
                          CefRefPtr<CefProcessMessage> message) override;

 private:
  bool valid_ = true;
  CefRefPtr<RendererBrowser> browser_;
  const int64 identifier_;
  CefRefPtr<RendererFrame> parent_;
  const std::wstring name_;
  CefRefPtr<V8ContextImpl> context_;

  IMPLEMENT_REFCOUNTING(RendererFrame);
};

}  // namespace cef_standin
