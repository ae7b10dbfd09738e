#include "runtime/standin/browser/request_impl.h"

#include <atomic>

#include "runtime/standin/browser/browser_host_impl.h"
#include "runtime/standin/net/url.h"

namespace cef_standin {

CefRefPtr<CefRequest> RequestImpl::ForNavigation(const NavigationParams& params, bool main_frame) {
  static std::atomic<uint64> next_identifier{1};
  CefRefPtr<RequestImpl> request = new RequestImpl;
  request->url_ = params.url;
  request->method_ = params.method;
  request->referrer_ = params.referrer;
  if (!params.content_type.empty())
    request->headers_.emplace(L"Content-Type", params.content_type);
  request->resource_type_ = main_frame ? RT_MAIN_FRAME : RT_SUB_FRAME;
  request->transition_ = static_cast<TransitionType>(params.transition);
  request->identifier_ = next_identifier++;
  request->read_only_ = true;
  return request;
}

CefString RequestImpl::GetURL() {
  std::lock_guard<std::mutex> lock(mutex_);
  return url_;
}

void RequestImpl::SetURL(const CefString& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_)
    url_ = url.ToWString();
}

CefString RequestImpl::GetMethod() {
  std::lock_guard<std::mutex> lock(mutex_);
  return method_;
}

void RequestImpl::SetMethod(const CefString& method) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_)
    method_ = method.ToWString();
}

CefString RequestImpl::GetReferrerURL() {
  std::lock_guard<std::mutex> lock(mutex_);
  return referrer_;
}

void RequestImpl::GetHeaderMap(HeaderMap& header_map) {
  std::lock_guard<std::mutex> lock(mutex_);
  header_map = headers_;
}

CefString RequestImpl::GetHeaderByName(const CefString& name) {
  const std::wstring wanted = name.ToWString();
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [key, value] : headers_) {
    if (_wcsicmp(key.ToWString().c_str(), wanted.c_str()) == 0)
      return value;
  }
  return CefString();
}

void RequestImpl::SetHeaderByName(const CefString& name, const CefString& value, bool overwrite) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (read_only_)
    return;
  if (overwrite)
    headers_.erase(name);
  headers_.emplace(name, value);
}

int RequestImpl::GetFlags() {
  std::lock_guard<std::mutex> lock(mutex_);
  return flags_;
}

void RequestImpl::SetFlags(int flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_)
    flags_ = flags;
}

CefString RequestImpl::GetFirstPartyForCookies() {
  std::lock_guard<std::mutex> lock(mutex_);
  const ParsedUrl url = ParseUrl(url_);
  return url.IsHttp() ? url.Origin() + L"/" : std::wstring();
}

}  // namespace cef_standin
