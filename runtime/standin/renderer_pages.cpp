#include "runtime/standin/renderer_pages.h"

#include <utility>
#include <vector>

#include "runtime/standin/dom_node_impl.h"
#include "runtime/standin/process_message_impl.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

void RendererPages::Start(CefRefPtr<CefRenderProcessHandler> handler) {
  handler_ = std::move(handler);
}

void RendererPages::Stop() {
  while (!browsers_.empty())
    DestroyBrowser(browsers_.begin()->first);
  if (const size_t forgotten = V8ContextImpl::ForgetEntered()) {
    RuntimeContext::Get().log().Warning(std::to_wstring(forgotten) +
                                        L" script context(s) were left entered");
  }
  handler_ = nullptr;
}

bool RendererPages::CreateBrowser(int browser_id, int child_frames) {
  if (browser_id <= 0 || browsers_.count(browser_id) || child_frames < 0 ||
      child_frames > kMaxChildFrames)
    return false;
  CefRefPtr<RendererBrowser> browser = RendererBrowser::Create(browser_id, child_frames);
  browsers_.emplace(browser_id, browser);
  if (handler_)
    handler_->OnBrowserCreated(browser, nullptr);
  for (const CefRefPtr<RendererFrame>& frame : browser->frames())
    CreateContext(browser, frame);
  return true;
}

CefRefPtr<CefBrowser> RendererPages::GetBrowser(int browser_id) const {
  const auto found = browsers_.find(browser_id);
  return found == browsers_.end() ? nullptr : found->second;
}

CefRefPtr<RendererFrame> RendererPages::FindFrame(int browser_id, int64 frame_id) const {
  const auto found = browsers_.find(browser_id);
  return found == browsers_.end() ? nullptr : found->second->FindFrame(frame_id);
}

bool RendererPages::ReloadFrame(int browser_id, int64 frame_id) {
  CefRefPtr<RendererFrame> frame = FindFrame(browser_id, frame_id);
  if (!frame)
    return false;
  CefRefPtr<RendererBrowser> browser = browsers_[browser_id];
  ReleaseContext(browser, frame);
  CreateContext(browser, frame);
  return true;
}

bool RendererPages::DestroyBrowser(int browser_id) {
  const auto found = browsers_.find(browser_id);
  if (found == browsers_.end())
    return false;
  CefRefPtr<RendererBrowser> browser = found->second;
  // Copied: a handler may reach the browser while its frames go.
  const std::vector<CefRefPtr<RendererFrame>> frames = browser->frames();
  for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) {
    if (!(*frame)->IsMain())
      ReleaseContext(browser, *frame);
  }
  if (!frames.empty())
    ReleaseContext(browser, frames.front());
  if (handler_)
    handler_->OnBrowserDestroyed(browser);
  browser->Invalidate();
  browsers_.erase(browser_id);
  hosted_.erase(browser_id);
  return true;
}

bool RendererPages::DeliverMessage(int browser_id,
                                   int64 frame_id,
                                   CefRefPtr<CefProcessMessage> message) {
  CefRefPtr<RendererFrame> frame = FindFrame(browser_id, frame_id);
  CefRefPtr<CefProcessMessage> copy = message ? message->Copy() : nullptr;
  auto* received = dynamic_cast<ProcessMessageImpl*>(copy.get());
  if (!frame || !received)
    return false;
  received->SetReadOnly();
  if (handler_)
    handler_->OnProcessMessageReceived(browsers_[browser_id], frame, PID_BROWSER, copy);
  return true;
}

bool RendererPages::FocusNode(int browser_id, int64 frame_id, int editable) {
  CefRefPtr<RendererFrame> frame = FindFrame(browser_id, frame_id);
  if (!frame || editable < -1 || editable > 1)
    return false;
  CefRefPtr<CefDOMNode> node;
  if (editable == 1)
    node = new DomNodeImpl(L"INPUT", true);
  else if (editable == 0)
    node = new DomNodeImpl(L"DIV", false);
  if (handler_)
    handler_->OnFocusedNodeChanged(browsers_[browser_id], frame, node);
  return true;
}

void RendererPages::CreateContext(const CefRefPtr<RendererBrowser>& browser,
                                  const CefRefPtr<RendererFrame>& frame) {
  CefRefPtr<V8ContextImpl> context = new V8ContextImpl(browser.get(), frame.get());
  frame->set_context(context);
  if (!handler_)
    return;
  // The new page's script context is the running one while the handler
  // fills it.
  context->Enter();
  handler_->OnContextCreated(browser, frame, context);
  if (!context->Exit())
    RuntimeContext::Get().log().Error(L"OnContextCreated left a script context entered");
}

void RendererPages::ReleaseContext(const CefRefPtr<RendererBrowser>& browser,
                                   const CefRefPtr<RendererFrame>& frame) {
  CefRefPtr<V8ContextImpl> context = frame->context();
  if (!context)
    return;
  if (handler_) {
    // The frame still has the context while the handler looks at it.
    context->Enter();
    handler_->OnContextReleased(browser, frame, context);
    if (!context->Exit())
      RuntimeContext::Get().log().Error(L"OnContextReleased left a script context entered");
  }
  frame->set_context(nullptr);
  context->Invalidate();
}

}  // namespace cef_standin
