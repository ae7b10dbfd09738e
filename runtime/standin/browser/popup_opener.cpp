#include "runtime/standin/browser/popup_opener.h"

#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

bool OpenPopupFor(BrowserHostImpl& opener,
                  int64_t frame_id,
                  const std::wstring& url,
                  const std::wstring& target,
                  bool user_gesture) {
  CefRefPtr<FrameHostImpl> frame = opener.FindFrame(frame_id);
  if (!frame)
    frame = opener.MainFrame();
  BrowserHostImpl::CreateParams params;
  params.client = opener.client();
  params.url = url;
  params.is_popup = true;
  // A pop-up is a top-level window of its own unless the client says
  // otherwise.
  params.window_info.SetAsPopup(nullptr, CefString());
  CefPopupFeatures features;
  bool no_javascript_access = false;
  CefRefPtr<CefClient> client = opener.client();
  if (CefRefPtr<CefLifeSpanHandler> handler = client ? client->GetLifeSpanHandler() : nullptr) {
    if (handler->OnBeforePopup(&opener, frame.get(), url, target, WOD_NEW_FOREGROUND_TAB,
                               user_gesture, features, params.window_info, params.client,
                               params.settings, params.extra_info, &no_javascript_access)) {
      RuntimeContext::Get().log().Info(L"Pop-up refused by the client: " + url);
      return false;
    }
  }
  if (opener.closed())
    return false;
  // An empty address opens a blank pop-up.
  if (params.url.empty())
    params.url = L"about:blank";
  return BrowserHostImpl::Create(std::move(params)) != nullptr;
}

}  // namespace cef_standin
