#include "runtime/standin/cookie_manager_impl.h"

#include <string>

#include "runtime/standin/function_task.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin {

void CompleteOnUiThread(CefRefPtr<CefCompletionCallback> callback) {
  if (callback)
    RuntimeContext::Get().PostTask(TID_UI, MakeTask([callback] { callback->OnComplete(); }), 0);
}

void CookieManagerImpl::SetSupportedSchemes(const std::vector<CefString>& schemes,
                                            bool include_defaults,
                                            CefRefPtr<CefCompletionCallback> callback) {
  std::vector<std::wstring> names;
  for (const CefString& scheme : schemes)
    names.push_back(scheme.ToWString());
  RuntimeContext::Get().RecordCookieSchemes(names, include_defaults);
  CompleteOnUiThread(callback);
}

bool CookieManagerImpl::FlushStore(CefRefPtr<CefCompletionCallback> callback) {
  CompleteOnUiThread(callback);
  return true;
}

}  // namespace cef_standin
