#include "runtime/standin/renderer_frame.h"

#include <atomic>
#include <utility>

#include "runtime/standin/browser/browser_link.h"
#include "runtime/standin/frame_page.h"
#include "runtime/standin/process_message_impl.h"
#include "runtime/standin/renderer_browser.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

int64 RendererFrame::NextIdentifier() {
  static std::atomic<int64> next{1};
  return next++;
}

RendererFrame::RendererFrame(CefRefPtr<RendererBrowser> browser,
                             int64 identifier,
                             CefRefPtr<RendererFrame> parent,
                             std::wstring name)
    : browser_(std::move(browser)),
      identifier_(identifier),
      parent_(std::move(parent)),
      name_(std::move(name)) {}

RendererFrame::~RendererFrame() = default;

void RendererFrame::Invalidate() {
  valid_ = false;
  context_ = nullptr;
  page_.reset();
}

void RendererFrame::set_page(std::unique_ptr<FramePage> page) {
  page_ = std::move(page);
}

int64 RendererFrame::parent_id() const {
  return parent_ ? parent_->GetIdentifier() : 0;
}

void RendererFrame::LoadURL(const CefString& url) {
  if (valid_)
    browser_link::Navigate(browser_->GetIdentifier(), identifier_, url.ToWString(),
                           /*replace=*/false, /*user_gesture=*/false);
}

CefRefPtr<CefFrame> RendererFrame::GetParent() {
  return parent_;
}

CefRefPtr<CefBrowser> RendererFrame::GetBrowser() {
  return browser_;
}

void RendererFrame::SendProcessMessage(CefProcessId target_process,
                                       CefRefPtr<CefProcessMessage> message) {
  RuntimeContext& runtime = RuntimeContext::Get();
  if (target_process != PID_BROWSER) {
    runtime.log().Warning(L"A renderer sends process messages to the browser process only");
    return;
  }
  auto* sent = dynamic_cast<ProcessMessageImpl*>(message.get());
  if (!valid_ || !sent) {
    runtime.log().Warning(valid_ ? L"Process message refused: not made by this runtime"
                                 : L"Process message refused: the frame is gone");
    return;
  }
  sent->SetReadOnly();
  runtime.SendToBrowserProcess(browser_->GetIdentifier(), identifier_, message);
}

}  // namespace cef_standin
