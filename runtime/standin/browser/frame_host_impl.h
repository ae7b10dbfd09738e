#pragma once

#include <mutex>
#include <string>

#include "runtime/include/cef_frame.h"
#include "runtime/include/cef_v8.h"

namespace cef_standin {

class BrowserHostImpl;

// A frame as the browser process sees it: its identity (the same
// identifier as the renderer's frame), address and place in the page.
// Any thread; navigation requests go to the browser's UI thread.
class FrameHostImpl : public CefFrame {
 public:
  FrameHostImpl(BrowserHostImpl* browser, int64 identifier, int64 parent_id, std::wstring name);

  void SetUrl(const std::wstring& url);
  // Runs script in the frame's page, as the runtime's ExecuteJavaScript.
  void ExecuteJavaScript(const std::wstring& code, const std::wstring& script_url, int start_line);
  // The frame left the page, or its browser closed.
  void Detach();
  int64 parent_id() const { return parent_id_; }

  bool IsValid() override;
  bool IsMain() override { return parent_id_ == 0; }
  bool IsFocused() override;
  CefString GetName() override { return name_; }
  int64 GetIdentifier() override { return identifier_; }
  CefRefPtr<CefFrame> GetParent() override;
  CefString GetURL() override;
  CefRefPtr<CefBrowser> GetBrowser() override;
  // Script contexts live in the renderer only.
  CefRefPtr<CefV8Context> GetV8Context() override { return nullptr; }
  void LoadURL(const CefString& url) override;
  void SendProcessMessage(CefProcessId target_process,
                          CefRefPtr<CefProcessMessage> message) override;

 private:
  // The browser; null once detached. The browser owns its frames, so a
  // frame keeps it alive only while attached.
  CefRefPtr<BrowserHostImpl> Browser();

  const int64 identifier_;
  const int64 parent_id_;  // 0 for the main frame
  const std::wstring name_;

  std::mutex mutex_;
  BrowserHostImpl* browser_;  // guarded by mutex_
  std::wstring url_;          // guarded by mutex_

  IMPLEMENT_REFCOUNTING(FrameHostImpl);
};

}  // namespace cef_standin
