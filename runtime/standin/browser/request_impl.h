#pragma once

#include <mutex>
#include <string>

#include "runtime/include/cef_request.h"

namespace cef_standin {

struct NavigationParams;

// A navigation request as OnBeforeBrowse sees it: read-only, as the real
// runtime hands it over.
class RequestImpl : public CefRequest {
 public:
  static CefRefPtr<CefRequest> ForNavigation(const NavigationParams& params, bool main_frame);

  bool IsReadOnly() override { return read_only_; }
  CefString GetURL() override;
  void SetURL(const CefString& url) override;
  CefString GetMethod() override;
  void SetMethod(const CefString& method) override;
  CefString GetReferrerURL() override;
  ReferrerPolicy GetReferrerPolicy() override { return REFERRER_POLICY_DEFAULT; }
  void GetHeaderMap(HeaderMap& header_map) override;
  CefString GetHeaderByName(const CefString& name) override;
  void SetHeaderByName(const CefString& name, const CefString& value, bool overwrite) override;
  int GetFlags() override;
  void SetFlags(int flags) override;
  CefString GetFirstPartyForCookies() override;
  ResourceType GetResourceType() override { return resource_type_; }
  TransitionType GetTransitionType() override { return transition_; }
  uint64 GetIdentifier() override { return identifier_; }

 private:
  RequestImpl() = default;

  std::mutex mutex_;
  bool read_only_ = false;
  std::wstring url_;       // guarded by mutex_
  std::wstring method_;    // guarded by mutex_
  std::wstring referrer_;  // guarded by mutex_
  HeaderMap headers_;      // guarded by mutex_
  int flags_ = 0;          // guarded by mutex_
  ResourceType resource_type_ = RT_MAIN_FRAME;
  TransitionType transition_ = TT_EXPLICIT;
  uint64 identifier_ = 0;

  IMPLEMENT_REFCOUNTING(RequestImpl);
};

}  // namespace cef_standin
