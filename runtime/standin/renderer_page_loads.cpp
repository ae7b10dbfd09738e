// The renderer's part of page loads in hosted browsers: a frame's new
// document replaces the old one and its script context, its sub-resources
// are fetched on worker threads, then its scripts run, its child frames
// are made, it is painted and the browser process hears it is ready.

#include <utility>

#include "base/util/string_util.h"
#include "runtime/standin/browser/browser_link.h"
#include "runtime/standin/frame_page.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/net/net_errors.h"
#include "runtime/standin/renderer_pages.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

bool RendererPages::CreateHostedBrowser(int browser_id,
                                        int64 main_frame_id,
                                        int width,
                                        int height) {
  if (browser_id <= 0 || browsers_.count(browser_id))
    return false;
  CefRefPtr<RendererBrowser> browser =
      RendererBrowser::CreateWithMainFrame(browser_id, main_frame_id);
  browsers_.emplace(browser_id, browser);
  hosted_[browser_id] = Hosted{width, height, false, false};
  if (handler_)
    handler_->OnBrowserCreated(browser, nullptr);
  // The initial empty document has its script context, as in browsers.
  CreateContext(browser, browser->frames().front());
  return true;
}

void RendererPages::RemoveChildFrames(const CefRefPtr<RendererBrowser>& browser,
                                      const CefRefPtr<RendererFrame>& frame) {
  // Copied: frames leave the list as they go.
  const std::vector<CefRefPtr<RendererFrame>> frames = browser->frames();
  for (auto child = frames.rbegin(); child != frames.rend(); ++child) {
    if ((*child)->parent_id() != frame->GetIdentifier())
      continue;
    RemoveChildFrames(browser, *child);
    ReleaseContext(browser, *child);
    browser->RemoveFrame((*child)->GetIdentifier());
  }
}

void RendererPages::CommitDocument(renderer_link::CommitParams params) {
  CefRefPtr<RendererFrame> frame = FindFrame(params.browser_id, params.frame_id);
  if (!frame)
    return;
  CefRefPtr<RendererBrowser> browser = browsers_[params.browser_id];
  RemoveChildFrames(browser, frame);
  ReleaseContext(browser, frame);
  frame->set_url(params.url);
  auto page = std::make_unique<FramePage>(params.load_id, params.url, params.error_page);
  page->Load(params.body, params.mime_type, params.charset);
  frame->set_page(std::move(page));
  CreateContext(browser, frame);

  FramePage* loaded = frame->page();
  const std::vector<std::string> urls = loaded->SubresourceUrls();
  if (urls.empty()) {
    ContinueLoad(params.browser_id, params.frame_id, params.load_id);
    return;
  }
  loaded->pending_fetches = static_cast<int>(urls.size());
  const int browser_id = params.browser_id;
  const int64 frame_id = params.frame_id;
  const uint64_t load_id = params.load_id;
  for (const std::string& url : urls) {
    LoadRequest request;
    request.url = kbase::Utf8ToUtf16(url);
    request.referrer = params.url;
    RuntimeContext::Get().network().Load(request, [=](LoadResult result) {
      std::string bytes = result.error == net_error::kOk && result.status < 400
                              ? std::move(result.body)
                              : std::string();
      RuntimeContext::Get().PostTask(
          TID_RENDERER, MakeTask([=, bytes = std::move(bytes)]() mutable {
            RuntimeContext::Get().renderer_pages().OnSubresource(browser_id, frame_id, load_id,
                                                                 url, std::move(bytes));
          }),
          0);
    });
  }
}

void RendererPages::OnSubresource(int browser_id,
                                  int64 frame_id,
                                  uint64_t load_id,
                                  const std::string& url,
                                  std::string bytes) {
  CefRefPtr<RendererFrame> frame = FindFrame(browser_id, frame_id);
  FramePage* page = frame ? frame->page() : nullptr;
  if (!page || page->load_id() != load_id)
    return;
  page->AddResource(url, std::move(bytes));
  if (--page->pending_fetches == 0)
    ContinueLoad(browser_id, frame_id, load_id);
}

void RendererPages::ContinueLoad(int browser_id, int64 frame_id, uint64_t load_id) {
  CefRefPtr<RendererFrame> frame = FindFrame(browser_id, frame_id);
  FramePage* page = frame ? frame->page() : nullptr;
  if (!page || page->load_id() != load_id)
    return;
  CefRefPtr<RendererBrowser> browser = browsers_[browser_id];

  DocumentReady ready;
  page::Document& document = page->document();
  ready.title = kbase::Utf8ToUtf16(document.Title());
  // Child frames exist from here on; the browser process loads them.
  for (const page::NodePtr& element : document.QuerySelectorAll("iframe")) {
    const std::string src = element->AttributeOr("src");
    CefRefPtr<RendererFrame> child =
        browser->AddChildFrame(frame, kbase::Utf8ToUtf16(element->AttributeOr("name")));
    ready.child_frames.push_back({child->GetIdentifier(), child->GetName().ToWString(),
                                  src.empty() ? L"about:blank"
                                              : kbase::Utf8ToUtf16(document.ResolveUrl(src))});
    if (ready.child_frames.size() >= static_cast<size_t>(kMaxChildFrames))
      break;
  }
  if (frame->IsMain())
    Paint(browser_id);
  if (page->error_page())
    ready.title.clear();
  browser_link::DocumentReady(browser_id, frame_id, load_id, std::move(ready));
}

void RendererPages::Paint(int browser_id) {
  (void)browser_id;
}

void RendererPages::ExecuteJavaScript(int, int64, const std::wstring&, const std::wstring&, int) {}

void RendererPages::Resize(int browser_id, int width, int height) {
  auto found = hosted_.find(browser_id);
  if (found == hosted_.end())
    return;
  found->second.width = width;
  found->second.height = height;
  Paint(browser_id);
}

void RendererPages::Mouse(int, const BrowserWindowDelegate::MouseInput&) {}

void RendererPages::Wheel(int, int, int, int, int) {}

void RendererPages::Key(int, const BrowserWindowDelegate::KeyInput&) {}

void RendererPages::Focus(int browser_id, bool focused) {
  auto found = hosted_.find(browser_id);
  if (found != hosted_.end())
    found->second.focused = focused;
}

void RendererPages::SetAudioMuted(int browser_id, bool muted) {
  auto found = hosted_.find(browser_id);
  if (found != hosted_.end())
    found->second.muted = muted;
}

std::wstring RendererPages::DescribeDocument(int browser_id) {
  const auto found = browsers_.find(browser_id);
  if (found == browsers_.end() || found->second->frames().empty())
    return std::wstring();
  FramePage* page = found->second->frames().front()->page();
  return page ? kbase::Utf8ToUtf16(page->document().document_element()->OuterHtml())
              : std::wstring();
}

void RendererPages::Crash() {
  std::vector<int> hosted;
  for (const auto& entry : hosted_)
    hosted.push_back(entry.first);
  for (int browser_id : hosted) {
    CefRefPtr<RendererBrowser> browser = browsers_[browser_id];
    if (!browser)
      continue;
    CefRefPtr<RendererFrame> main = browser->frames().front();
    RemoveChildFrames(browser, main);
    ReleaseContext(browser, main);
    main->set_page(nullptr);
    browser_link::RendererTerminated(browser_id);
  }
}

}  // namespace cef_standin
