#include "runtime/standin/browser/frame_host_impl.h"

#include <utility>

#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/browser/renderer_link.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/process_message_impl.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

FrameHostImpl::FrameHostImpl(BrowserHostImpl* browser,
                             int64 identifier,
                             int64 parent_id,
                             std::wstring name)
    : identifier_(identifier), parent_id_(parent_id), name_(std::move(name)), browser_(browser) {}

void FrameHostImpl::SetUrl(const std::wstring& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  url_ = url;
}

void FrameHostImpl::Detach() {
  std::lock_guard<std::mutex> lock(mutex_);
  browser_ = nullptr;
}

CefRefPtr<BrowserHostImpl> FrameHostImpl::Browser() {
  std::lock_guard<std::mutex> lock(mutex_);
  return browser_;
}

bool FrameHostImpl::IsValid() {
  std::lock_guard<std::mutex> lock(mutex_);
  return browser_ != nullptr;
}

bool FrameHostImpl::IsFocused() {
  return IsMain() && IsValid();
}

CefRefPtr<CefFrame> FrameHostImpl::GetParent() {
  CefRefPtr<BrowserHostImpl> browser = Browser();
  return browser && parent_id_ != 0 ? browser->FindFrame(parent_id_) : nullptr;
}

CefString FrameHostImpl::GetURL() {
  std::lock_guard<std::mutex> lock(mutex_);
  return url_;
}

CefRefPtr<CefBrowser> FrameHostImpl::GetBrowser() {
  return Browser();
}

void FrameHostImpl::LoadURL(const CefString& url) {
  CefRefPtr<BrowserHostImpl> browser = Browser();
  if (!browser)
    return;
  NavigationParams params;
  params.url = url.ToWString();
  params.transition = 1;  // TT_EXPLICIT
  const int64 frame_id = identifier_;
  RuntimeContext::Get().PostTask(TID_UI, MakeTask([browser, frame_id, params]() mutable {
                                   browser->Navigate(frame_id, std::move(params));
                                 }),
                                 0);
}

void FrameHostImpl::ExecuteJavaScript(const std::wstring& code,
                                      const std::wstring& script_url,
                                      int start_line) {
  CefRefPtr<BrowserHostImpl> browser = Browser();
  if (browser)
    renderer_link::ExecuteJavaScript(browser->GetIdentifier(), identifier_, code, script_url,
                                     start_line);
}

void FrameHostImpl::SendProcessMessage(CefProcessId target_process,
                                       CefRefPtr<CefProcessMessage> message) {
  RuntimeContext& runtime = RuntimeContext::Get();
  if (target_process != PID_RENDERER) {
    runtime.log().Warning(L"The browser process sends process messages to a renderer only");
    return;
  }
  auto* sent = dynamic_cast<ProcessMessageImpl*>(message.get());
  CefRefPtr<BrowserHostImpl> browser = Browser();
  if (!browser || !sent) {
    runtime.log().Warning(browser ? L"Process message refused: not made by this runtime"
                                  : L"Process message refused: the frame is gone");
    return;
  }
  sent->SetReadOnly();
  renderer_link::DeliverMessage(browser->GetIdentifier(), identifier_, message);
}

}  // namespace cef_standin
