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
    else
      escaped += c;
  }
  return escaped;
}

}  // namespace

FramePage::FramePage(uint64_t load_id, const std::wstring& url, bool error_page)
    : load_id_(load_id), error_page_(error_page), document_(kbase::Utf16ToUtf8(url)) {}

FramePage::~FramePage() = default;

void FramePage::Load(const std::string& body,
                     const std::wstring& mime_type,
                     const std::wstring& charset) {
  const std::string label = kbase::Utf16ToUtf8(charset);
  if (mime_type.compare(0, 6, L"image/") == 0) {
    document_.LoadUtf8("<html><body style=\"margin: 0\"><img src=\"" +
                       EscapeMarkup(document_.url()) + "\"></body></html>");
    // The image is the response itself: no second fetch.
    resources_[document_.url()] = body;
    return;
  }
  if (mime_type == L"text/plain" || mime_type == L"text/css" || mime_type == L"text/javascript" ||
      mime_type == L"application/javascript" || mime_type == L"application/json") {
    // Plain text in its charset, shown as it is.
    page::Document text("about:blank");
    text.Load("<html><body><pre>" + EscapeMarkup(body) + "</pre></body></html>", label);
    document_.LoadUtf8(text.document_element()->OuterHtml());
    return;
  }
  document_.Load(body, label);
}

std::vector<std::string> FramePage::SubresourceUrls() const {
  std::set<std::string> seen;
  std::vector<std::string> urls;
  auto add = [&](const std::string& url) {
    if (!url.empty() && !resources_.count(url) && seen.insert(url).second)
      urls.push_back(url);
  };
  for (const page::ScriptEntry& script : document_.scripts())
    add(script.src_url);
  for (const page::NodePtr& image : document_.QuerySelectorAll("img")) {
    if (const std::string* src = image->GetAttribute("src"))
      add(document_.ResolveUrl(*src));
  }
  for (const page::NodePtr& audio : document_.QuerySelectorAll("audio")) {
    if (const std::string* src = audio->GetAttribute("src"))
      add(document_.ResolveUrl(*src));
  }
  return urls;
}

void FramePage::AddResource(const std::string& url, std::string bytes) {
  resources_[url] = std::move(bytes);
}

const std::string* FramePage::Resource(const std::string& url) const {
  const auto found = resources_.find(url);
  return found == resources_.end() ? nullptr : &found->second;
}

}  // namespace cef_standin
