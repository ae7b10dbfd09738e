// The renderer's part of page loads in hosted browsers: a frame's new
// document replaces the old one and its script context, its scripts are
// fetched on worker threads and run, its view lays it out and asks for its
// images, its child frames are made, and once its first images are in the
// browser process hears it is ready. Renderer thread.

#include <algorithm>
#include <utility>

#include "base/util/string_util.h"
#include "runtime/standin/browser/browser_link.h"
#include "runtime/standin/browser/browser_observations.h"
#include "runtime/standin/dom_node_impl.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/net/net_errors.h"
#include "runtime/standin/renderer_pages.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

namespace {

using ReceivedInput = BrowserObservations::Input;

// The size a child frame's view takes before its box is known.
constexpr int kDefaultChildWidth = 300;
constexpr int kDefaultChildHeight = 150;
constexpr int kTickMs = 100;

// Fetches `url` on a worker and hands the bytes (empty on failure) to
// `done` on the renderer thread.
void FetchForRenderer(const std::wstring& url,
                      const std::wstring& referrer,
                      std::function<void(std::string bytes, bool ok)> done) {
  LoadRequest request;
  request.url = url;
  request.referrer = referrer;
  RuntimeContext::Get().network().Load(request, [done = std::move(done)](LoadResult result) {
    const bool ok = result.error == net_error::kOk && result.status < 400;
    std::string bytes = ok ? std::move(result.body) : std::string();
    RuntimeContext::Get().PostTask(
        TID_RENDERER,
        MakeTask([done, ok, bytes = std::move(bytes)]() mutable { done(std::move(bytes), ok); }),
        0);
  });
}

}  // namespace

bool RendererPages::CreateHostedBrowser(int browser_id,
                                        int64 main_frame_id,
                                        const RendererView::Params& view) {
  if (browser_id <= 0 || browsers_.count(browser_id))
    return false;
  CefRefPtr<RendererBrowser> browser =
      RendererBrowser::CreateWithMainFrame(browser_id, main_frame_id);
  browsers_.emplace(browser_id, browser);
  hosted_[browser_id].view = std::make_unique<RendererView>(view);
  if (handler_)
    handler_->OnBrowserCreated(browser, nullptr);
  // The initial empty document has its script context, as in browsers.
  CreateContext(browser, browser->frames().front());
  if (!ticking_) {
    ticking_ = true;
    RuntimeContext::Get().PostTask(TID_RENDERER, MakeTask([this] { Tick(); }), kTickMs);
  }
  return true;
}

void RendererPages::Tick() {
  if (hosted_.empty()) {
    ticking_ = false;
    return;
  }
  const uint64_t now = GetTickCount64();
  for (auto& [browser_id, hosted] : hosted_) {
    if (!hosted.focused)
      continue;
    CefRefPtr<RendererFrame> frame = InputFrame(browser_id);
    if (frame && frame->page())
      frame->page()->view().Tick(now);
  }
  RuntimeContext::Get().PostTask(TID_RENDERER, MakeTask([this] { Tick(); }), kTickMs);
}

int RendererPages::BrowserOfFrame(int64 frame_id) const {
  for (const auto& [browser_id, browser] : browsers_) {
    if (browser->FindFrame(frame_id))
      return browser_id;
  }
  return 0;
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
  frame->set_page(nullptr);
  frame->set_url(params.url);
  auto page =
      std::make_unique<FramePage>(static_cast<FramePageHost*>(this), params.browser_id,
                                  params.frame_id, params.load_id, params.url, params.error_page);
  page->Load(params.body, params.mime_type, params.charset);
  // A windowless browser shows an open <select> list as a pop-up widget.
  if (auto hosted = hosted_.find(params.browser_id);
      hosted != hosted_.end() && hosted->second.view->windowless())
    page->view().SetPopupSeparate(true);
  frame->set_page(std::move(page));
  CreateContext(browser, frame);

  FramePage* loaded = frame->page();
  const std::vector<std::string> urls = loaded->ScriptUrls();
  if (urls.empty()) {
    ContinueLoad(params.browser_id, params.frame_id, params.load_id);
    return;
  }
  loaded->pending_fetches = static_cast<int>(urls.size());
  const int browser_id = params.browser_id;
  const int64 frame_id = params.frame_id;
  const uint64_t load_id = params.load_id;
  for (const std::string& url : urls) {
    FetchForRenderer(kbase::Utf8ToUtf16(url), params.url,
                     [this, browser_id, frame_id, load_id, url](std::string bytes, bool) {
                       OnSubresource(browser_id, frame_id, load_id, url, std::move(bytes));
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
  page->AddScript(url, std::move(bytes));
  if (--page->pending_fetches == 0)
    ContinueLoad(browser_id, frame_id, load_id);
}

void RendererPages::ContinueLoad(int browser_id, int64 frame_id, uint64_t load_id) {
  CefRefPtr<RendererFrame> frame = FindFrame(browser_id, frame_id);
  FramePage* page = frame ? frame->page() : nullptr;
  const auto hosted = hosted_.find(browser_id);
  if (!page || page->load_id() != load_id || hosted == hosted_.end())
    return;
  CefRefPtr<RendererBrowser> browser = browsers_[browser_id];
  const RendererView& view = *hosted->second.view;
  if (frame->IsMain()) {
    page->Show(view.width(), view.height());
  } else {
    page->Show(kDefaultChildWidth, kDefaultChildHeight);
    // The child's view takes its box in the parent's layout.
    CefRefPtr<RendererFrame> parent = browser->FindFrame(frame->parent_id());
    if (parent && parent->page()) {
      for (const page::ChildFrameBox& box : parent->page()->view().ChildFrames()) {
        const auto id = parent->page()->child_frames.find(box.iframe.get());
        if (id != parent->page()->child_frames.end() && id->second == frame_id) {
          page->view().SetViewportSize(std::max(box.rect.width, 1), std::max(box.rect.height, 1));
          break;
        }
      }
    }
  }
  // Error pages run no script.
  if (!page->error_page())
    page->RunScripts(frame->context(), frame->IsMain());
  // The page may have gone in its own script (a navigation does not end
  // it, but a crash or a closed browser does).
  frame = FindFrame(browser_id, frame_id);
  page = frame ? frame->page() : nullptr;
  if (!page || page->load_id() != load_id)
    return;
  // Sounds start with the document as its scripts left it.
  page->StartSounds(hosted_[browser_id].muted ? audio::Mute::kSilent : audio::Mute::kAudible);
  // The first layout asks for the page's images (OnPageNeedsImages).
  page->view().content_height();
  ReportReadyWhenLoaded(browser_id, frame_id);
  SchedulePaint(browser_id);
}

void RendererPages::ReportReadyWhenLoaded(int browser_id, int64 frame_id) {
  CefRefPtr<RendererFrame> frame = FindFrame(browser_id, frame_id);
  FramePage* page = frame ? frame->page() : nullptr;
  if (!page || page->ready_reported || page->pending_images > 0 || page->pending_fetches > 0)
    return;
  page->FinishLoading();
  frame = FindFrame(browser_id, frame_id);
  if (!frame || frame->page() != page)
    return;
  page->ready_reported = true;
  CefRefPtr<RendererBrowser> browser = browsers_[browser_id];
  DocumentReady ready;
  page::Document& document = page->document();
  if (!page->error_page())
    ready.title = kbase::Utf8ToUtf16(document.Title());
  // Child frames exist from here on; the browser process loads them.
  for (const page::NodePtr& element : document.QuerySelectorAll("iframe")) {
    if (ready.child_frames.size() >= static_cast<size_t>(kMaxChildFrames))
      break;
    const std::string src = element->AttributeOr("src");
    CefRefPtr<RendererFrame> child =
        browser->AddChildFrame(frame, kbase::Utf8ToUtf16(element->AttributeOr("name")));
    page->child_frames[element.get()] = child->GetIdentifier();
    ready.child_frames.push_back(
        {child->GetIdentifier(), child->GetName().ToWString(),
         src.empty() ? L"about:blank" : kbase::Utf8ToUtf16(document.ResolveUrl(src))});
  }
  browser_link::DocumentReady(browser_id, frame_id, page->load_id(), std::move(ready));
}

void RendererPages::OnImage(int64 frame_id,
                            uint64_t load_id,
                            const std::string& url,
                            std::string bytes,
                            bool ok) {
  const int browser_id = BrowserOfFrame(frame_id);
  CefRefPtr<RendererFrame> frame = browser_id ? FindFrame(browser_id, frame_id) : nullptr;
  FramePage* page = frame ? frame->page() : nullptr;
  if (!page || page->load_id() != load_id)
    return;
  if (ok)
    page->view().SetImageData(url, bytes);
  else
    page->view().SetImageFailed(url);
  if (!page->ready_reported && page->pending_images > 0 && --page->pending_images == 0)
    ReportReadyWhenLoaded(browser_id, frame_id);
}

// The page's requests.

void RendererPages::OnPageNeedsImages(int64 frame_id, const std::vector<std::string>& urls) {
  const int browser_id = BrowserOfFrame(frame_id);
  CefRefPtr<RendererFrame> frame = browser_id ? FindFrame(browser_id, frame_id) : nullptr;
  FramePage* page = frame ? frame->page() : nullptr;
  if (!page)
    return;
  if (!page->ready_reported)
    page->pending_images += static_cast<int>(urls.size());
  const uint64_t load_id = page->load_id();
  for (const std::string& url : urls) {
    FetchForRenderer(kbase::Utf8ToUtf16(url), frame->GetURL().ToWString(),
                     [this, frame_id, load_id, url](std::string bytes, bool ok) {
                       OnImage(frame_id, load_id, url, std::move(bytes), ok);
                     });
  }
}

void RendererPages::OnPageNavigate(int64 frame_id, const page::NavigationRequest& request) {
  const int browser_id = BrowserOfFrame(frame_id);
  CefRefPtr<RendererFrame> frame = browser_id ? FindFrame(browser_id, frame_id) : nullptr;
  if (!frame)
    return;
  const std::wstring url = kbase::Utf8ToUtf16(request.url);
  const bool gesture = request.gesture == page::UserGesture::kYes;
  const std::string& target = request.target;
  int64 target_frame = frame_id;
  if (target == "_blank") {
    browser_link::OpenPopup(browser_id, frame_id, url, L"_blank", gesture);
    return;
  }
  if (target == "_top") {
    target_frame = 0;
  } else if (target == "_parent") {
    target_frame = frame->IsMain() ? 0 : frame->parent_id();
  } else if (!target.empty() && target != "_self") {
    CefRefPtr<RendererFrame> named;
    for (const CefRefPtr<RendererFrame>& candidate : browsers_[browser_id]->frames()) {
      if (kbase::Utf16ToUtf8(candidate->GetName().ToWString()) == target)
        named = candidate;
    }
    if (!named) {
      // A target no frame has opens a new window of that name.
      browser_link::OpenPopup(browser_id, frame_id, url, kbase::Utf8ToUtf16(target), gesture);
      return;
    }
    target_frame = named->GetIdentifier();
  }
  NavigationParams params;
  params.url = url;
  params.method = kbase::Utf8ToUtf16(request.method);
  params.body = request.body;
  params.content_type = kbase::Utf8ToUtf16(request.content_type);
  params.referrer = frame->GetURL().ToWString();
  params.user_gesture = gesture;
  params.transition = request.method == "POST" || !request.content_type.empty()
                          ? 7   // TT_FORM_SUBMIT
                          : 0;  // TT_LINK
  browser_link::Navigate(browser_id, target_frame, std::move(params));
}

void RendererPages::OnPageFocusChanged(int64 frame_id, const page::NodePtr& node) {
  const int browser_id = BrowserOfFrame(frame_id);
  CefRefPtr<RendererFrame> frame = browser_id ? FindFrame(browser_id, frame_id) : nullptr;
  if (!frame)
    return;
  const bool editable = node && node->IsTextField();
  browser_link::EditableFocusChanged(browser_id, editable);
  CefRefPtr<CefDOMNode> dom_node;
  if (node) {
    std::wstring tag = kbase::Utf8ToUtf16(node->tag_name());
    std::transform(tag.begin(), tag.end(), tag.begin(), ::towupper);
    dom_node = new DomNodeImpl(tag, editable, kbase::Utf8ToUtf16(node->AttributeOr("name")),
                               kbase::Utf8ToUtf16(node->Value()));
  }
  if (handler_)
    handler_->OnFocusedNodeChanged(browsers_[browser_id], frame, dom_node);
}

void RendererPages::OnPageCursor(int64 frame_id, page::CursorKind cursor) {
  const int browser_id = BrowserOfFrame(frame_id);
  if (!browser_id)
    return;
  browser_link::CursorChanged(
      browser_id, cursor == page::CursorKind::kHand    ? BrowserWindow::Cursor::kHand
                  : cursor == page::CursorKind::kIBeam ? BrowserWindow::Cursor::kIBeam
                                                       : BrowserWindow::Cursor::kPointer);
}

void RendererPages::OnPageInvalidated(int64 frame_id) {
  if (const int browser_id = BrowserOfFrame(frame_id))
    SchedulePaint(browser_id);
}

void RendererPages::OnPageFileChooser(int64 frame_id, const page::NodePtr& input) {
  const int browser_id = BrowserOfFrame(frame_id);
  if (!browser_id)
    return;
  const uint64_t load_id = FindFrame(browser_id, frame_id)->page()->load_id();
  std::weak_ptr<page::Node> weak_input = input;
  browser_link::ChooseFile(
      browser_id, [this, browser_id, frame_id, load_id, weak_input](std::wstring path) {
        CefRefPtr<RendererFrame> frame = FindFrame(browser_id, frame_id);
        page::NodePtr chosen_for = weak_input.lock();
        if (frame && frame->page() && frame->page()->load_id() == load_id && chosen_for)
          frame->page()->view().SetChosenFile(chosen_for, kbase::Utf16ToUtf8(path));
      });
}

void RendererPages::ShowContextMenu(int browser_id,
                                    const CefRefPtr<RendererFrame>& frame,
                                    int x,
                                    int y,
                                    int window_x,
                                    int window_y) {
  FramePage* page = frame->page();
  if (!page)
    return;
  ContextMenuInfo info;
  info.frame_id = frame->GetIdentifier();
  info.x = x;
  info.y = y;
  info.window_x = window_x;
  info.window_y = window_y;
  info.type_flags = frame->IsMain() ? CM_TYPEFLAG_PAGE : CM_TYPEFLAG_FRAME;
  info.frame_url = frame->GetURL().ToWString();
  CefRefPtr<RendererFrame> main = browsers_[browser_id]->frames().front();
  info.page_url = main->GetURL().ToWString();
  page::NodePtr node = page->view().HitTest(x, y);
  for (page::Node* at = node.get(); at; at = at->parent()) {
    if (at->Is("a") && at->HasAttribute("href") && info.link_url.empty()) {
      info.type_flags |= CM_TYPEFLAG_LINK;
      info.link_url = kbase::Utf8ToUtf16(page->document().ResolveUrl(at->AttributeOr("href")));
    }
    if (at->Is("img") && info.source_url.empty()) {
      info.type_flags |= CM_TYPEFLAG_MEDIA;
      info.source_url = kbase::Utf8ToUtf16(page->document().ResolveUrl(at->AttributeOr("src")));
    }
    if (at->IsTextField() && !info.editable) {
      info.editable = true;
      info.type_flags |= CM_TYPEFLAG_EDITABLE;
      info.edit_flags = CM_EDITFLAG_CAN_CUT | CM_EDITFLAG_CAN_COPY | CM_EDITFLAG_CAN_PASTE |
                        CM_EDITFLAG_CAN_DELETE | CM_EDITFLAG_CAN_SELECT_ALL;
    }
  }
  browser_link::ContextMenu(browser_id, info);
}

// Input.

CefRefPtr<RendererFrame> RendererPages::FrameAt(int browser_id, int* x, int* y) {
  CefRefPtr<RendererBrowser> browser = browsers_[browser_id];
  CefRefPtr<RendererFrame> main = browser ? browser->frames().front() : nullptr;
  if (!main || !main->page())
    return main;
  FramePage* page = main->page();
  for (const page::ChildFrameBox& box : page->view().ChildFrames()) {
    if (!box.rect.Contains(*x, *y))
      continue;
    const auto child_id = page->child_frames.find(box.iframe.get());
    CefRefPtr<RendererFrame> child =
        child_id == page->child_frames.end() ? nullptr : browser->FindFrame(child_id->second);
    if (child && child->page()) {
      *x -= box.rect.x;
      *y -= box.rect.y;
      return child;
    }
  }
  return main;
}

CefRefPtr<RendererFrame> RendererPages::InputFrame(int browser_id) {
  CefRefPtr<RendererBrowser> browser = browsers_[browser_id];
  if (!browser || browser->frames().empty())
    return nullptr;
  const int64 chosen = hosted_[browser_id].input_frame;
  CefRefPtr<RendererFrame> frame = chosen ? browser->FindFrame(chosen) : nullptr;
  return frame ? frame : browser->frames().front();
}

void RendererPages::Mouse(int browser_id, const BrowserWindowDelegate::MouseInput& input) {
  if (!hosted_.count(browser_id))
    return;
  int x = input.x;
  int y = input.y;
  CefRefPtr<RendererFrame> frame = FrameAt(browser_id, &x, &y);
  if (!frame || !frame->page())
    return;
  RecordMouse(browser_id, input);
  page::PageView& view = frame->page()->view();
  page::Modifiers modifiers;
  modifiers.shift = (input.modifiers & EVENTFLAG_SHIFT_DOWN) != 0;
  modifiers.control = (input.modifiers & EVENTFLAG_CONTROL_DOWN) != 0;
  modifiers.alt = (input.modifiers & EVENTFLAG_ALT_DOWN) != 0;
  const page::MouseButton button =
      input.button == BrowserWindowDelegate::MouseButton::kRight    ? page::MouseButton::kRight
      : input.button == BrowserWindowDelegate::MouseButton::kMiddle ? page::MouseButton::kMiddle
                                                                    : page::MouseButton::kLeft;
  using Action = BrowserWindowDelegate::MouseAction;
  switch (input.action) {
    case Action::kMove:
      view.MouseMove(x, y);
      break;
    case Action::kLeave:
      view.MouseLeave();
      break;
    case Action::kCaptureLost:
      view.CaptureLost();
      break;
    case Action::kDown:
    case Action::kDoubleClick:
      hosted_[browser_id].input_frame = frame->GetIdentifier();
      view.MouseDown(x, y, button, modifiers);
      break;
    case Action::kUp:
      view.MouseUp(x, y, button, modifiers);
      if (button == page::MouseButton::kRight)
        ShowContextMenu(browser_id, frame, x, y, input.x, input.y);
      break;
  }
}

void RendererPages::Wheel(int browser_id,
                          int x,
                          int y,
                          int delta_x,
                          int delta_y,
                          uint32_t modifiers) {
  if (!hosted_.count(browser_id))
    return;
  ReceivedInput received;
  received.kind = ReceivedInput::Kind::kWheel;
  received.x = x;
  received.y = y;
  received.modifiers = modifiers;
  received.delta_x = delta_x;
  received.delta_y = delta_y;
  CefRefPtr<RendererFrame> frame = FrameAt(browser_id, &x, &y);
  if (!frame || !frame->page())
    return;
  BrowserObservations::Get().RecordInput(browser_id, received);
  // Pages scroll vertically only.
  if (delta_y != 0)
    frame->page()->view().MouseWheel(x, y, delta_y);
}

void RendererPages::RecordMouse(int browser_id, const BrowserWindowDelegate::MouseInput& input) {
  using Action = BrowserWindowDelegate::MouseAction;
  ReceivedInput received;
  switch (input.action) {
    case Action::kMove:
      received.kind = ReceivedInput::Kind::kMouseMove;
      break;
    case Action::kDown:
      received.kind = ReceivedInput::Kind::kMouseDown;
      break;
    case Action::kUp:
      received.kind = ReceivedInput::Kind::kMouseUp;
      break;
    case Action::kDoubleClick:
      received.kind = ReceivedInput::Kind::kDoubleClick;
      break;
    case Action::kLeave:
      received.kind = ReceivedInput::Kind::kMouseLeave;
      break;
    case Action::kCaptureLost:
      received.kind = ReceivedInput::Kind::kCaptureLost;
      break;
  }
  received.x = input.x;
  received.y = input.y;
  received.button = input.button == BrowserWindowDelegate::MouseButton::kRight    ? MBT_RIGHT
                    : input.button == BrowserWindowDelegate::MouseButton::kMiddle ? MBT_MIDDLE
                                                                                  : MBT_LEFT;
  received.modifiers = input.modifiers;
  BrowserObservations::Get().RecordInput(browser_id, received);
}

void RendererPages::Key(int browser_id, const BrowserWindowDelegate::KeyInput& input) {
  CefRefPtr<RendererFrame> frame = hosted_.count(browser_id) ? InputFrame(browser_id) : nullptr;
  if (!frame || !frame->page())
    return;
  ReceivedInput received;
  received.kind =
      input.action == BrowserWindowDelegate::KeyAction::kChar    ? ReceivedInput::Kind::kChar
      : input.action == BrowserWindowDelegate::KeyAction::kKeyUp ? ReceivedInput::Kind::kKeyUp
                                                                 : ReceivedInput::Kind::kRawKeyDown;
  received.modifiers = input.modifiers;
  received.windows_key_code = input.windows_key_code;
  received.native_key_code = input.native_key_code;
  received.is_system_key = input.is_system_key;
  BrowserObservations::Get().RecordInput(browser_id, received);
  page::PageView& view = frame->page()->view();
  if (input.action == BrowserWindowDelegate::KeyAction::kChar) {
    view.Char(static_cast<char16_t>(input.windows_key_code));
    return;
  }
  if (input.action == BrowserWindowDelegate::KeyAction::kRawKeyDown) {
    page::Modifiers modifiers;
    modifiers.shift = (input.modifiers & EVENTFLAG_SHIFT_DOWN) != 0;
    modifiers.control = (input.modifiers & EVENTFLAG_CONTROL_DOWN) != 0;
    modifiers.alt = (input.modifiers & EVENTFLAG_ALT_DOWN) != 0;
    view.KeyDown(input.windows_key_code, modifiers);
  }
}

void RendererPages::Focus(int browser_id, bool focused) {
  auto found = hosted_.find(browser_id);
  if (found == hosted_.end())
    return;
  found->second.focused = focused;
  CefRefPtr<RendererFrame> frame = InputFrame(browser_id);
  if (frame && frame->page())
    frame->page()->view().SetWindowFocus(focused);
}

bool RendererPages::RunScript(int browser_id, int64 frame_id, const std::wstring& code) {
  CefRefPtr<RendererBrowser> browser = hosted_.count(browser_id) ? browsers_[browser_id] : nullptr;
  CefRefPtr<RendererFrame> frame = !browser        ? nullptr
                                   : frame_id == 0 ? browser->frames().front()
                                                   : browser->FindFrame(frame_id);
  return frame && frame->page() && frame->page()->RunScript(code, std::wstring(), 1);
}

void RendererPages::ExecuteJavaScript(int browser_id,
                                      int64 frame_id,
                                      const std::wstring& code,
                                      const std::wstring& script_url,
                                      int start_line) {
  CefRefPtr<RendererFrame> frame = FindFrame(browser_id, frame_id);
  if (frame && frame->page())
    frame->page()->RunScript(code, script_url, start_line);
}

std::wstring RendererPages::DescribeDocument(int browser_id) {
  const auto found = browsers_.find(browser_id);
  if (found == browsers_.end() || found->second->frames().empty())
    return std::wstring();
  FramePage* page = found->second->frames().front()->page();
  return page ? kbase::Utf8ToUtf16(page->document().document_element()->OuterHtml())
              : std::wstring();
}

bool RendererPages::ClickElement(int browser_id, int64 frame_id, const std::wstring& element_id) {
  CefRefPtr<RendererBrowser> browser = hosted_.count(browser_id) ? browsers_[browser_id] : nullptr;
  CefRefPtr<RendererFrame> frame = !browser        ? nullptr
                                   : frame_id == 0 ? browser->frames().front()
                                                   : browser->FindFrame(frame_id);
  FramePage* page = frame ? frame->page() : nullptr;
  if (!page)
    return false;
  page::NodePtr element = page->document().GetElementById(kbase::Utf16ToUtf8(element_id));
  if (!element)
    return false;
  const page::Rect rect = page->view().ElementRect(element);
  if (rect.IsEmpty())
    return false;
  // The click a user makes: down and up at the element's middle, as the
  // window would send them.
  int x = rect.x + rect.width / 2;
  int y = rect.y + rect.height / 2;
  if (!frame->IsMain()) {
    CefRefPtr<RendererFrame> parent = browser->FindFrame(frame->parent_id());
    if (parent && parent->page()) {
      for (const page::ChildFrameBox& box : parent->page()->view().ChildFrames()) {
        const auto id = parent->page()->child_frames.find(box.iframe.get());
        if (id != parent->page()->child_frames.end() && id->second == frame->GetIdentifier()) {
          x += box.rect.x;
          y += box.rect.y;
        }
      }
    }
  }
  BrowserWindowDelegate::MouseInput input;
  input.x = x;
  input.y = y;
  input.action = BrowserWindowDelegate::MouseAction::kMove;
  Mouse(browser_id, input);
  input.button = BrowserWindowDelegate::MouseButton::kLeft;
  input.action = BrowserWindowDelegate::MouseAction::kDown;
  Mouse(browser_id, input);
  input.action = BrowserWindowDelegate::MouseAction::kUp;
  Mouse(browser_id, input);
  return true;
}

bool RendererPages::TypeText(int browser_id, const std::wstring& text) {
  if (!hosted_.count(browser_id))
    return false;
  for (wchar_t unit : text) {
    BrowserWindowDelegate::KeyInput input;
    input.action = BrowserWindowDelegate::KeyAction::kChar;
    input.windows_key_code = unit;
    Key(browser_id, input);
  }
  return true;
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
    // The crashed page: a grey view until the next load.
    auto page = std::make_unique<FramePage>(static_cast<FramePageHost*>(this), browser_id,
                                            main->GetIdentifier(), 0, L"about:blank",
                                            /*error_page=*/true);
    page->Load(
        "<html><body style=\"background-color: #e8e8e8; padding: 40px\"><h2 style=\"color: "
        "#555555\">Aw, Snap!</h2><p>Something went wrong while displaying this page.</p>"
        "</body></html>",
        L"text/html", L"utf-8");
    main->set_page(std::move(page));
    main->page()->ready_reported = true;
    main->page()->Show(hosted_[browser_id].view->width(), hosted_[browser_id].view->height());
    SchedulePaint(browser_id);
    browser_link::RendererTerminated(browser_id);
  }
}

}  // namespace cef_standin
