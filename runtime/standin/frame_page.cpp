#include "runtime/standin/frame_page.h"

#include <set>

#include "base/util/string_util.h"

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
                     int64 frame_id,
                     uint64_t load_id,
                     const std::wstring& url,
                     bool error_page)
    : host_(host),
      frame_id_(frame_id),
      load_id_(load_id),
      error_page_(error_page),
      document_(std::make_shared<page::Document>(kbase::Utf16ToUtf8(url))),
      view_(this) {}

FramePage::~FramePage() {
  // The view lets go of the document before either goes.
  view_.SetDocument(nullptr);
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

void FramePage::OnImagesNeeded(const std::vector<std::string>& urls) {
  host_->OnPageNeedsImages(frame_id_, urls);
}

void FramePage::OnFileChooserRequested(const page::NodePtr& input) {
  host_->OnPageFileChooser(frame_id_, input);
}

}  // namespace cef_standin
