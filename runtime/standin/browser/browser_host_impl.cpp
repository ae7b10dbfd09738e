#include "runtime/standin/browser/browser_host_impl.h"

#include <utility>

#include "base/util/string_util.h"

#include "runtime/standin/browser/browser_observations.h"
#include "runtime/standin/browser/browser_registry.h"
#include "runtime/standin/browser/download_manager.h"
#include "runtime/standin/browser/renderer_link.h"
#include "runtime/standin/browser/request_impl.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/net/net_errors.h"
#include "runtime/standin/net/text_decoding.h"
#include "runtime/standin/net/url.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

namespace {

// The developer tools show this many of the latest console messages.
constexpr size_t kMaxConsoleLines = 200;

// Redirects beyond this many end the navigation, as in browsers.
constexpr int kMaxRedirects = 20;

constexpr int kTransitionSourceMask = 0xFF;
constexpr int kTransitionForwardBack = 0x01000000;
constexpr int kTransitionServerRedirect = static_cast<int>(0x80000000u);

bool IsRenderable(const std::wstring& mime_type) {
  return mime_type.empty() || mime_type == L"text/html" || mime_type == L"text/plain" ||
         mime_type == L"application/xhtml+xml" || mime_type.compare(0, 6, L"image/") == 0 ||
         mime_type == L"text/css" || mime_type == L"application/javascript" ||
         mime_type == L"text/javascript" || mime_type == L"application/json";
}

std::wstring HtmlEscape(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    switch (c) {
      case L'<':
        escaped += L"&lt;";
        break;
      case L'>':
        escaped += L"&gt;";
        break;
      case L'&':
        escaped += L"&amp;";
        break;
      case L'"':
        escaped += L"&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

// The page a frame shows when its document could not be loaded.
std::string ErrorPage(const std::wstring& url, int error) {
  const std::wstring page =
      L"<html><head><title>" + HtmlEscape(url) +
      L"</title></head><body style=\"background-color: #f7f7f7; padding: 24px\">"
      L"<h2 style=\"color: #333333\">This page isn't working</h2><p>" +
      HtmlEscape(url) + L"</p><p style=\"color: #777777\">" + NetErrorName(error) +
      L"</p></body></html>";
  return kbase::Utf16ToUtf8(page);
}

}  // namespace

CefRefPtr<BrowserHostImpl> BrowserHostImpl::Create(CreateParams params) {
  RuntimeContext& runtime = RuntimeContext::Get();
  CefRefPtr<BrowserHostImpl> browser = new BrowserHostImpl(params);
  if (!browser->windowless_) {
    BrowserWindow::CreateParams window;
    window.parent = params.window_info.parent_window;
    window.style = params.window_info.style;
    window.ex_style = params.window_info.ex_style;
    window.x = params.window_info.x;
    window.y = params.window_info.y;
    window.width = params.window_info.width;
    window.height = params.window_info.height;
    window.title = CefString(&params.window_info.window_name).ToWString();
    if (!window.parent && window.style == 0)
      window.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN;
    browser->window_ = std::make_unique<BrowserWindow>(browser.get());
    if (!browser->window_->Create(window)) {
      runtime.log().Error(L"The browser window could not be created");
      browser->window_.reset();
      return nullptr;
    }
    const SIZE size = browser->window_->ClientSize();
    browser->view_width_ = size.cx;
    browser->view_height_ = size.cy;
  } else {
    CefRefPtr<CefRenderHandler> render =
        browser->client_ ? browser->client_->GetRenderHandler() : nullptr;
    if (!render || !runtime.windowless_rendering_enabled()) {
      runtime.log().Error(render ? L"A windowless browser needs windowless rendering enabled in "
                                   L"the runtime's settings"
                                 : L"A windowless browser needs a render handler");
      return nullptr;
    }
    browser->parent_window_ = params.window_info.parent_window;
    browser->windowless_view_ = std::make_unique<WindowlessView>(browser.get(), render);
    const WindowlessView::Size size = browser->windowless_view_->QueryViewSize();
    browser->view_width_ = size.width;
    browser->view_height_ = size.height;
  }
  BrowserRegistry::Get().Add(browser->id_, browser);
  RendererView::Params view;
  view.kind =
      browser->windowless_ ? RendererView::Kind::kWindowless : RendererView::Kind::kWindowed;
  view.width = browser->view_width_;
  view.height = browser->view_height_;
  view.frame_rate = browser->frame_rate_;
  renderer_link::CreateBrowser(browser->id_, browser->main_frame_->GetIdentifier(), view);
  runtime.log().Info(L"Browser " + std::to_wstring(browser->id_) + L" created");

  if (CefRefPtr<CefLifeSpanHandler> handler =
          browser->client_ ? browser->client_->GetLifeSpanHandler() : nullptr)
    handler->OnAfterCreated(browser.get());
  // An empty address leaves the page blank without a navigation.
  if (!params.url.empty() && !browser->closed_) {
    NavigationParams navigation;
    navigation.url = params.url;
    browser->Navigate(0, std::move(navigation));
  }
  return browser;
}

BrowserHostImpl::BrowserHostImpl(CreateParams& params)
    : id_(BrowserRegistry::Get().NextIdentifier()),
      client_(params.client),
      windowless_(params.window_info.windowless_rendering_enabled != 0),
      is_popup_(params.is_popup),
      inspected_(params.inspected),
      frame_rate_(RendererView::FrameRateOfSettings(params.settings.windowless_frame_rate)) {
  main_frame_ = new FrameHostImpl(this, RendererFrame::NextIdentifier(), 0, std::wstring());
  main_frame_->SetUrl(L"about:blank");
  frames_[main_frame_->GetIdentifier()] = main_frame_;
}

void BrowserHostImpl::RunOnUi(std::function<void()> work) {
  RuntimeContext& runtime = RuntimeContext::Get();
  if (runtime.CurrentlyOn(TID_UI)) {
    work();
    return;
  }
  CefRefPtr<BrowserHostImpl> self(this);
  runtime.PostTask(TID_UI, MakeTask([self, work = std::move(work)] {
                     if (!self->closed_)
                       work();
                   }),
                   0);
}

CefRefPtr<FrameHostImpl> BrowserHostImpl::FindFrame(int64 frame_id) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (frame_id == 0)
    return main_frame_;
  const auto found = frames_.find(frame_id);
  return found == frames_.end() ? nullptr : found->second;
}

CefRefPtr<FrameHostImpl> BrowserHostImpl::MainFrame() {
  std::lock_guard<std::mutex> lock(mutex_);
  return main_frame_;
}

CefRefPtr<FrameHostImpl> BrowserHostImpl::FindFrameByName(const std::wstring& wanted) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (wanted.empty())
    return main_frame_;
  for (const auto& [id, frame] : frames_) {
    if (frame->GetName().ToWString() == wanted)
      return frame;
  }
  return nullptr;
}

size_t BrowserHostImpl::GetFrameCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_.size();
}

void BrowserHostImpl::GetFrameIdentifiers(std::vector<int64>& identifiers) {
  std::lock_guard<std::mutex> lock(mutex_);
  identifiers.clear();
  for (const auto& entry : frames_)
    identifiers.push_back(entry.first);
}

void BrowserHostImpl::GetFrameNames(std::vector<CefString>& names) {
  std::lock_guard<std::mutex> lock(mutex_);
  names.clear();
  for (const auto& entry : frames_)
    names.push_back(entry.second->GetName());
}

bool BrowserHostImpl::IsSame(CefRefPtr<CefBrowser> that) {
  return that && that->GetIdentifier() == id_ && dynamic_cast<BrowserHostImpl*>(that.get()) == this;
}

bool BrowserHostImpl::CanGoBack() {
  std::lock_guard<std::mutex> lock(mutex_);
  return can_go_back_;
}

bool BrowserHostImpl::CanGoForward() {
  std::lock_guard<std::mutex> lock(mutex_);
  return can_go_forward_;
}

void BrowserHostImpl::GoBack() {
  RunOnUi([this] { GoToOffset(-1); });
}

void BrowserHostImpl::GoForward() {
  RunOnUi([this] { GoToOffset(1); });
}

void BrowserHostImpl::GoToOffset(int offset) {
  if (offset == 0) {
    Reload();
    return;
  }
  const NavigationHistory::Entry* entry = history_.EntryAt(offset);
  if (!entry)
    return;
  NavigationParams params;
  params.url = entry->url;
  params.method = entry->method;
  params.body = entry->body;
  params.content_type = entry->content_type;
  params.transition = 0 /* TT_LINK */ | kTransitionForwardBack;
  params.history_offset = offset;
  Navigate(0, std::move(params));
}

void BrowserHostImpl::Reload() {
  RunOnUi([this] {
    const NavigationHistory::Entry* entry = history_.EntryAt(0);
    if (!entry)
      return;
    NavigationParams params;
    params.url = entry->url;
    params.method = entry->method;
    params.body = entry->body;
    params.content_type = entry->content_type;
    params.transition = 8;  // TT_RELOAD
    params.commit = NavigationHistory::Commit::kReplace;
    Navigate(0, std::move(params));
  });
}

void BrowserHostImpl::StopLoad() {
  RunOnUi([this] {
    std::vector<int64> frames;
    for (const auto& entry : loads_) {
      if (!entry.second.committed)
        frames.push_back(entry.first);
    }
    for (int64 frame_id : frames) {
      CefRefPtr<FrameHostImpl> frame = FindFrame(frame_id);
      FailLoad(frame_id, net_error::kAborted, loads_[frame_id].params.url, false);
    }
  });
}

void BrowserHostImpl::BeginLoading() {
  if (loading_.exchange(true))
    return;
  if (CefRefPtr<CefLoadHandler> handler = client_ ? client_->GetLoadHandler() : nullptr)
    handler->OnLoadingStateChange(this, true, history_.CanGoBack(), history_.CanGoForward());
}

void BrowserHostImpl::EndLoadingIfIdle() {
  if (!loads_.empty() || !loading_.exchange(false))
    return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    can_go_back_ = history_.CanGoBack();
    can_go_forward_ = history_.CanGoForward();
  }
  if (CefRefPtr<CefLoadHandler> handler = client_ ? client_->GetLoadHandler() : nullptr)
    handler->OnLoadingStateChange(this, false, history_.CanGoBack(), history_.CanGoForward());
}

bool BrowserHostImpl::AskBeforeBrowse(const CefRefPtr<FrameHostImpl>& frame,
                                      const NavigationParams& params,
                                      bool is_redirect) {
  BrowserObservations::Get().RecordNavigation(
      {id_, frame->GetIdentifier(), params.url, is_redirect, /*refused=*/false});
  CefRefPtr<CefRequestHandler> handler = client_ ? client_->GetRequestHandler() : nullptr;
  if (!handler)
    return true;
  CefRefPtr<CefRequest> request = RequestImpl::ForNavigation(params, frame->IsMain());
  const bool cancel =
      handler->OnBeforeBrowse(this, frame.get(), request, params.user_gesture, is_redirect);
  if (cancel)
    BrowserObservations::Get().MarkRefused(id_, params.url);
  return !cancel;
}

void BrowserHostImpl::Navigate(int64 frame_id, NavigationParams params) {
  CefRefPtr<FrameHostImpl> frame = FindFrame(frame_id);
  if (!frame || closed_ || close_requested_)
    return;
  frame_id = frame->GetIdentifier();
  const ParsedUrl url = ParseUrl(params.url);
  if (!url.valid) {
    RuntimeContext::Get().log().Warning(L"Navigation to an invalid address refused: " + params.url);
    return;
  }
  params.url = url.Href();
  // A new navigation of the frame replaces the one in flight.
  if (auto running = loads_.find(frame_id); running != loads_.end()) {
    if (running->second.cancel)
      running->second.cancel->Cancel();
    loads_.erase(running);
  }
  BeginLoading();
  FrameLoad& load = loads_[frame_id];
  load.load_id = next_load_id_++;
  load.params = std::move(params);
  const uint64_t load_id = load.load_id;
  if (!AskBeforeBrowse(frame, load.params, false)) {
    // The page stays as it was; the client hears that the navigation was
    // aborted, as from the real runtime.
    if (loads_.count(frame_id) && loads_[frame_id].load_id == load_id)
      FailLoad(frame_id, net_error::kAborted, loads_[frame_id].params.url, false);
    return;
  }
  // The client may have started another navigation or closed the browser
  // from OnBeforeBrowse.
  auto current = loads_.find(frame_id);
  if (closed_ || current == loads_.end() || current->second.load_id != load_id)
    return;
  StartRequest(frame_id, &current->second);
}

void BrowserHostImpl::StartRequest(int64 frame_id, FrameLoad* load) {
  LoadRequest request;
  request.method = load->params.method;
  request.url = load->params.url;
  request.body = load->params.body;
  request.content_type = load->params.content_type;
  request.referrer = load->params.referrer;
  CefRefPtr<BrowserHostImpl> self(this);
  const uint64_t load_id = load->load_id;
  load->cancel =
      RuntimeContext::Get().network().Load(request, [self, frame_id, load_id](LoadResult result) {
        RuntimeContext::Get().PostTask(
            TID_UI, MakeTask([self, frame_id, load_id, result = std::move(result)]() mutable {
              self->OnResponse(frame_id, load_id, std::move(result));
            }),
            0);
      });
}

void BrowserHostImpl::OnResponse(int64 frame_id, uint64_t load_id, LoadResult result) {
  auto found = loads_.find(frame_id);
  if (closed_ || found == loads_.end() || found->second.load_id != load_id)
    return;
  FrameLoad& load = found->second;
  load.cancel.reset();
  if (result.error != net_error::kOk) {
    FailLoad(frame_id, result.error, load.params.url, result.error != net_error::kAborted);
    return;
  }
  if (!result.redirect_url.empty()) {
    if (++load.redirects > kMaxRedirects) {
      FailLoad(frame_id, net_error::kTooManyRedirects, load.params.url, true);
      return;
    }
    const ParsedUrl target = ParseUrl(result.redirect_url);
    if (!target.valid || !target.IsHttp()) {
      FailLoad(frame_id, net_error::kUnsafeRedirect, load.params.url, true);
      return;
    }
    // 301, 302 and 303 turn a POST into a GET; 307 and 308 keep it.
    if (result.status != 307 && result.status != 308 && load.params.method == L"POST") {
      load.params.method = L"GET";
      load.params.body.clear();
      load.params.content_type.clear();
    }
    load.params.url = target.Href();
    load.params.transition |= kTransitionServerRedirect;
    CefRefPtr<FrameHostImpl> frame = FindFrame(frame_id);
    if (!frame)
      return;
    if (!AskBeforeBrowse(frame, load.params, true)) {
      auto again = loads_.find(frame_id);
      if (again != loads_.end() && again->second.load_id == load_id)
        FailLoad(frame_id, net_error::kAborted, again->second.params.url, false);
      return;
    }
    auto again = loads_.find(frame_id);
    if (closed_ || again == loads_.end() || again->second.load_id != load_id)
      return;
    StartRequest(frame_id, &again->second);
    return;
  }
  if (result.attachment || !IsRenderable(result.mime_type)) {
    const std::wstring url = load.params.url;
    DownloadManager::Start(this, url, std::move(result));
    // The navigation became a download: the page stays, the client hears
    // of an aborted navigation.
    FailLoad(frame_id, net_error::kAborted, url, false);
    return;
  }
  if (result.status == 204 || result.status == 205) {
    FailLoad(frame_id, net_error::kAborted, load.params.url, false);
    return;
  }
  if (result.truncated) {
    FailLoad(frame_id, net_error::kContentLengthMismatch, load.params.url, true);
    return;
  }
  Commit(frame_id, &load, std::move(result));
}

void BrowserHostImpl::Commit(int64 frame_id, FrameLoad* load, LoadResult result) {
  CefRefPtr<FrameHostImpl> frame = FindFrame(frame_id);
  if (!frame)
    return;
  load->committed = true;
  load->http_status = result.status;
  const NavigationParams& params = load->params;
  DropChildFrames(frame_id);
  frame->SetUrl(params.url);
  if (frame->IsMain()) {
    if (params.history_offset != 0) {
      history_.CommitOffset(params.history_offset);
    } else {
      NavigationHistory::Entry entry;
      entry.url = params.url;
      entry.method = params.method;
      entry.body = params.body;
      entry.content_type = params.content_type;
      history_.CommitEntry(std::move(entry), params.commit);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    can_go_back_ = history_.CanGoBack();
    can_go_forward_ = history_.CanGoForward();
    history_length_ = history_.Count();
  }
  has_document_ = true;
  if (frame->IsMain()) {
    // Each document reports its title anew.
    last_title_.clear();
    if (CefRefPtr<CefDisplayHandler> display = client_ ? client_->GetDisplayHandler() : nullptr)
      display->OnAddressChange(this, frame.get(), params.url);
  }
  if (CefRefPtr<CefLoadHandler> handler = client_ ? client_->GetLoadHandler() : nullptr) {
    handler->OnLoadStart(this, frame.get(), static_cast<cef_transition_type_t>(params.transition));
  }
  auto current = loads_.find(frame_id);
  if (closed_ || current == loads_.end() || current->second.load_id != load->load_id)
    return;
  renderer_link::CommitParams commit;
  commit.browser_id = id_;
  commit.frame_id = frame_id;
  commit.load_id = current->second.load_id;
  commit.url = current->second.params.url;
  commit.body = std::move(result.body);
  commit.mime_type = result.mime_type;
  commit.charset = result.charset;
  renderer_link::Commit(std::move(commit));
}

// `url` is a copy: callers pass the address of the load this ends.
void BrowserHostImpl::FailLoad(int64 frame_id, int error, std::wstring url, bool show_error_page) {
  auto found = loads_.find(frame_id);
  if (found == loads_.end())
    return;
  if (found->second.cancel)
    found->second.cancel->Cancel();
  const uint64_t load_id = found->second.load_id;
  loads_.erase(found);
  CefRefPtr<FrameHostImpl> frame = FindFrame(frame_id);
  if (frame) {
    if (CefRefPtr<CefLoadHandler> handler = client_ ? client_->GetLoadHandler() : nullptr) {
      handler->OnLoadError(this, frame.get(), static_cast<cef_errorcode_t>(error),
                           NetErrorName(error), url);
    }
    if (show_error_page && !closed_) {
      DropChildFrames(frame_id);
      frame->SetUrl(url);
      renderer_link::CommitParams commit;
      commit.browser_id = id_;
      commit.frame_id = frame_id;
      commit.load_id = load_id;
      commit.url = url;
      commit.body = ErrorPage(url, error);
      commit.mime_type = L"text/html";
      commit.charset = L"utf-8";
      commit.error_page = true;
      renderer_link::Commit(std::move(commit));
    }
  }
  // A child frame's failure still completes its parent.
  if (frame && !frame->IsMain())
    FinishFrame(frame->parent_id());
  EndLoadingIfIdle();
}

void BrowserHostImpl::OnDocumentReady(int64 frame_id,
                                      uint64_t load_id,
                                      const DocumentReady& ready) {
  auto found = loads_.find(frame_id);
  if (closed_ || found == loads_.end() || found->second.load_id != load_id ||
      !found->second.committed)
    return;
  CefRefPtr<FrameHostImpl> frame = FindFrame(frame_id);
  if (!frame)
    return;
  if (frame->IsMain()) {
    // A page without a title is titled by its address.
    OnTitleChanged(ready.title.empty() ? found->second.params.url : ready.title);
  }
  // Child frames load now; the frame's own load ends with the last of them.
  std::vector<std::pair<int64, NavigationParams>> children;
  for (const DocumentReady::ChildFrame& child : ready.child_frames) {
    CefRefPtr<FrameHostImpl> child_frame =
        new FrameHostImpl(this, child.identifier, frame_id, child.name);
    child_frame->SetUrl(L"about:blank");
    {
      std::lock_guard<std::mutex> lock(mutex_);
      frames_[child.identifier] = child_frame;
    }
    NavigationParams params;
    params.url = child.url.empty() ? L"about:blank" : child.url;
    params.transition = 3;  // TT_AUTO_SUBFRAME
    params.referrer = found->second.params.url;
    children.emplace_back(child.identifier, std::move(params));
  }
  found->second.pending_children = static_cast<int>(children.size());
  for (auto& [child_id, params] : children) {
    Navigate(child_id, std::move(params));
    if (closed_)
      return;
  }
  auto again = loads_.find(frame_id);
  if (again != loads_.end() && again->second.load_id == load_id &&
      again->second.pending_children == 0)
    FinishFrame(frame_id);
}

void BrowserHostImpl::FinishFrame(int64 frame_id) {
  auto found = loads_.find(frame_id);
  if (found == loads_.end() || !found->second.committed)
    return;
  if (found->second.pending_children > 0 && --found->second.pending_children > 0)
    return;
  const int status = found->second.http_status;
  loads_.erase(found);
  CefRefPtr<FrameHostImpl> frame = FindFrame(frame_id);
  if (frame) {
    if (CefRefPtr<CefLoadHandler> handler = client_ ? client_->GetLoadHandler() : nullptr)
      handler->OnLoadEnd(this, frame.get(), status);
    if (!frame->IsMain())
      FinishFrame(frame->parent_id());
  }
  EndLoadingIfIdle();
}

void BrowserHostImpl::DropChildFrames(int64 parent_id) {
  std::vector<CefRefPtr<FrameHostImpl>> dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = frames_.begin(); it != frames_.end();) {
      if (it->second->parent_id() == parent_id) {
        dropped.push_back(it->second);
        it = frames_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const CefRefPtr<FrameHostImpl>& frame : dropped) {
    DropChildFrames(frame->GetIdentifier());
    if (auto load = loads_.find(frame->GetIdentifier()); load != loads_.end()) {
      if (load->second.cancel)
        load->second.cancel->Cancel();
      loads_.erase(load);
    }
    frame->Detach();
  }
}

void BrowserHostImpl::OnTitleChanged(const std::wstring& title) {
  if (title == last_title_)
    return;
  last_title_ = title;
  if (NavigationHistory::Entry* entry = history_.Current())
    entry->title = title;
  if (CefRefPtr<CefDisplayHandler> display = client_ ? client_->GetDisplayHandler() : nullptr)
    display->OnTitleChange(this, title);
}

void BrowserHostImpl::OnConsoleMessage(int level,
                                       const std::wstring& text,
                                       const std::wstring& source,
                                       int line) {
  bool handled = false;
  if (CefRefPtr<CefDisplayHandler> display = client_ ? client_->GetDisplayHandler() : nullptr)
    handled =
        display->OnConsoleMessage(this, static_cast<cef_log_severity_t>(level), text, source, line);
  if (!handled)
    RuntimeContext::Get().log().Info(L"Console: \"" + text + L"\", source: " + source + L" (" +
                                     std::to_wstring(line) + L")");
  console_log_.push_back(text);
  if (console_log_.size() > kMaxConsoleLines)
    console_log_.erase(console_log_.begin());
  if (HasDevTools())
    RefreshDevTools();
}

void BrowserHostImpl::OnRendererMessage(int64 frame_id, CefRefPtr<CefProcessMessage> message) {
  CefRefPtr<FrameHostImpl> frame = FindFrame(frame_id);
  if (!frame)
    frame = MainFrame();
  if (client_ && message)
    client_->OnProcessMessageReceived(this, frame.get(), PID_RENDERER, message);
}

void BrowserHostImpl::OnFrameRendered(PaintedFrame frame) {
  if (window_) {
    window_->SetFrame(std::move(frame));
    return;
  }
  if (!windowless_)
    return;
  // The render handler hears of frames on the UI thread.
  CefRefPtr<BrowserHostImpl> self(this);
  RuntimeContext::Get().PostTask(TID_UI, MakeTask([self, frame = std::move(frame)] {
                                   if (!self->closed_ && self->windowless_view_)
                                     self->windowless_view_->DeliverViewFrame(frame);
                                 }),
                                 0);
}

void BrowserHostImpl::OnPopupChanged(const PopupChange& change) {
  if (windowless_view_)
    windowless_view_->ChangePopup(change);
}

void BrowserHostImpl::OnPopupRendered(const PaintedFrame& frame) {
  if (windowless_view_)
    windowless_view_->DeliverPopupFrame(frame);
}

void BrowserHostImpl::OnCursorChanged(BrowserWindow::Cursor cursor) {
  if (window_) {
    window_->SetCursor(cursor);
    return;
  }
  if (!windowless_)
    return;
  CefRefPtr<BrowserHostImpl> self(this);
  RuntimeContext::Get().PostTask(TID_UI, MakeTask([self, cursor] {
                                   if (!self->closed_ && self->windowless_view_)
                                     self->windowless_view_->ChangeCursor(
                                         cursor, self->cursor_change_disabled_);
                                 }),
                                 0);
}

void BrowserHostImpl::OnRendererTerminated() {
  std::vector<int64> frames;
  for (const auto& entry : loads_)
    frames.push_back(entry.first);
  for (int64 frame_id : frames) {
    auto load = loads_.find(frame_id);
    if (load != loads_.end() && load->second.cancel)
      load->second.cancel->Cancel();
  }
  loads_.clear();
  DropChildFrames(MainFrame()->GetIdentifier());
  EndLoadingIfIdle();
  if (CefRefPtr<CefRequestHandler> handler = client_ ? client_->GetRequestHandler() : nullptr)
    handler->OnRenderProcessTerminated(this, TS_PROCESS_CRASHED);
}

int BrowserHostImpl::HistoryLength() {
  std::lock_guard<std::mutex> lock(mutex_);
  return history_length_ > 0 ? history_length_ : 1;
}

bool BrowserHostImpl::IsIdle() {
  return !loading_;
}

// Closing.

void BrowserHostImpl::CloseBrowser(bool force_close) {
  RunOnUi([this, force_close] {
    if (close_requested_.exchange(true))
      return;
    RuntimeContext::Get().log().Info(L"Browser " + std::to_wstring(id_) + L" closing" +
                                     (force_close ? L" (forced)" : L""));
    bool handled = false;
    if (CefRefPtr<CefLifeSpanHandler> handler = client_ ? client_->GetLifeSpanHandler() : nullptr)
      handled = handler->DoClose(this);
    if (window_ && window_->hwnd()) {
      // The real runtime closes the top-level window of a windowed
      // browser unless the client said it does that itself; the browser
      // ends with its window.
      if (!handled)
        PostMessageW(GetAncestor(window_->hwnd(), GA_ROOT), WM_CLOSE, 0, 0);
      return;
    }
    DestroyBrowser();
  });
}

bool BrowserHostImpl::TryCloseBrowser() {
  if (closed_)
    return true;
  if (!close_requested_)
    CloseBrowser(false);
  return false;
}

void BrowserHostImpl::OnWindowDestroyed() {
  DestroyBrowser();
}

void BrowserHostImpl::DestroyBrowser() {
  if (closed_.exchange(true))
    return;
  CefRefPtr<BrowserHostImpl> keep(this);
  for (auto& entry : loads_) {
    if (entry.second.cancel)
      entry.second.cancel->Cancel();
  }
  loads_.clear();
  loading_ = false;
  CefRefPtr<BrowserHostImpl> devtools;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    devtools = std::move(devtools_);
  }
  if (devtools)
    devtools->CloseBrowser(true);
  if (inspected_)
    inspected_->DevToolsClosed(this);
  if (window_) {
    window_->Destroy();
  }
  if (windowless_view_)
    windowless_view_->Close();
  renderer_link::DestroyBrowser(id_);
  if (CefRefPtr<CefLifeSpanHandler> handler = client_ ? client_->GetLifeSpanHandler() : nullptr)
    handler->OnBeforeClose(this);
  std::vector<CefRefPtr<FrameHostImpl>> frames;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : frames_)
      frames.push_back(entry.second);
  }
  for (const CefRefPtr<FrameHostImpl>& frame : frames)
    frame->Detach();
  RuntimeContext::Get().log().Info(L"Browser " + std::to_wstring(id_) + L" closed");
  inspected_ = nullptr;
  BrowserRegistry::Get().Remove(id_);
}

}  // namespace cef_standin
