// A browser's developer tools: a second browser showing the inspected
// page's elements and console messages, refreshed as they change.

#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/browser/renderer_link.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/runtime_context.h"

#include "base/util/string_util.h"

namespace cef_standin {

namespace {

std::wstring Escape(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    if (c == L'<')
      escaped += L"&lt;";
    else if (c == L'>')
      escaped += L"&gt;";
    else if (c == L'&')
      escaped += L"&amp;";
    else
      escaped += c;
  }
  return escaped;
}

std::string Base64(const std::string& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size())
      v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace

void BrowserHostImpl::ShowDevTools(const CefWindowInfo& window_info,
                                   CefRefPtr<CefClient> client,
                                   const CefBrowserSettings& settings,
                                   const CefPoint& /*inspect_element_at*/) {
  auto info = std::make_shared<CefWindowInfo>(window_info);
  auto browser_settings = std::make_shared<CefBrowserSettings>(settings);
  RunOnUi([this, info, client, browser_settings] {
    if (HasDevTools()) {
      // Open already: brought to the front, as the real runtime does.
      CefRefPtr<BrowserHostImpl> devtools;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        devtools = devtools_;
      }
      if (devtools && devtools->window() && devtools->window()->hwnd())
        SetForegroundWindow(GetAncestor(devtools->window()->hwnd(), GA_ROOT));
      return;
    }
    CreateParams params;
    params.window_info = *info;
    params.client = client ? client : client_;
    params.settings = *browser_settings;
    params.inspected = this;
    CefRefPtr<BrowserHostImpl> devtools = Create(std::move(params));
    if (!devtools)
      return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      devtools_ = devtools;
    }
    RefreshDevTools();
  });
}

void BrowserHostImpl::CloseDevTools() {
  RunOnUi([this] {
    CefRefPtr<BrowserHostImpl> devtools;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      devtools = devtools_;
    }
    if (devtools)
      devtools->CloseBrowser(true);
  });
}

bool BrowserHostImpl::HasDevTools() {
  std::lock_guard<std::mutex> lock(mutex_);
  return devtools_ != nullptr;
}

void BrowserHostImpl::DevToolsClosed(BrowserHostImpl* devtools) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (devtools_.get() == devtools)
    devtools_ = nullptr;
}

void BrowserHostImpl::RefreshDevTools() {
  // Bursts of console messages make one refresh.
  if (devtools_refresh_pending_)
    return;
  devtools_refresh_pending_ = true;
  CefRefPtr<BrowserHostImpl> self(this);
  renderer_link::DescribeDocument(id_, [self](std::wstring elements) {
    RuntimeContext::Get().PostTask(
        TID_UI, MakeTask([self, elements] {
          self->devtools_refresh_pending_ = false;
          CefRefPtr<BrowserHostImpl> devtools;
          {
            std::lock_guard<std::mutex> lock(self->mutex_);
            devtools = self->devtools_;
          }
          if (!devtools || devtools->closed())
            return;
          std::wstring page = L"<html><head><title>Developer Tools - " +
                              Escape(self->MainFrame()->GetURL()) +
                              L"</title></head><body><h3>Elements</h3><pre>" + Escape(elements) +
                              L"</pre><h3>Console</h3>";
          for (const std::wstring& line : self->console_log_)
            page += L"<p>" + Escape(line) + L"</p>";
          page += L"</body></html>";
          NavigationParams params;
          params.url = L"data:text/html;charset=utf-8;base64," +
                       kbase::Utf8ToUtf16(Base64(kbase::Utf16ToUtf8(page)));
          params.commit = NavigationHistory::Commit::kReplace;
          devtools->Navigate(0, std::move(params));
        }),
        0);
  });
}

}  // namespace cef_standin
