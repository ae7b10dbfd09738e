#include "runtime/standin/frame_page.h"

#include <set>

#include "base/util/string_util.h"
#include "runtime/standin/audio/page_sounds.h"
#include "runtime/standin/browser/browser_link.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/net/url.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

namespace {

std::string EscapeMarkup(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    if (c == '<')
      escaped += "&lt;";
    else if (c == '>')
      escaped += "&gt;";
    else if (c == '&')
      escaped += "&amp;";
    else if (c == '"')
      escaped += "&quot;";
    else
      escaped += c;
  }
  return escaped;
}

}  // namespace

FramePage::FramePage(FramePageHost* host,
                     int browser_id,
                     int64 frame_id,
                     uint64_t load_id,
                     const std::wstring& url,
                     bool error_page)
    : host_(host),
      browser_id_(browser_id),
      frame_id_(frame_id),
      load_id_(load_id),
      error_page_(error_page),
      document_(std::make_shared<page::Document>(kbase::Utf16ToUtf8(url))),
      view_(this) {}

FramePage::~FramePage() {
  // The sounds stop first; script goes next, then the view lets go of the
  // document.
  sounds_.reset();
  script_.reset();
  view_.SetDocument(nullptr);
}

void FramePage::RunScripts(CefRefPtr<V8ContextImpl> context, bool main_frame) {
  main_frame_ = main_frame;
  if (!context || !context->IsValid())
    return;
  script_ = std::make_unique<script::PageScript>(context, document_.get(),
                                                 static_cast<script::PageHost*>(this));
  std::vector<script::ScriptSource> sources;
  for (const page::ScriptEntry& entry : document_->scripts()) {
    script::ScriptSource source;
    if (entry.src_url.empty()) {
      source.text = kbase::Utf8ToUtf16(entry.text);
      source.url = kbase::Utf8ToUtf16(document_->url());
    } else {
      const std::string* fetched = Script(entry.src_url);
      // A script that could not be fetched is skipped, as in browsers.
      if (!fetched || fetched->empty())
        continue;
      source.text = kbase::Utf8ToUtf16(*fetched);
      source.url = kbase::Utf8ToUtf16(entry.src_url);
    }
    sources.push_back(std::move(source));
  }
  script_->RunScripts(sources);
}

void FramePage::FinishLoading() {
  if (script_)
    script_->FinishLoading();
}

void FramePage::StartSounds(audio::Mute mute) {
  if (sounds_ || error_page_)
    return;
  std::vector<audio::SoundSource> sources = audio::AutoplaySources(*document_);
  if (!sources.empty())
    sounds_ = std::make_unique<audio::PageSounds>(std::move(sources),
                                                  kbase::Utf8ToUtf16(document_->url()), mute);
}

bool FramePage::RunScript(const std::wstring& code, const std::wstring& url, int line) {
  if (!script_)
    return false;
  script::ScriptSource source;
  source.text = code;
  source.url = url.empty() ? kbase::Utf8ToUtf16(document_->url()) : url;
  source.start_line = line > 0 ? line : 1;
  return script_->Run(source);
}

void FramePage::Load(const std::string& body,
                     const std::wstring& mime_type,
                     const std::wstring& charset) {
  const std::string label = kbase::Utf16ToUtf8(charset);
  if (mime_type.compare(0, 6, L"image/") == 0) {
    document_->LoadUtf8("<html><body style=\"margin: 0\"><img src=\"" +
                        EscapeMarkup(document_->url()) + "\"></body></html>");
    own_image_ = body;
    return;
  }
  if (mime_type == L"text/plain" || mime_type == L"text/css" || mime_type == L"text/javascript" ||
      mime_type == L"application/javascript" || mime_type == L"application/json") {
    // Plain text in its charset, shown as it is.
    page::Document text("about:blank");
    text.Load("<html><body><pre>" + EscapeMarkup(body) + "</pre></body></html>", label);
    document_->LoadUtf8(text.document_element()->OuterHtml());
    return;
  }
  document_->Load(body, label);
}

void FramePage::Show(int width, int height) {
  view_.SetDocument(document_);
  view_.SetViewportSize(width, height);
  if (!own_image_.empty()) {
    view_.SetImageData(document_->url(), own_image_);
    own_image_.clear();
  }
}

std::vector<std::string> FramePage::ScriptUrls() const {
  std::set<std::string> seen;
  std::vector<std::string> urls;
  for (const page::ScriptEntry& script : document_->scripts()) {
    if (!script.src_url.empty() && !scripts_.count(script.src_url) &&
        seen.insert(script.src_url).second)
      urls.push_back(script.src_url);
  }
  return urls;
}

void FramePage::AddScript(const std::string& url, std::string source) {
  scripts_[url] = std::move(source);
}

const std::string* FramePage::Script(const std::string& url) const {
  const auto found = scripts_.find(url);
  return found == scripts_.end() ? nullptr : &found->second;
}

void FramePage::OnNavigate(const page::NavigationRequest& request) {
  host_->OnPageNavigate(frame_id_, request);
}

void FramePage::OnFocusedNodeChanged(const page::NodePtr& node) {
  host_->OnPageFocusChanged(frame_id_, node);
}

void FramePage::OnCursorChanged(page::CursorKind cursor) {
  host_->OnPageCursor(frame_id_, cursor);
}

void FramePage::OnInvalidate(const page::Rect& /*dirty*/) {
  host_->OnPageInvalidated(frame_id_);
}

void FramePage::OnPopupChanged() {
  host_->OnPagePopupChanged(frame_id_);
}

void FramePage::OnImagesNeeded(const std::vector<std::string>& urls) {
  host_->OnPageNeedsImages(frame_id_, urls);
}

void FramePage::OnFileChooserRequested(const page::NodePtr& input) {
  host_->OnPageFileChooser(frame_id_, input);
}

}  // namespace cef_standin

namespace cef_standin {

// What page script asks of the browser.

std::wstring FramePage::Origin() const {
  const ParsedUrl url = ParseUrl(kbase::Utf8ToUtf16(document_->url()));
  return url.IsHttp() ? url.Origin() : url.Href();
}

void FramePage::Navigate(const script::NavigationRequest& request) {
  browser_link::Navigate(browser_id_, frame_id_, request.url,
                         request.history == script::HistoryEntry::kReplace,
                         request.gesture == script::UserGesture::kYes);
}

void FramePage::GoHistory(int offset) {
  if (offset == 0)
    Reload();
  else
    browser_link::GoHistory(browser_id_, offset);
}

int FramePage::HistoryLength() {
  return browser_link::HistoryLength(browser_id_);
}

void FramePage::Reload() {
  if (main_frame_) {
    browser_link::Reload(browser_id_);
    return;
  }
  NavigationParams params;
  params.url = kbase::Utf8ToUtf16(document_->url());
  params.transition = 8;  // TT_RELOAD
  browser_link::Navigate(browser_id_, frame_id_, std::move(params));
}

bool FramePage::OpenPopup(const script::PopupRequest& request) {
  return browser_link::OpenPopup(browser_id_, frame_id_, request.url, request.target,
                                 request.gesture == script::UserGesture::kYes);
}

void FramePage::Alert(const std::wstring& message) {
  browser_link::RunDialog(browser_id_, Origin(), JSDIALOGTYPE_ALERT, message, std::wstring());
}

bool FramePage::Confirm(const std::wstring& message) {
  return browser_link::RunDialog(browser_id_, Origin(), JSDIALOGTYPE_CONFIRM, message,
                                 std::wstring())
      .accepted;
}

std::optional<std::wstring> FramePage::Prompt(const std::wstring& message,
                                              const std::wstring& default_text) {
  const browser_link::DialogAnswer answer =
      browser_link::RunDialog(browser_id_, Origin(), JSDIALOGTYPE_PROMPT, message, default_text);
  if (!answer.accepted)
    return std::nullopt;
  return answer.text;
}

void FramePage::AddConsoleMessage(const script::ConsoleMessage& message) {
  const int level = message.level == script::ConsoleLevel::kError     ? LOGSEVERITY_ERROR
                    : message.level == script::ConsoleLevel::kWarning ? LOGSEVERITY_WARNING
                                                                      : LOGSEVERITY_INFO;
  browser_link::ConsoleMessage(browser_id_, level, message.text, message.source, message.line);
}

void FramePage::TitleChanged(const std::wstring& title) {
  if (main_frame_ && ready_reported)
    browser_link::TitleChanged(browser_id_, title);
}

void FramePage::RequestQuota(int64_t bytes, std::function<void(script::QuotaDecision)> done) {
  browser_link::RequestQuota(browser_id_, Origin(), bytes, [bytes, done](bool granted) {
    done(script::QuotaDecision{granted, granted ? bytes : 0});
  });
}

std::wstring FramePage::UserAgent() {
  return RuntimeContext::Get().network().user_agent();
}

void FramePage::PostRendererTask(std::function<void()> task, int64_t delay_ms) {
  RuntimeContext::Get().PostTask(TID_RENDERER, MakeTask(std::move(task)), delay_ms);
}

}  // namespace cef_standin
